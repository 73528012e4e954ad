#pragma once

#include "core/imagefetcher.h"

#include <QtGlobal>

#include <chrono>

namespace orv {

// Fetches pictures with libcurl. Picture addresses are user input, so a fetch
// is held within limits: only http and https (redirects included, a bounded
// number of them), a time without progress, a time in all and a largest body,
// each failing with its own reason. The body goes to a temporary file next to
// the target, which replaces the target only when the fetch succeeded.
class CurlFetcher : public ImageFetcher {
public:
    struct Options {
        long maxRedirects = 5;
        // Giving up when not a byte arrives for this long (connecting included).
        std::chrono::seconds stallTimeout{10};
        std::chrono::milliseconds totalTimeout{60'000};
        qint64 maxBytes = qint64(32) * 1024 * 1024;
    };

    CurlFetcher();
    explicit CurlFetcher(const Options &options);

    const Options &options() const { return m_options; }

    bool DownloadUrlToFile(const QString &url, const QString &filePath, QString *reason) override;

private:
    Options m_options;
};

} // namespace orv
