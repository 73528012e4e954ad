#pragma once

#include "pagelayout.h"

#include <functional>

namespace orv::render {

// How the rows of the pictures follow from the page's when the pictures are
// scaled: the page's pageHeight rows become pictureHeight rows, and page row y
// falls on picture row at(y), rounded to the nearest row (so that touching
// entries still touch). Pictures cut at page rows a and b are at(b) - at(a)
// rows high, and stacked they are pictureHeight rows.
struct RowScale {
    int pageHeight = 0;
    int pictureHeight = 0; // equal to pageHeight for pictures of the page width

    // The scale for pictures pictureWidth wide of a page pageWidth wide.
    static RowScale forWidths(int pageHeight, int pageWidth, int pictureWidth);
    int at(int pageRow) const;
};

// Cuts a page of `height` rows into pictures of at most maxHeight picture rows,
// one cut at a time, so that the rows can be drawn and written stretch by
// stretch; the rules work on page rows, the limit on the pictures' rows.
//
// A cut never falls inside an entry's span while the entries around it fit a
// picture; an entry (or a group of overlapping entries) taller than a picture
// starts a new picture and is cut inside only where the limit forces it, at
// the lowest row pair in the lower half of the picture where
// isBackgroundRow(row) holds for the row just above or just below the cut (a
// row of one colour, so that no text or picture detail is split), else
// exactly at the limit. No picture is empty.
class PageCutter {
public:
    PageCutter(int height, const QList<EntrySpan> &entries, int maxHeight, const RowScale &scale);

    // The end of the picture that begins at page row start (< height): the
    // next cut, or height for the last picture. Asks isBackgroundRow only for
    // rows in [start, rowsNeeded(start)).
    int next(int start, const std::function<bool(int row)> &isBackgroundRow) const;
    // The page rows that next(start) may look at end here.
    int rowsNeeded(int start) const;
    // How many pictures the page from start gives when no row counts as
    // background: what a progress report can show before the rows are drawn
    // (exact unless an entry taller than a picture is cut on a background row).
    int countFrom(int start) const;

    int height() const { return m_height; }
    const RowScale &scale() const { return m_scale; }

private:
    bool fitsFrom(int start) const;
    int limitFrom(int start) const;

    int m_height;
    int m_maxHeight;
    RowScale m_scale;
    QList<EntrySpan> m_blocked; // where no cut may fall, merged and sorted
};

// Every cut of a page drawn at the pictures' width: the boundaries
// 0 = b0 < b1 < ... < bn = height, picture i holding the rows [b(i), b(i+1)),
// so that every row lands in exactly one picture.
QList<int> cutPage(int height, const QList<EntrySpan> &entries, int maxHeight,
                   const std::function<bool(int row)> &isBackgroundRow);

// Whether every pixel of the row has the same colour.
bool isUniformRow(const QImage &image, int row);

} // namespace orv::render
