#pragma once

#include "core/picturemeasurer.h"

#include <QtGlobal>

#include <chrono>
#include <memory>
#include <mutex>

namespace orv {

namespace curl {
class Batch;
}

// Measures pictures with libcurl: all addresses of a batch are fetched at
// once (connections to a host are kept and, where the server multiplexes,
// shared), each one only until its header gives the format and size (JPEG,
// PNG, GIF, BMP or WebP; PictureHeaderReader), with the byte size where the
// server announces it. Picture addresses are user input, so every transfer is held within limits: only
// http and https (redirects included, a bounded number of them), a time
// without progress, a time in all and a largest body, each failing with its
// own reason.
class CurlMeasurer : public PictureMeasurer {
public:
    struct Options {
        long maxRedirects = 5;
        // Giving up when not a byte arrives for this long (connecting included).
        std::chrono::seconds stallTimeout{10};
        std::chrono::milliseconds totalTimeout{60'000};
        qint64 maxBytes = qint64(32) * 1024 * 1024;
    };

    // What the last batch read.
    struct Statistics {
        int transfers = 0;
        qint64 bytesRead = 0; // body bytes received, all transfers together
    };

    CurlMeasurer();
    explicit CurlMeasurer(const Options &options);
    ~CurlMeasurer() override;

    QList<MeasuredPicture> measureAll(const QStringList &urls, const Progress &progress = {},
                                      const std::atomic_bool *cancel = nullptr) override;

    Statistics lastStatistics() const;

private:
    std::unique_ptr<curl::Batch> m_batch;
    mutable std::mutex m_mutex; // one batch at a time
    Statistics m_statistics;
};

} // namespace orv
