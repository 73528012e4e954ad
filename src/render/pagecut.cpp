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

QList<int> cutPage(int height, const QList<EntrySpan> &entries, int maxHeight,
                   const std::function<bool(int row)> &isBackgroundRow)
{
    Q_ASSERT(maxHeight > 0);
    QList<int> cuts{0};
    if (height <= 0)
        return cuts;
    const QList<EntrySpan> blocked = blockedIntervals(height, entries);
    int start = 0;
    while (height - start > maxHeight) {
        const int limit = start + maxHeight;
        // The blocked interval holding the limit strictly inside, if any.
        const auto it = std::upper_bound(blocked.begin(), blocked.end(), limit,
                                         [](int y, const EntrySpan &span) { return y < span.top; });
        const bool inside = it != blocked.begin() && std::prev(it)->top < limit && limit < std::prev(it)->bottom;
        int cut = limit;
        if (inside) {
            const int top = std::prev(it)->top;
            if (top > start) {
                cut = top; // the tall or straddling entry starts the next picture
            } else {
                // Inside an entry taller than a picture: the lowest cut near the
                // limit that splits no detail.
                const int lowest = std::max(start + 1, limit - maxHeight / 2);
                for (int y = limit; y >= lowest; --y) {
                    if (isBackgroundRow(y - 1) || (y < height && isBackgroundRow(y))) {
                        cut = y;
                        break;
                    }
                }
            }
        }
        cuts.append(cut);
        start = cut;
    }
    cuts.append(height);
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

QList<EntrySpan> scaledSpans(const QList<EntrySpan> &entries, double factor, int scaledHeight)
{
    QList<EntrySpan> scaled;
    scaled.reserve(entries.size());
    for (const EntrySpan &entry : entries) {
        const int top = std::clamp(int(std::lround(entry.top * factor)), 0, scaledHeight);
        const int bottom = std::clamp(int(std::lround(entry.bottom * factor)), top, scaledHeight);
        scaled.append(EntrySpan{top, bottom});
    }
    return scaled;
}

} // namespace orv::render
