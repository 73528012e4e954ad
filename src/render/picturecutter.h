#pragma once

#include "pagecut.h"

#include <QImage>

#include <functional>

namespace orv::render {

// One picture cut from a page: its rows, scaled to the pictures' width.
struct PagePicture {
    QImage image;    // null when the cutter makes no images (setImagesWanted)
    QSize size;      // the picture's size in pixels
    int pageTop = 0; // the page rows it shows: [pageTop, pageBottom)
    int pageBottom = 0;
    int top = 0;             // its first row among the stacked pictures
    QList<HotArea> hotAreas; // the page's links on it (hotAreasOf)
};

// Cuts the rows of a page into pictures as they are drawn, stretch by
// stretch (see PageCutter for where, the layout's link boxes included), and
// scales each picture on its own, giving it the hot areas of the links on it.
// It holds only the rows from the picture being cut on, so that the memory
// it takes does not grow with the page.
class PictureCutter {
public:
    // maxHeight: a picture's height limit in its own rows.
    PictureCutter(const PageLayout &layout, int pictureWidth, int maxHeight);

    // Takes the next rows of the page (each stretch follows the one before)
    // and hands on the pictures they complete, in order, one at a time; stops
    // when take returns false. Throws Failure.
    void add(const PageStretch &stretch, const std::function<bool(const PagePicture &)> &take);
    // Whether the pictures' images are made (by default) or only their sizes
    // and hot areas, for a manifest alone.
    void setImagesWanted(bool wanted) { m_imagesWanted = wanted; }
    // Whether every row went into a picture.
    bool done() const { return m_start >= m_cutter.height(); }
    // The pictures still to come, as far as the layout tells before the rows
    // are drawn (see PageCutter::countFrom).
    int picturesLeft() const { return m_cutter.countFrom(m_start); }

private:
    PagePicture cut(int end) const;
    bool isBackgroundRow(int row) const;

    PageCutter m_cutter;
    QList<check::LinkBox> m_links;
    int m_pageWidth;
    int m_pictureWidth;
    bool m_imagesWanted = true;
    int m_start = 0;                // where the next picture begins
    int m_received = 0;             // the rows taken so far
    QList<PageStretch> m_stretches; // those holding rows from m_start on
};

} // namespace orv::render
