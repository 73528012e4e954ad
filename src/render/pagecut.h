#pragma once

#include "pagelayout.h"

#include <QRect>
#include <QSize>

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
//
// Links (their boxes' rows) come before entries: a cut never falls inside a
// link box that fits a picture while a cut above it fits. So the picture ends
// at the lowest row in reach that lies inside no entry and no such link box;
// else (inside an entry taller than a picture) at the lowest background row
// of the lower half outside such link boxes, else at the lowest row in reach
// outside them (the top of the link box the limit falls into); only where
// link boxes cover every row in reach is one cut through, by the rules above.
// A link box taller than a picture is cut anyway and blocks nothing.
class PageCutter {
public:
    PageCutter(int height, const QList<EntrySpan> &entries, int maxHeight, const RowScale &scale,
               const QList<EntrySpan> &links = {});

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
    QList<EntrySpan> m_links;   // inside link boxes that fit a picture, merged and sorted
    QList<EntrySpan> m_both;    // m_blocked and m_links together
};

// Every cut of a page drawn at the pictures' width: the boundaries
// 0 = b0 < b1 < ... < bn = height, picture i holding the rows [b(i), b(i+1)),
// so that every row lands in exactly one picture.
QList<int> cutPage(int height, const QList<EntrySpan> &entries, int maxHeight,
                   const std::function<bool(int row)> &isBackgroundRow, const QList<EntrySpan> &links = {});

// The rows a link box covers: from the row holding its top to the row
// holding its bottom, the box's edges rounded outwards.
EntrySpan linkRows(const check::LinkBox &link);

// One hot area of a picture: a link's box cut to the picture.
struct HotArea {
    QString link;
    int element = -1; // as check::LinkBox::element
    QRect pixels;     // in the picture's pixels, its edges rounded outwards
    // The same as fractions of the picture's width and height, two
    // decimals, start rounded down and end up, within 0 to 1.
    double startX = 0;
    double startY = 0;
    double endX = 0;
    double endY = 0;

    bool operator==(const HotArea &) const = default;
};

// The hot areas of a picture of pictureSize that shows the page rows
// [pageTop, pageBottom) of a page pageWidth wide, in the order of links:
// every link box cut to those rows and to the page's sides, scaled as the
// picture is; what is under minHotAreaHeight page rows high after the cut
// goes (counted on the page, whatever the pictures' width: a phone shows a
// picture at the screen's width, so a link's share of the page is what a
// finger meets).
QList<HotArea> hotAreasOf(const QList<check::LinkBox> &links, int pageWidth, int pageTop, int pageBottom,
                          const QSize &pictureSize);

// A fraction to two decimals, rounded down or up (within 0 to 1); a value
// within a millionth of a step counts as on it.
double fractionDown(double value);
double fractionUp(double value);

// Whether every pixel of the row has the same colour.
bool isUniformRow(const QImage &image, int row);

} // namespace orv::render
