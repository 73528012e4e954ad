#include "linkcheck.h"

#include "core/check/findinglist.h"
#include "core/check/htmlparser.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace orv::check {

using namespace Qt::StringLiterals;

namespace {

// The a and area elements with an href, in document order, as a browser's
// querySelectorAll('a[href], area[href]') lists them.
QList<const HtmlElement *> linkElements(const HtmlDocument &document)
{
    QList<const HtmlElement *> elements;
    for (const HtmlElement &element : document.elements) {
        if (!element.dropped && (element.name == u"a"_s || element.name == u"area"_s) && element.attribute(u"href"))
            elements.append(&element);
    }
    return elements;
}

QString pixels(double value)
{
    return QString::number(value, 'f', std::abs(value - std::round(value)) < 0.05 ? 0 : 1);
}

} // namespace

QList<Finding> checkLinkBoxes(const QString &html, const QList<CheckSegment> &segments, const QList<LinkBox> &links)
{
    const SourceText source(html);
    FindingList findings(source, 750, segments);
    if (links.isEmpty())
        return findings.take();
    const HtmlDocument document = parseHtml(source);
    const QList<const HtmlElement *> elements = linkElements(document);
    // Where a link's finding stands: its element's '<' when the element the
    // browser counted is the one read here (the same address), else the start.
    const auto offsetOf = [&](const LinkBox &link) -> qsizetype {
        if (link.element < 0 || link.element >= elements.size())
            return 0;
        const HtmlElement *element = elements.at(link.element);
        return hotAreaAddress(element->attribute(u"href")->value) == link.link ? element->offset : 0;
    };

    // Too low: every box of the link under the limit.
    QHash<int, double> tallest; // per element, its tallest box
    for (const LinkBox &link : links)
        tallest[link.element] = std::max(tallest.value(link.element, 0.0), link.box.height());
    QSet<int> reported;
    for (const LinkBox &link : links) {
        const double height = tallest.value(link.element);
        if (height < minHotAreaHeight && !reported.contains(link.element)) {
            reported.insert(link.element);
            findings.add(FindingKind::LinkTooLow, offsetOf(link), {pixels(height), shownAddress(link.link)});
        }
    }

    // Overlapping: of two links with different addresses whose boxes share
    // an area, the later one in the page is named, with the earlier's address.
    QList<qsizetype> order(links.size());
    for (qsizetype i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](qsizetype a, qsizetype b) { return links.at(a).box.top() < links.at(b).box.top(); });
    QSet<int> overlapping;
    for (qsizetype i = 0; i < order.size(); ++i) {
        const LinkBox &a = links.at(order.at(i));
        for (qsizetype j = i + 1; j < order.size(); ++j) {
            const LinkBox &b = links.at(order.at(j));
            if (b.box.top() >= a.box.bottom())
                break;
            if (a.element == b.element || a.link == b.link)
                continue;
            const QRectF shared = a.box.intersected(b.box);
            if (shared.width() <= 0 || shared.height() <= 0)
                continue;
            const LinkBox &later = a.element > b.element ? a : b;
            const LinkBox &earlier = a.element > b.element ? b : a;
            if (overlapping.contains(later.element))
                continue;
            overlapping.insert(later.element);
            findings.add(FindingKind::LinkOverlap, offsetOf(later),
                         {shownAddress(later.link), shownAddress(earlier.link)});
        }
    }
    return findings.take();
}

} // namespace orv::check
