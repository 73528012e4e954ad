#pragma once

#include "core/fetch/curlfetcher.h"
#include "core/imagefetcher.h"
#include "core/picturemeasurer.h"

#include <memory>
#include <mutex>

namespace orv {

namespace curl {
class Batch;
}

// Measures pictures with libcurl: all addresses of a batch are fetched at
// once (connections to a host are kept and, where the server multiplexes,
// shared), each one only until its JPEG header gives the height. Every
// transfer is held to the limits of CurlFetcher and fails with its reasons.
class CurlMeasurer : public PictureMeasurer {
public:
    using Options = CurlFetcher::Options;

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

// The transfers of CurlMeasurer as an ImageFetcher: fetches the whole body
// into the file, with the same limits and reasons as CurlFetcher.
class CurlBatchFetcher : public ImageFetcher {
public:
    CurlBatchFetcher();
    explicit CurlBatchFetcher(const CurlFetcher::Options &options);
    ~CurlBatchFetcher() override;

    bool DownloadUrlToFile(const QString &url, const QString &filePath, QString *reason) override;

private:
    std::unique_ptr<curl::Batch> m_batch;
};

} // namespace orv
