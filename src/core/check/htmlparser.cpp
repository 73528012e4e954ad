#include "htmlparser.h"

#include <gumbo.h>

#include <QHash>

#include <algorithm>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

namespace orv::check {

using namespace Qt::StringLiterals;

namespace {

// Past this depth the page is read no further (see tooDeepAt()).
constexpr qsizetype maxDepth = 1024;

constexpr auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; };
constexpr auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };

// What the structure of a page needs to know of an element.
enum TagKind : unsigned {
    VoidElement = 1,    // no content and no end tag
    OptionalEnd = 2,    // its end tag may be left out
    SpecialElement = 4, // the end tag of an inline element does not reach past it
    RawText = 8,        // holds text only, up to its end tag
};

unsigned tagKind(const QByteArray &name)
{
    static const QHash<QByteArray, unsigned> table = [] {
        QHash<QByteArray, unsigned> t;
        const auto add = [&t](const char *names, unsigned kind) {
            for (const QByteArray &name : QByteArray(names).split(' '))
                t[name] |= kind;
        };
        add("area base basefont bgsound br col embed frame hr image img input isindex keygen link meta param source "
            "track wbr",
            VoidElement);
        add("html head body p li dt dd option optgroup tr td th thead tbody tfoot colgroup caption rb rt rtc rp",
            OptionalEnd);
        add("address applet area article aside base basefont bgsound blockquote body br button caption center col "
            "colgroup dd details dir div dl dt embed fieldset figcaption figure footer form frame frameset h1 h2 h3 h4 "
            "h5 h6 head header hgroup hr html iframe img input isindex keygen li link listing main marquee menu meta "
            "nav noembed noframes noscript object ol p param plaintext pre script section select source style summary "
            "table tbody td template textarea tfoot th thead title tr track ul wbr xmp",
            SpecialElement);
        add("script style xmp iframe noembed noframes textarea title plaintext", RawText);
        return t;
    }();
    return table.value(name);
}

// The name of the tag whose first letter is at, in lower case.
QByteArray tagName(QByteArrayView b, qsizetype at)
{
    qsizetype end = at;
    while (end < b.size() && !isSpace(b[end]) && b[end] != '/' && b[end] != '>')
        ++end;
    return b.sliced(at, end - at).toByteArray().toLower(); // ASCII letters only
}

// A tag read the way HTML5 tokenizes it, in bytes: what the parser does not
// give, all its attributes as written (it keeps the first of a repeated one
// only) and a tag the text ends in (it drops it).
struct TagToken {
    struct Attribute {
        qsizetype nameStart, nameEnd;
        qsizetype valueStart = -1, valueEnd = -1; // -1: no value
        bool unterminatedQuote = false;
    };
    QList<Attribute> attributes;
    qsizetype end = 0; // the closing '>', or limit when there is none
    bool selfClosing = false;
};

// Reads the attributes of the tag whose name ends at i, up to limit.
TagToken readTag(QByteArrayView b, qsizetype i, qsizetype limit)
{
    TagToken tag;
    const auto skipSpaces = [&](qsizetype j) {
        while (j < limit && isSpace(b[j]))
            ++j;
        return j;
    };
    for (i = skipSpaces(i); i < limit && b[i] != '>'; i = skipSpaces(i)) {
        if (b[i] == '/') {
            tag.selfClosing = i + 1 < limit && b[i + 1] == '>';
            ++i;
            continue;
        }
        TagToken::Attribute a{i, ++i}; // a name may start with '='
        while (i < limit && !isSpace(b[i]) && b[i] != '/' && b[i] != '>' && b[i] != '=')
            ++i;
        a.nameEnd = i;
        if (const qsizetype equals = skipSpaces(i); equals < limit && b[equals] == '=') {
            const qsizetype j = skipSpaces(equals + 1);
            const char quote = j < limit && (b[j] == '"' || b[j] == '\'') ? b[j] : 0;
            qsizetype close = quote ? b.first(limit).indexOf(quote, j + 1) : j;
            while (!quote && close < limit && !isSpace(b[close]) && b[close] != '>')
                ++close;
            a = {a.nameStart, a.nameEnd, j + (quote != 0), close < 0 ? limit : close, close < 0};
            i = close < 0 ? limit : close + (quote != 0);
        }
        tag.attributes.append(a);
    }
    tag.end = i;
    return tag;
}

// The tree builder looks down its stack of open elements for most tags: a
// page nesting thousands deep would take it quadratic time. So the tags are
// read first with a stack of names that closes elements no sooner than it
// does (an end tag the innermost of its name, an inline one not past a block;
// a <p>, <li> and the like one of its name just before it). Gives the '<' of
// the first start tag nested deeper than maxDepth, or -1.
qsizetype tooDeepAt(QByteArrayView b)
{
    std::vector<std::pair<QByteArray, unsigned>> open;
    const auto isForeign = [](const QByteArray &name) { return name == "svg" || name == "math"; };
    const auto inForeign
        = [&] { return std::any_of(open.cbegin(), open.cend(), [&](auto &o) { return isForeign(o.first); }); };
    for (qsizetype lt = b.indexOf('<'), next = 0; lt >= 0 && lt + 2 < b.size(); lt = b.indexOf('<', next)) {
        const bool endTag = b[lt + 1] == '/';
        next = lt + 1;
        if (!isLetter(b[lt + 1 + endTag]))
            continue;
        const QByteArray name = tagName(b, lt + 1 + endTag);
        const TagToken tag = readTag(b, lt + 1 + endTag + name.size(), b.size());
        const unsigned kind = tagKind(name);
        next = tag.end + 1;
        if (endTag) {
            auto i = open.size();
            while (i > 0 && open[i - 1].first != name
                   && ((kind & SpecialElement) || !(open[i - 1].second & SpecialElement)))
                --i;
            if (i > 0 && open[i - 1].first == name)
                open.resize(i - 1);
        } else if (!(kind & VoidElement) && !(tag.selfClosing && (isForeign(name) || (!kind && inForeign())))) {
            // "/>" closes an element of SVG or MathML only (one named as in HTML stays counted).
            if ((kind & OptionalEnd) && !open.empty() && open.back().first == name)
                open.pop_back();
            open.emplace_back(name, kind);
            if (qsizetype(open.size()) > maxDepth)
                return lt;
        }
    }
    return -1;
}

// What the character reference ("&amp;", "&#x6A", "&copy") stands for in an
// attribute value, from the parser itself; empty when it is none. Each is
// parsed once.
QString referenceValue(const QString &reference)
{
    thread_local QHash<QString, QString> known;
    if (const auto it = known.constFind(reference); it != known.cend())
        return *it;
    if (known.size() > 4096)
        known.clear(); // a page of made-up names keeps no more
    const QByteArray html = "<a title=\"" + reference.toLatin1() + "\">";
    GumboOptions options = kGumboDefaultOptions;
    options.fragment_context = GUMBO_TAG_BODY;
    options.max_errors = 0;
    GumboOutput *output = gumbo_parse_with_options(&options, html.constData(), size_t(html.size()));
    const auto *a = static_cast<const GumboNode *>(output->root->v.element.children.data[0]);
    QString value = QString::fromUtf8(static_cast<const GumboAttribute *>(a->v.element.attributes.data[0])->value);
    gumbo_destroy_output(&options, output);
    return *known.insert(reference, value == reference ? QString() : value);
}

// Where the character reference at i ends, with its ';' if any: "&#" and
// digits, or "&" and up to 32 letters and digits not followed by '='; i when
// there is none.
qsizetype referenceEnd(QStringView text, qsizetype i)
{
    const bool numeric = i + 1 < text.size() && text[i + 1] == u'#';
    const bool hex = numeric && i + 2 < text.size() && (text[i + 2] == u'x' || text[i + 2] == u'X');
    const qsizetype first = i + 1 + numeric + hex;
    qsizetype j = first;
    while (j < text.size() && text[j] < u'\x80' && text[j].isLetterOrNumber()
           && (!numeric || text[j].isDigit() || (hex && QStringView(u"abcdefABCDEF").contains(text[j]))))
        ++j;
    if (j == first || (!numeric && j - first > 32) || (!numeric && j < text.size() && text[j] == u'='))
        return i;
    return j < text.size() && text[j] == u';' ? j + 1 : j;
}

// Reads the page with the HTML5 parser as the content of a <body>: every
// element written in the text, and every one closed without its own end tag.
// What the parser drops (an end tag that closes nothing, a start tag that may
// not stand where it is, a tag the text ends in) stands in what none of the
// tree's start tags, end tags, comments and raw texts (of scripts, ...) covers.
struct Reader {
    HtmlDocument run()
    {
        const qsizetype cut = tooDeepAt(m_input);
        m_end = cut >= 0 ? cut : m_input.size();
        GumboOptions options = kGumboDefaultOptions;
        options.fragment_context = GUMBO_TAG_BODY;
        options.max_errors = 0; // not read; each would copy the stack of open elements
        GumboOutput *output = gumbo_parse_with_options(&options, m_input.constData(), size_t(m_end));
        walk(output->root, cut >= 0);
        gumbo_destroy_output(&options, output);
        readUncovered();
        if (cut >= 0)
            problem(HtmlProblem::TooDeep, QString::fromUtf8(tagName(m_input, cut + 1)), cut);
        return document();
    }

    static QByteArrayView viewOf(const GumboStringPiece &piece) { return {piece.data, qsizetype(piece.length)}; }
    qsizetype byteOf(const GumboStringPiece &piece) const { return piece.data - m_input.constData(); }
    qsizetype textOffset(qsizetype byte) const { return m_source.offsetAtByte(byte); }

    void problem(HtmlProblem::Kind k, const QString &n, qsizetype at) { m_problems.append({k, n, textOffset(at)}); }

    void cover(const GumboStringPiece &piece)
    {
        if (piece.length > 0)
            m_covered.emplace_back(byteOf(piece), byteOf(piece) + qsizetype(piece.length));
    }

    void walk(const GumboNode *root, bool cut)
    {
        // Nodes with the '<' of the enclosing element and whether they are the text of a script, a style, ...
        std::vector<std::tuple<const GumboNode *, qsizetype, bool>> todo{{root, -1, false}};
        while (!todo.empty()) {
            const auto [node, parentByte, rawText] = todo.back();
            todo.pop_back();
            if (node->type == GUMBO_NODE_COMMENT) {
                // Closed by "-->" and "--!>" (which "<!-->" and "<!--->" end in), a bogus one by '>'.
                const QByteArrayView text = viewOf(node->v.text.original_text);
                cover(node->v.text.original_text);
                if (!(text.startsWith("<!--") ? text.endsWith("-->") || text.endsWith("--!>") : text.endsWith(">")))
                    problem(HtmlProblem::UnterminatedComment, {}, byteOf(node->v.text.original_text));
            } else if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE) {
                if (node->type == GUMBO_NODE_CDATA || rawText)
                    cover(node->v.text.original_text);
            } else {
                const GumboElement &e = node->v.element;
                cover(e.original_tag);
                cover(e.original_end_tag);
                const bool written = e.original_tag.length > 0;
                const qsizetype byte = written ? byteOf(e.original_tag) : parentByte;
                const QByteArray name = written ? tagName(m_input, byte + 1) : QByteArray();
                // A copy the parser makes of an inline element (to carry it
                // across a block) stands for the element itself.
                if (written
                    && !(node->parse_flags
                         & (GUMBO_INSERTION_RECONSTRUCTED_FORMATTING_ELEMENT | GUMBO_INSERTION_ADOPTION_AGENCY_CLONED)))
                    element(*node, parentByte, name, cut);
                if (!written && (node->parse_flags & GUMBO_INSERTION_CONVERTED_FROM_END_TAG) && e.tag == GUMBO_TAG_P)
                    problem(HtmlProblem::StrayEndTag, u"p"_s, byteOf(e.original_end_tag)); // an empty <p> to a browser
                const bool text = e.tag_namespace == GUMBO_NAMESPACE_HTML && (tagKind(name) & RawText);
                for (unsigned i = e.children.length; i-- > 0;) // the first child next
                    todo.emplace_back(static_cast<const GumboNode *>(e.children.data[i]), byte, text);
            }
        }
    }

    void element(const GumboNode &node, qsizetype parentByte, const QByteArray &name, bool cut)
    {
        const GumboElement &e = node.v.element;
        const qsizetype byte = byteOf(e.original_tag);
        m_elements.append(readElement(byte, byte + qsizetype(e.original_tag.length), name));
        m_elements.last().parent = parentByte; // a byte until document() makes it an index
        // Whatever else the parser says, an element ended by its own end tag
        // or, in SVG and MathML, by "/>" is closed. Where the page was read
        // only up to its depth limit, what is still open there is not reported.
        const QByteArrayView endTag = viewOf(e.original_end_tag);
        const bool ownEnd = endTag.size() > 2 && tagName(endTag, 2) == name;
        const bool selfClosed = e.tag_namespace != GUMBO_NAMESPACE_HTML && viewOf(e.original_tag).endsWith("/>");
        if ((node.parse_flags & GUMBO_INSERTION_IMPLICIT_END_TAG) && !(tagKind(name) & (VoidElement | OptionalEnd))
            && !ownEnd && !selfClosed && !(cut && endTag.isEmpty()))
            problem(HtmlProblem::Unclosed, m_elements.last().name, byte);
    }

    // The element of the start tag at start, which ends by limit; m_after
    // receives the byte past it.
    HtmlElement readElement(qsizetype start, qsizetype limit, const QByteArray &name)
    {
        const TagToken tag = readTag(m_input, start + 1 + name.size(), limit);
        m_after = std::min(tag.end + 1, limit);
        HtmlElement e{QString::fromUtf8(name), textOffset(start), textOffset(m_after)};
        std::set<QString> names;
        for (const TagToken::Attribute &a : tag.attributes) {
            HtmlAttribute attribute{QString::fromUtf8(m_input.sliced(a.nameStart, a.nameEnd - a.nameStart).toLower())};
            attribute.nameOffset = textOffset(a.nameStart);
            attribute.hasValue = a.valueStart >= 0;
            attribute.valueOffset = textOffset(attribute.hasValue ? a.valueStart : a.nameEnd);
            if (attribute.hasValue) {
                attribute.valueLength = textOffset(a.valueEnd) - attribute.valueOffset;
                const QStringView raw
                    = QStringView(m_source.text()).sliced(attribute.valueOffset, attribute.valueLength);
                attribute.value
                    = raw.contains(u'&') ? decodeCharacterReferences(raw, &attribute.valueOffsets) : raw.toString();
                for (qsizetype &offset : attribute.valueOffsets)
                    offset += attribute.valueOffset;
            }
            if (a.unterminatedQuote)
                problem(HtmlProblem::UnterminatedQuote, attribute.name, a.valueStart - 1);
            if (names.insert(attribute.name).second)
                e.attributes.append(std::move(attribute));
            else
                problem(HtmlProblem::RepeatedAttribute, attribute.name, a.nameStart);
        }
        // Only the last attribute's quote can run to the end.
        if (tag.end == limit && (tag.attributes.isEmpty() || !tag.attributes.last().unterminatedQuote))
            problem(HtmlProblem::UnterminatedTag, e.name, start);
        return e;
    }

    void readUncovered()
    {
        std::sort(m_covered.begin(), m_covered.end());
        const QByteArrayView input = QByteArrayView(m_input).first(m_end);
        for (qsizetype at = input.indexOf('<'), k = 0; at >= 0; at = input.indexOf('<', at)) {
            while (k < qsizetype(m_covered.size()) && m_covered[k].second <= at)
                ++k;
            const bool covered = k < qsizetype(m_covered.size()) && m_covered[k].first <= at;
            at = covered ? m_covered[k].second : droppedToken(at);
        }
    }

    // A tag at lt that the tree holds nothing of; gives the byte past it.
    qsizetype droppedToken(qsizetype lt)
    {
        const QByteArrayView input = QByteArrayView(m_input).first(m_end);
        const bool endTag = lt + 1 < m_end && input[lt + 1] == '/';
        const qsizetype nameAt = lt + 1 + endTag;
        if (nameAt >= m_end || !isLetter(input[nameAt]))
            return lt + 1; // text, or a doctype the parser drops
        const QByteArray name = tagName(input, nameAt);
        if (!endTag) {
            m_elements.append(readElement(lt, m_end, name));
            m_elements.last().dropped = true;
            return m_after;
        }
        const TagToken tag = readTag(input, nameAt + name.size(), m_end);
        // Browsers drop the end tags of void elements, <html>, <head>, <body>
        // and <form> without a trace.
        const bool harmless
            = (tagKind(name) & VoidElement) || name == "html" || name == "head" || name == "body" || name == "form";
        if (tag.end == m_end)
            problem(HtmlProblem::UnterminatedTag, u'/' + QString::fromUtf8(name), lt);
        else if (!harmless)
            problem(HtmlProblem::StrayEndTag, QString::fromUtf8(name), lt);
        return std::min(tag.end + 1, m_end);
    }

    HtmlDocument document()
    {
        const auto byOffset = [](const auto &a, const auto &b) { return a.offset < b.offset; };
        if (!std::is_sorted(m_elements.cbegin(), m_elements.cend(), byOffset)) // moved by the tree builder, dropped
            std::stable_sort(m_elements.begin(), m_elements.end(), byOffset);
        for (HtmlElement &e : m_elements) {
            const qsizetype offset = e.parent < 0 ? -1 : textOffset(e.parent);
            const auto parent = std::lower_bound(m_elements.cbegin(), m_elements.cend(), offset,
                                                 [](const HtmlElement &p, qsizetype o) { return p.offset < o; });
            e.parent = offset >= 0 && offset < e.offset && parent->offset == offset ? parent - m_elements.cbegin() : -1;
        }
        std::stable_sort(m_problems.begin(), m_problems.end(), byOffset);
        return {m_elements, m_problems};
    }

    const SourceText &m_source;
    const QByteArray &m_input = m_source.utf8();
    qsizetype m_end = 0;   // the bytes read: up to the depth limit
    qsizetype m_after = 0; // past the tag readElement() read last
    QList<HtmlElement> m_elements;
    QList<HtmlProblem> m_problems;
    std::vector<std::pair<qsizetype, qsizetype>> m_covered; // [begin, end) of the tree's tokens
};

} // namespace

HtmlDocument parseHtml(const SourceText &source)
{
    return Reader{source}.run();
}

QString decodeCharacterReferences(QStringView text, QList<qsizetype> *offsets)
{
    QString out;
    if (offsets)
        offsets->clear();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype end = text[i] == u'&' ? referenceEnd(text, i) : i;
        const QString value = end > i ? referenceValue(text.sliced(i, end - i).toString()) : QString();
        out.append(value.isEmpty() ? QStringView(text).sliced(i, 1) : QStringView(value));
        if (offsets)
            offsets->insert(offsets->size(), out.size() - offsets->size(), i);
        i = value.isEmpty() ? i + 1 : end;
    }
    if (offsets)
        offsets->append(text.size());
    return out;
}

} // namespace orv::check
