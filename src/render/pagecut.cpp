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

// The lowest row in [low, high] inside none of the merged intervals, or -1.
int lastFreeRow(const QList<EntrySpan> &intervals, int low, int high)
{
    if (high < low)
        return -1;
    const auto it = std::upper_bound(intervals.begin(), intervals.end(), high,
                                     [](int y, const EntrySpan &span) { return y < span.top; });
    if (it == intervals.begin())
        return high;
    const EntrySpan &span = *std::prev(it);
    if (high >= span.bottom)
        return high;
    // Inside (or on the top of) span: its top is free, as merged intervals
    // neither overlap nor hold another's top.
    return span.top >= low ? span.top : -1;
}

bool inside(const QList<EntrySpan> &intervals, int row)
{
    const auto it = std::upper_bound(intervals.begin(), intervals.end(), row,
                                     [](int y, const EntrySpan &span) { return y < span.top; });
    return it != intervals.begin() && std::prev(it)->top < row && row < std::prev(it)->bottom;
}

constexpr double fractionSteps = 100;
constexpr double epsilon = 1e-6;

} // namespace

EntrySpan linkRows(const check::LinkBox &link)
{
    return {int(std::floor(link.box.top() + epsilon)), int(std::ceil(link.box.bottom() - epsilon))};
}

double fractionDown(double value)
{
    return std::clamp(std::floor(value * fractionSteps + epsilon) / fractionSteps, 0.0, 1.0);
}

double fractionUp(double value)
{
    return std::clamp(std::ceil(value * fractionSteps - epsilon) / fractionSteps, 0.0, 1.0);
}

QList<HotArea> hotAreasOf(const QList<check::LinkBox> &links, int pageWidth, int pageTop, int pageBottom,
                          const QSize &pictureSize)
{
    QList<HotArea> areas;
    const double rows = pageBottom - pageTop;
    if (rows <= 0 || pageWidth <= 0 || pictureSize.isEmpty())
        return areas;
    const double scaleX = double(pictureSize.width()) / pageWidth;
    const double scaleY = pictureSize.height() / rows;
    for (const check::LinkBox &link : links) {
        const double left = std::clamp(link.box.left(), 0.0, double(pageWidth));
        const double right = std::clamp(link.box.right(), 0.0, double(pageWidth));
        const double top = std::max(link.box.top(), double(pageTop)) - pageTop;
        const double bottom = std::min(link.box.bottom(), double(pageBottom)) - pageTop;
        if (right <= left || bottom - top < check::minHotAreaHeight)
            continue;
        HotArea area;
        area.link = link.link;
        area.element = link.element;
        const int x0 = std::max(0, int(std::floor(left * scaleX + epsilon)));
        const int y0 = std::max(0, int(std::floor(top * scaleY + epsilon)));
        const int x1 = std::min(pictureSize.width(), int(std::ceil(right * scaleX - epsilon)));
        const int y1 = std::min(pictureSize.height(), int(std::ceil(bottom * scaleY - epsilon)));
        area.pixels = QRect(x0, y0, x1 - x0, y1 - y0);
        area.startX = fractionDown(left / pageWidth);
        area.startY = fractionDown(top / rows);
        area.endX = fractionUp(right / pageWidth);
        area.endY = fractionUp(bottom / rows);
        areas.append(area);
    }
    return areas;
}

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

PageCutter::PageCutter(int height, const QList<EntrySpan> &entries, int maxHeight, const RowScale &scale,
                       const QList<EntrySpan> &links)
    : m_height(std::max(0, height))
    , m_maxHeight(maxHeight)
    , m_scale(scale)
    , m_blocked(blockedIntervals(m_height, entries))
{
    Q_ASSERT(maxHeight > 0);
    QList<EntrySpan> fitting;
    for (const EntrySpan &link : links) {
        const int top = std::clamp(link.top, 0, m_height);
        const int bottom = std::clamp(link.bottom, 0, m_height);
        if (m_scale.at(bottom) - m_scale.at(top) <= m_maxHeight)
            fitting.append(EntrySpan{top, bottom});
    }
    m_links = blockedIntervals(m_height, fitting);
    m_both = blockedIntervals(m_height, m_blocked + m_links);
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
    // The first row whose picture would not be empty.
    int first = start + 1;
    while (first < limit && m_scale.at(first) <= base)
        ++first;
    // Outside entries and link boxes: the lowest such row in reach (an edge
    // between entries; the top of the tall or straddling entry, which starts
    // the next picture; the top of a link box).
    if (const int free = lastFreeRow(m_both, first, limit); free >= 0)
        return free;
    // Inside an entry taller than a picture: the lowest cut near the limit
    // that splits no detail and no link, else the lowest that splits no link.
    const int lowest = std::max(first, limit - (limit - start) / 2);
    const auto background = [&](int y) { return isBackgroundRow(y - 1) || (y < m_height && isBackgroundRow(y)); };
    for (int y = limit; y >= lowest; --y) {
        if (!inside(m_links, y) && background(y))
            return y;
    }
    if (const int free = lastFreeRow(m_links, first, limit); free >= 0)
        return free;
    // Link boxes everywhere in reach: the rules without them.
    if (const int edge = lastFreeRow(m_blocked, first, limit); edge >= 0)
        return edge;
    for (int y = limit; y >= lowest; --y) {
        if (background(y))
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
                   const std::function<bool(int row)> &isBackgroundRow, const QList<EntrySpan> &links)
{
    const PageCutter cutter(height, entries, maxHeight, RowScale{height, height}, links);
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
