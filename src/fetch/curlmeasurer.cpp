#include "curlmeasurer.h"

#include "core/jpegheader.h"
#include "fetch/curltransfer.h"

#include <QHash>

namespace orv {

namespace {

MeasuredPicture outcomeOf(const curl::Transfer &transfer)
{
    MeasuredPicture outcome;
    if (!transfer.reason.isEmpty()) {
        outcome.failure = cannotDownload(transfer.url, transfer.reason).message();
        return outcome;
    }
    outcome.fetched = true;
    outcome.header = transfer.header.header();
    if (transfer.announced >= 0)
        outcome.byteSize = transfer.announced;
    else if (!transfer.headerRead)
        outcome.byteSize = transfer.received; // the body ended before the header was read whole
    // The height and failure of a JPEG reading: for a JPEG picture the header
    // reader's own; anything else the decoder rejects by its first bytes.
    if (outcome.header.format == PictureFormat::Jpeg) {
        outcome.height = outcome.header.height;
        if (!outcome.header.measured())
            outcome.failure = outcome.header.failure;
        return outcome;
    }
    try {
        outcome.height = jpegSize(transfer.firstBytes).height();
    } catch (const Failure &failure) {
        outcome.failure = failure.message();
    }
    return outcome;
}

} // namespace

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
            transfers.push_back(std::make_unique<curl::Transfer>(url));
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
        perTransfer.append(outcomeOf(*transfer));
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

} // namespace orv
