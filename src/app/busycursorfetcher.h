#pragma once

#include "core/imagefetcher.h"

#include <memory>

namespace orv {

// Shows the busy cursor over the application while another fetcher fetches;
// the window cannot answer during a fetch, so the user sees why.
class BusyCursorFetcher : public ImageFetcher {
public:
    explicit BusyCursorFetcher(std::unique_ptr<ImageFetcher> inner);
    ~BusyCursorFetcher() override;

    bool DownloadUrlToFile(const QString &url, const QString &filePath, QString *reason) override;

private:
    std::unique_ptr<ImageFetcher> m_inner;
};

} // namespace orv
