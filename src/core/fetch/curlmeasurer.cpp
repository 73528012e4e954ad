#include "curlmeasurer.h"

#include "curltransfer.h"

#include <QHash>
#include <QSaveFile>

namespace orv {

using namespace Qt::StringLiterals;

CurlMeasurer::CurlMeasurer()
    : CurlMeasurer(Options{})
{
}

CurlMeasurer::CurlMeasurer(const Options &options)
    : m_batch(std::make_unique<curl::Batch>(options))
{
}

CurlMeasurer::~CurlMeasurer() = default;

QList<MeasuredPicture> CurlMeasurer::measureAll(const QStringList &urls, const Progress &progress,
                                                const std::atomic_bool *cancel)
{
    const std::lock_guard lock(m_mutex);
    // Each address once; owner maps every picture to its transfer.
    std::vector<std::unique_ptr<curl::Transfer>> transfers;
    QHash<QString, size_t> known;
    QList<size_t> owner;
    for (const QString &url : urls) {
        if (!known.contains(url)) {
            known.insert(url, transfers.size());
            transfers.push_back(std::make_unique<curl::Transfer>(url, false));
        }
        owner.append(known.value(url));
    }

    const auto total = int(urls.size());
    int done = 0;
    if (progress)
        progress(done, total);
    m_batch->run(
        transfers,
        [&](size_t index) {
            done += int(owner.count(index));
            if (progress)
                progress(done, total);
        },
        cancel);

    QList<MeasuredPicture> outcomes;
    QList<MeasuredPicture> perTransfer;
    m_statistics = {.transfers = int(transfers.size())};
    for (const auto &transfer : transfers) {
        MeasuredPicture outcome;
        if (!transfer->reason.isEmpty()) {
            outcome.failure = cannotDownload(transfer->url, transfer->reason).message();
        } else {
            try {
                outcome.height = transfer->header.size().height();
            } catch (const Failure &failure) {
                outcome.failure = failure.message();
            }
        }
        perTransfer.append(outcome);
        m_statistics.bytesRead += transfer->received;
    }
    for (const size_t index : owner)
        outcomes.append(perTransfer.at(qsizetype(index)));
    return outcomes;
}

CurlMeasurer::Statistics CurlMeasurer::lastStatistics() const
{
    const std::lock_guard lock(m_mutex);
    return m_statistics;
}

CurlBatchFetcher::CurlBatchFetcher()
    : CurlBatchFetcher(CurlFetcher::Options{})
{
}

CurlBatchFetcher::CurlBatchFetcher(const CurlFetcher::Options &options)
    : m_batch(std::make_unique<curl::Batch>(options))
{
}

CurlBatchFetcher::~CurlBatchFetcher() = default;

bool CurlBatchFetcher::DownloadUrlToFile(const QString &url, const QString &filePath, QString *reason)
{
    const auto fail = [&](QString text) {
        if (reason)
            *reason = std::move(text);
        return false;
    };
    std::vector<std::unique_ptr<curl::Transfer>> transfers;
    transfers.push_back(std::make_unique<curl::Transfer>(url, true));
    m_batch->run(transfers, {}, nullptr);
    const curl::Transfer &transfer = *transfers.front();
    if (!transfer.reason.isEmpty())
        return fail(transfer.reason);
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(transfer.body) != transfer.body.size() || !file.commit())
        return fail(u"Cannot create file \"%1\". %2"_s.arg(filePath, file.errorString()));
    return true;
}

} // namespace orv
