#include "pagecut.h"

#include <QImage>

#include <algorithm>
#include <cmath>

namespace orv::render {

namespace {

// The open intervals (top, bottom) in which no cut may fall, merged where
// entries overlap; touching entries leave their shared edge free.
QList<EntrySpan> blockedIntervals(int height, const QList<EntrySpan> &entries)
{
    QList<EntrySpan> spans;
    for (const EntrySpan &entry : entries) {
        const int top = std::clamp(entry.top, 0, height);
        const int bottom = std::clamp(entry.bottom, 0, height);
        if (bottom - top > 1)
            spans.append(EntrySpan{top, bottom});
    }
    std::sort(spans.begin(), spans.end(), [](const EntrySpan &a, const EntrySpan &b) { return a.top < b.top; });
    QList<EntrySpan> merged;
    for (const EntrySpan &span : spans) {
        if (!merged.isEmpty() && span.top < merged.last().bottom)
            merged.last().bottom = std::max(merged.last().bottom, span.bottom);
        else
            merged.append(span);
    }
    return merged;
}

} // namespace

RowScale RowScale::forWidths(int pageHeight, int pageWidth, int pictureWidth)
{
    if (pageWidth == pictureWidth || pageHeight <= 0 || pageWidth <= 0)
        return {pageHeight, pageHeight};
    return {pageHeight, std::max(1, int(std::lround(double(pageHeight) * pictureWidth / pageWidth)))};
}

int RowScale::at(int pageRow) const
{
    if (pictureHeight == pageHeight || pageHeight <= 0)
        return pageRow;
    return int(std::lround(double(pageRow) * pictureHeight / pageHeight));
}

PageCutter::PageCutter(int height, const QList<EntrySpan> &entries, int maxHeight, const RowScale &scale)
    : m_height(std::max(0, height))
    , m_maxHeight(maxHeight)
    , m_scale(scale)
    , m_blocked(blockedIntervals(m_height, entries))
{
    Q_ASSERT(maxHeight > 0);
}

bool PageCutter::fitsFrom(int start) const
{
    return m_scale.at(m_height) - m_scale.at(start) <= m_maxHeight;
}

int PageCutter::limitFrom(int start) const
{
    // The lowest row the picture may reach: the last b whose picture rows from
    // start stay within the limit (the scale is monotonic).
    const int base = m_scale.at(start);
    const double rowsPerPageRow = m_scale.pageHeight > 0 ? double(m_scale.pictureHeight) / m_scale.pageHeight : 1;
    int limit = std::min(m_height, start + std::max(1, int(m_maxHeight / rowsPerPageRow)));
    while (limit < m_height && m_scale.at(limit + 1) - base <= m_maxHeight)
        ++limit;
    while (limit > start + 1 && m_scale.at(limit) - base > m_maxHeight)
        --limit;
    return limit;
}

int PageCutter::rowsNeeded(int start) const
{
    return fitsFrom(start) ? m_height : std::min(m_height, limitFrom(start) + 1);
}

int PageCutter::next(int start, const std::function<bool(int row)> &isBackgroundRow) const
{
    if (fitsFrom(start))
        return m_height;
    const int limit = limitFrom(start);
    const int base = m_scale.at(start);
    // The blocked interval holding the limit strictly inside, if any.
    const auto it = std::upper_bound(m_blocked.begin(), m_blocked.end(), limit,
                                     [](int y, const EntrySpan &span) { return y < span.top; });
    const bool inside = it != m_blocked.begin() && std::prev(it)->top < limit && limit < std::prev(it)->bottom;
    if (!inside)
        return limit;
    const int top = std::prev(it)->top;
    if (top > start && m_scale.at(top) > base)
        return top; // the tall or straddling entry starts the next picture
    // Inside an entry taller than a picture: the lowest cut near the limit
    // that splits no detail.
    const int lowest = std::max(start + 1, limit - (limit - start) / 2);
    for (int y = limit; y >= lowest && m_scale.at(y) > base; --y) {
        if (isBackgroundRow(y - 1) || (y < m_height && isBackgroundRow(y)))
            return y;
    }
    return limit;
}

int PageCutter::countFrom(int start) const
{
    int count = 0;
    for (int row = start; row < m_height; ++count)
        row = next(row, [](int) { return false; });
    return count;
}

QList<int> cutPage(int height, const QList<EntrySpan> &entries, int maxHeight,
                   const std::function<bool(int row)> &isBackgroundRow)
{
    const PageCutter cutter(height, entries, maxHeight, RowScale{height, height});
    QList<int> cuts{0};
    for (int row = 0; row < cutter.height();) {
        row = cutter.next(row, isBackgroundRow);
        cuts.append(row);
    }
    return cuts;
}

bool isUniformRow(const QImage &image, int row)
{
    if (row < 0 || row >= image.height() || image.width() == 0)
        return false;
    if (image.depth() == 32) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(row));
        const QRgb first = line[0];
        return std::all_of(line + 1, line + image.width(), [first](QRgb pixel) { return pixel == first; });
    }
    const QRgb first = image.pixel(0, row);
    for (int x = 1; x < image.width(); ++x) {
        if (image.pixel(x, row) != first)
            return false;
    }
    return true;
}

} // namespace orv::render
