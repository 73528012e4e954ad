#pragma once

#include "core/check/linkcheck.h"

#include <QImage>
#include <QList>

// What the renderer tells of a page, in page coordinates: rows from 0 at the
// top, one pixel each, at the page width.
namespace orv::render {

// The rows [top, bottom) that one module entry's content covers on a rendered
// page. An entry that shows nothing has top == bottom.
struct EntrySpan {
    int top = 0;
    int bottom = 0;

    bool operator==(const EntrySpan &) const = default;
};

// The page as measured before each stretch is drawn. The stretches of one
// pass are drawn against one layout: when it moves (a late picture, a
// script), the renderer starts a new pass.
struct PageLayout {
    int width = 0;
    int height = 0;
    QList<EntrySpan> entries; // one per source entry; empty for a single HTML text
    // Every box of a link a hot area can keep (check::hotAreaAddress), in
    // document order; position:fixed content's once, where it is drawn.
    QList<check::LinkBox> links;

    bool operator==(const PageLayout &) const = default;
};

// Rows [top, top + image.height()) of the page, Format_RGB32, page width.
struct PageStretch {
    int top = 0;
    QImage image;
};

} // namespace orv::render
