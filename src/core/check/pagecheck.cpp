#include "pagecheck.h"

#include "core/check/addresses.h"
#include "core/check/findinglist.h"
#include "core/check/htmlparser.h"
#include "core/check/style.h"
#include "core/placeholders.h"

#include <vector>

namespace orv::check {

using namespace Qt::StringLiterals;

namespace {

// The declaration that wins for one property: the last important one, else
// the last one.
struct Winner {
    const StyleDeclaration *declaration = nullptr;

    void offer(const StyleDeclaration &d)
    {
        if (!declaration || d.important || !declaration->important)
            declaration = &d;
    }
};

QString firstWord(QStringView value)
{
    const QString keyword = value.trimmed().toString().toLower();
    const qsizetype blank = keyword.indexOf(u' ');
    return blank < 0 ? keyword : keyword.first(blank);
}

bool clips(const Winner &overflow)
{
    if (!overflow.declaration)
        return false;
    const QString word = firstWord(overflow.declaration->value);
    return word == u"hidden"_s || word == u"clip"_s;
}

// What the overflow rule needs of an element: the width it takes in pixels,
// when known, and whether it clips what overflows it.
struct Box {
    std::optional<double> width;
    bool clips = false;
};

Box boxOf(const HtmlElement &e, const QList<StyleDeclaration> &style)
{
    Winner width, minWidth, maxWidth, overflow, overflowX;
    for (const StyleDeclaration &d : style) {
        if (d.property == u"width"_s)
            width.offer(d);
        else if (d.property == u"min-width"_s)
            minWidth.offer(d);
        else if (d.property == u"max-width"_s)
            maxWidth.offer(d);
        else if (d.property == u"overflow"_s)
            overflow.offer(d);
        else if (d.property == u"overflow-x"_s)
            overflowX.offer(d);
    }
    Box box;
    // A style width (in pixels or not) wins over the width attribute.
    if (width.declaration)
        box.width = pixelLength(width.declaration->value);
    else if (const HtmlAttribute *attribute = e.attribute(u"width"))
        box.width = pixelLength(attribute->value);
    const auto maximum = maxWidth.declaration ? pixelLength(maxWidth.declaration->value) : std::nullopt;
    const auto minimum = minWidth.declaration ? pixelLength(minWidth.declaration->value) : std::nullopt;
    if (box.width && maximum)
        box.width = std::min(*box.width, *maximum);
    if (minimum)
        box.width = box.width ? std::max(*box.width, *minimum) : *minimum;
    box.clips = clips(overflow) || clips(overflowX);
    return box;
}

bool isPlaceholderLink(const QString &address, const QString &scheme, const QString &host)
{
    if (address.isEmpty() || address == u"#"_s)
        return true;
    if ((scheme == u"http"_s || scheme == u"https"_s) && host.isEmpty())
        return true; // "http://", "https://"
    return host.startsWith(u"example."_s) || host.contains(u".example."_s);
}

class PageChecker {
public:
    PageChecker(const SourceText &source, FindingList &findings)
        : m_source(source)
        , m_findings(findings)
    {
    }

    void checkLength()
    {
        const qsizetype characters = m_source.text().size();
        const QStringList counts{QString::number(characters), QString::number(m_source.utf8().size())};
        if (characters >= CheckLimits::maxCharacters)
            add(FindingKind::LengthOver, CheckLimits::maxCharacters - 1,
                counts + QStringList{QString::number(CheckLimits::maxCharacters)});
        else if (characters >= CheckLimits::nearCharacters)
            add(FindingKind::LengthNear, 0, counts + QStringList{QString::number(CheckLimits::maxCharacters)});
        else if (characters < CheckLimits::minCharacters)
            add(FindingKind::LengthShort, 0, counts);
    }

    void checkElements(const HtmlDocument &document)
    {
        // Per element: whether an enclosing element clips at the page width,
        // and whether an enclosing element is already reported as too wide.
        std::vector<char> clippedAbove(size_t(document.elements.size()), 0);
        std::vector<char> wideAbove(size_t(document.elements.size()), 0);
        for (qsizetype i = 0; i < document.elements.size(); ++i) {
            const HtmlElement &e = document.elements.at(i);
            const int pageWidth = m_findings.pageWidthAt(e.offset);
            if (forbiddenTags().contains(e.name))
                add(FindingKind::ForbiddenTag, e.offset, {e.name});
            checkAttributes(e);
            QList<StyleDeclaration> style;
            if (const HtmlAttribute *attribute = e.attribute(u"style")) {
                const StyleText css(attribute->value);
                style = splitStyle(css.text);
                checkStyle(*attribute, css, style);
            }
            for (const PageAddress &address : elementAddresses(e))
                checkAddress(address);

            const Box box = boxOf(e, style);
            const bool wide = box.width && *box.width > pageWidth;
            bool clipped = false;
            bool reported = false;
            if (e.parent >= 0) {
                clipped = clippedAbove[size_t(e.parent)];
                reported = wideAbove[size_t(e.parent)];
            }
            if (wide && !clipped && !reported) {
                add(FindingKind::WideElement, e.offset, {QString::number(*box.width), QString::number(pageWidth)});
                wideAbove[size_t(i)] = true;
            } else {
                wideAbove[size_t(i)] = reported;
            }
            // Holds what it encloses at the page width when it clips and is no wider.
            clippedAbove[size_t(i)] = clipped || (box.clips && !wide);
        }
    }

    void checkProblems(const HtmlDocument &document)
    {
        for (const HtmlProblem &problem : document.problems)
            add(kindOf(problem.kind), problem.offset, {problem.name});
    }

private:
    static FindingKind kindOf(HtmlProblem::Kind kind)
    {
        switch (kind) {
        case HtmlProblem::Unclosed:
            return FindingKind::UnclosedTag;
        case HtmlProblem::StrayEndTag:
            return FindingKind::StrayEndTag;
        case HtmlProblem::UnterminatedComment:
            return FindingKind::UnterminatedComment;
        case HtmlProblem::UnterminatedTag:
            return FindingKind::UnterminatedTag;
        case HtmlProblem::UnterminatedQuote:
            return FindingKind::UnterminatedQuote;
        case HtmlProblem::RepeatedAttribute:
            return FindingKind::RepeatedAttribute;
        case HtmlProblem::TooDeep:
            break;
        }
        return FindingKind::DeepNesting;
    }

    void add(FindingKind kind, qsizetype offset, const QStringList &arguments)
    {
        m_findings.add(kind, offset, arguments);
    }

    void checkAttributes(const HtmlElement &e)
    {
        for (const HtmlAttribute &a : e.attributes) {
            if (a.name == u"class"_s || a.name == u"id"_s)
                add(FindingKind::ClassOrId, a.nameOffset, {a.name});
            else if (a.name.size() > 2 && a.name.startsWith(u"on"_s))
                add(FindingKind::EventAttribute, a.nameOffset, {a.name});
        }
    }

    void checkStyle(const HtmlAttribute &attribute, const StyleText &css, const QList<StyleDeclaration> &style)
    {
        const auto at = [&](qsizetype i) { return attribute.offsetInValue(css.styleOffset(i)); };
        for (const StyleDeclaration &d : style) {
            const QString keyword = styleKeyword(d.value);
            if (d.property == u"position"_s && (keyword == u"absolute"_s || keyword == u"fixed"_s))
                add(FindingKind::PositionedStyle, at(d.propertyOffset), {keyword});
            if (d.property == u"behavior"_s || d.property.endsWith(u"-behavior"_s) || d.property == u"-moz-binding"_s
                || keyword.contains(u"expression("_s))
                add(FindingKind::StyleScript, at(d.propertyOffset), {shownAddress(d.property + u':' + d.value)});
            for (const StyleUrl &url : styleUrls(d.value))
                add(FindingKind::StyleAddress, at(d.valueOffset + url.offset),
                    {u"url("_s + shownAddress(url.address) + u')'});
        }
        for (qsizetype i = findInStyle(css.text, u"@import"); i >= 0; i = findInStyle(css.text, u"@import", i + 7))
            add(FindingKind::StyleAddress, at(i), {u"@import"_s});
    }

    void checkAddress(const PageAddress &address)
    {
        const QString cleaned = cleanAddress(address.address);
        const QString scheme = addressScheme(cleaned);
        if (scheme == u"javascript"_s || scheme == u"vbscript"_s) {
            add(FindingKind::ScriptAddress, address.offset, {shownAddress(cleaned)});
            return;
        }
        if (scheme == u"data"_s) {
            static const QStringList dataAttributes{u"src"_s, u"href"_s, u"background"_s, u"style"_s};
            if (dataAttributes.contains(address.attribute))
                add(FindingKind::DataAddress, address.offset, {shownAddress(cleaned)});
            return;
        }
        const QString host = addressHost(cleaned);
        switch (address.role) {
        case AddressRole::Picture:
            if (isPlaceholderHost(host)) {
                add(FindingKind::PlaceholderPicture, address.offset, {shownAddress(cleaned)});
                break;
            }
            checkHttp(cleaned, scheme, host, address.offset);
            if (host.isEmpty() || !hostWithin(host, pictureHosts()))
                add(FindingKind::ForeignPicture, address.offset,
                    {cleaned.isEmpty() ? u"（空）"_s : shownAddress(cleaned)});
            break;
        case AddressRole::Link:
            if (isPlaceholderLink(cleaned, scheme, host)) {
                add(FindingKind::PlaceholderLink, address.offset,
                    {cleaned.isEmpty() ? u"（空）"_s : shownAddress(cleaned)});
                break;
            }
            checkHttp(cleaned, scheme, host, address.offset);
            if (!host.isEmpty() && !hostWithin(host, linkHosts()))
                add(FindingKind::ForeignLink, address.offset, {shownAddress(cleaned)});
            break;
        case AddressRole::Other:
            break;
        }
    }

    void checkHttp(const QString &address, const QString &scheme, const QString &host, qsizetype offset)
    {
        if (scheme != u"http"_s || host.isEmpty())
            return;
        add(hostWithin(host, httpsUpgradeHosts()) ? FindingKind::HttpUpgradedAddress : FindingKind::HttpAddress, offset,
            {shownAddress(address)});
    }

    const SourceText &m_source;
    FindingList &m_findings;
};

} // namespace

QList<Finding> checkPage(const QString &html, int pageWidth, const QList<CheckSegment> &segments)
{
    const SourceText source(html);
    FindingList findings(source, pageWidth, segments);
    PageChecker checker(source, findings);
    checker.checkLength();
    const HtmlDocument document = parseHtml(source);
    checker.checkElements(document);
    checker.checkProblems(document);
    return findings.take();
}

std::optional<Finding> checkRenderedWidth(int scrollWidth, int pageWidth)
{
    if (scrollWidth <= pageWidth)
        return std::nullopt;
    return makeFinding(FindingKind::WideRendering, {QString::number(scrollWidth), QString::number(pageWidth)});
}

} // namespace orv::check
