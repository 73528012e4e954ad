#pragma once

#include "core/check/pagecheck.h"

#include <QList>
#include <QRectF>
#include <QString>

// Links as the mobile description keeps them: the platform's newer editor
// takes a description of pictures only, and its only clickable things are hot
// areas on the pictures. The boxes come from the page's layout (the renderer,
// the preview); the judgement is here, beside the rest of the check.
namespace orv::check {

// The links a hot area can keep: an address starting with http://, https://
// or // (taken as https:), blanks at either end dropped. Anything else (no
// address, #..., javascript:, mailto:, tel:, data:, a relative address) is no
// hot area's: the result is empty then. Inline, so that the render layer,
// which measures the boxes, needs no more of the check than this header.
inline QString hotAreaAddress(const QString &href)
{
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r'; };
    qsizetype begin = 0;
    qsizetype end = href.size();
    while (begin < end && blank(href[begin]))
        ++begin;
    while (end > begin && blank(href[end - 1]))
        --end;
    const QString address = href.sliced(begin, end - begin);
    if (address.startsWith(QLatin1String("//")))
        return QLatin1String("https:") + address;
    if (address.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        return address;
    return {};
}

// One box of a link on the rendered page, in page pixels (CSS pixels from the
// page's top left corner, at the page width). A link is one box: everything
// it shows, clipped by its containers; an inline link whose text wraps gives
// one box per line.
struct LinkBox {
    int element = -1; // the link element's index among the page's a[href] and area[href], in document order
    QString link;     // hotAreaAddress() of its href
    QRectF box;

    bool operator==(const LinkBox &) const = default;
};

// Below this many page pixels of height (at the page width, whatever the
// pictures' width) a box, or its piece on a picture, gets no hot area.
inline constexpr double minHotAreaHeight = 10;

// The findings for links the phone would lose, in page pixels: a link all
// of whose boxes are under minHotAreaHeight high (its pieces would be dropped),
// and a link whose box overlaps the box of another link with another address
// (the platform's hot areas would cover one another). html is the text the
// boxes were measured on (as the preview shows it, or as build writes a
// project's page); a finding stands at its link's '<' when the link's element
// can be told from html, else at the text's start.
QList<Finding> checkLinkBoxes(const QString &html, const QList<CheckSegment> &segments, const QList<LinkBox> &links);

} // namespace orv::check
