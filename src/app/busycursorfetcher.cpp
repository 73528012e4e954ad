#include "busycursorfetcher.h"

#include <QApplication>
#include <QCursor>

namespace orv {

namespace {

// Restores the cursor however the fetch ends.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace

BusyCursorFetcher::BusyCursorFetcher(std::unique_ptr<ImageFetcher> inner)
    : m_inner(std::move(inner))
{
}

BusyCursorFetcher::~BusyCursorFetcher() = default;

bool BusyCursorFetcher::DownloadUrlToFile(const QString &url, const QString &filePath, QString *reason)
{
    const BusyCursor busy;
    return m_inner->DownloadUrlToFile(url, filePath, reason);
}

} // namespace orv
