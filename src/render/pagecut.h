#pragma once

#include <QList>

#include <functional>

class QImage;

namespace orv::render {

// The rows [top, bottom) that one module entry's content covers on a rendered
// page. An entry that shows nothing has top == bottom.
struct EntrySpan {
    int top = 0;
    int bottom = 0;

    bool operator==(const EntrySpan &) const = default;
};

// Where to cut a page of `height` rows into pictures of at most maxHeight rows.
// Returns the boundaries 0 = b0 < b1 < ... < bn = height: picture i holds the
// rows [b(i), b(i+1)), so every row lands in exactly one picture.
//
// A cut never falls inside an entry's span while the entries around it fit a
// picture; an entry (or a group of overlapping entries) taller than maxHeight
// starts a new picture and is cut inside only where the limit forces it, at
// the lowest row pair near the limit where isBackgroundRow(row) holds for the
// row just above or just below the cut (a row of one colour, so that no text
// or picture detail is split), else exactly at the limit.
QList<int> cutPage(int height, const QList<EntrySpan> &entries, int maxHeight,
                   const std::function<bool(int row)> &isBackgroundRow);

// Whether every pixel of the row has the same colour.
bool isUniformRow(const QImage &image, int row);

// The spans on a copy of the page scaled by `factor`, each edge rounded to the
// nearest row (so that touching entries still touch), clamped to the height.
QList<EntrySpan> scaledSpans(const QList<EntrySpan> &entries, double factor, int scaledHeight);

} // namespace orv::render
