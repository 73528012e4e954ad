#include "htmlparser.h"

#include <QHash>
#include <QSet>

#include <libxml/HTMLparser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <vector>

namespace orv::check {

using namespace Qt::StringLiterals;

namespace {

// The parser reads the page inside an element of its own, so that text at
// the top never makes libxml2 imply a <p> (which would then close links and
// the like around tables) and a stray end tag never empties its stack.
constexpr QByteArrayView rootTag = "<orvanta-check-root>";

// libxml2 looks through all its open elements for every end tag: past this
// depth the parser stops, so that a page of thousands of unclosed elements
// cannot make it take quadratic time. No real page comes near.
constexpr int parserDepth = 1024;

// What the HTML standard says about an element, as far as the structure of a
// description page needs it.
enum ElementFlag : unsigned {
    Void = 1 << 0,        // no content and no end tag
    OptionalEnd = 1 << 1, // its end tag may be left out
    Special = 1 << 2,     // an end tag for an inline element does not reach past it
    Scope = 1 << 3,       // ends the search for an open element in scope
    ClosesP = 1 << 4,     // its start tag closes an open <p>
    Heading = 1 << 5,
    TableScope = 1 << 6, // ends the search for an open element in table scope
    Foreign = 1 << 7,    // SVG or MathML: "/>" closes elements inside it
};

const QHash<QString, unsigned> &elementTable()
{
    static const QHash<QString, unsigned> table = [] {
        QHash<QString, unsigned> t;
        const auto add = [&t](std::initializer_list<const char16_t *> names, unsigned flags) {
            for (const char16_t *name : names)
                t[QString::fromUtf16(name)] |= flags;
        };
        add({u"area", u"base", u"basefont", u"bgsound", u"br", u"col", u"embed", u"frame", u"hr", u"img", u"input",
             u"isindex", u"keygen", u"link", u"meta", u"param", u"source", u"track", u"wbr"},
            Void);
        add({u"html",   u"head",     u"body",    u"p",  u"li", u"dt",    u"dd",
             u"option", u"optgroup", u"tr",      u"td", u"th", u"thead", u"tbody",
             u"tfoot",  u"colgroup", u"caption", u"rb", u"rt", u"rtc",   u"rp"},
            OptionalEnd);
        add({u"address",    u"applet",  u"area",   u"article", u"aside",     u"base",     u"basefont", u"bgsound",
             u"blockquote", u"body",    u"br",     u"button",  u"caption",   u"center",   u"col",      u"colgroup",
             u"dd",         u"details", u"dir",    u"div",     u"dl",        u"dt",       u"embed",    u"fieldset",
             u"figcaption", u"figure",  u"footer", u"form",    u"frame",     u"frameset", u"h1",       u"h2",
             u"h3",         u"h4",      u"h5",     u"h6",      u"head",      u"header",   u"hgroup",   u"hr",
             u"html",       u"iframe",  u"img",    u"input",   u"keygen",    u"li",       u"link",     u"listing",
             u"main",       u"marquee", u"menu",   u"meta",    u"nav",       u"noembed",  u"noframes", u"noscript",
             u"object",     u"ol",      u"p",      u"param",   u"plaintext", u"pre",      u"script",   u"section",
             u"select",     u"source",  u"style",  u"summary", u"table",     u"tbody",    u"td",       u"template",
             u"textarea",   u"tfoot",   u"th",     u"thead",   u"title",     u"tr",       u"track",    u"ul",
             u"wbr",        u"xmp"},
            Special);
        add({u"applet", u"caption", u"html", u"table", u"td", u"th", u"marquee", u"object", u"template"}, Scope);
        add({u"html", u"table", u"template"}, TableScope);
        add({u"address", u"article", u"aside",    u"blockquote", u"center", u"details", u"dialog",    u"dir",
             u"div",     u"dl",      u"fieldset", u"figcaption", u"figure", u"footer",  u"form",      u"h1",
             u"h2",      u"h3",      u"h4",       u"h5",         u"h6",     u"header",  u"hgroup",    u"hr",
             u"main",    u"menu",    u"nav",      u"ol",         u"p",      u"pre",     u"section",   u"summary",
             u"table",   u"ul",      u"li",       u"dd",         u"dt",     u"listing", u"plaintext", u"xmp"},
            ClosesP);
        add({u"h1", u"h2", u"h3", u"h4", u"h5", u"h6"}, Heading);
        add({u"svg", u"math"}, Foreign);
        return t;
    }();
    return table;
}

unsigned flagsOf(const QString &name)
{
    return elementTable().value(name);
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A character of a tag name as libxml2 reads it.
bool isNameChar(char c)
{
    return isAsciiLetter(c) || (c >= '0' && c <= '9') || c == ':' || c == '-' || c == '_' || c == '.';
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// HTML lowers ASCII letters only, so that a name keeps its length.
QString asciiLower(QString text)
{
    for (QChar &c : text) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() - u'A' + u'a');
    }
    return text;
}

// A start tag read the way HTML5 tokenizes it, in bytes of the input.
struct TagToken {
    struct Attribute {
        qsizetype nameStart, nameEnd;
        qsizetype valueStart = -1, valueEnd = -1; // -1: no value
        bool unterminatedQuote = false;
    };
    QList<Attribute> attributes;
    qsizetype end = 0; // the closing '>', or the end of the input
    bool terminated = false;
    bool selfClosing = false;
};

// Reads the attributes of the tag whose name ends at from, up to limit.
TagToken readTag(QByteArrayView b, qsizetype from, qsizetype limit)
{
    TagToken tag;
    qsizetype i = from;
    for (;;) {
        while (i < limit && isSpace(b[i]))
            ++i;
        if (i >= limit) {
            tag.end = limit;
            return tag;
        }
        if (b[i] == '>') {
            tag.end = i;
            tag.terminated = true;
            return tag;
        }
        if (b[i] == '/') {
            if (i + 1 < limit && b[i + 1] == '>') {
                tag.end = i + 1;
                tag.terminated = true;
                tag.selfClosing = true;
                return tag;
            }
            ++i;
            continue;
        }
        TagToken::Attribute attribute{i, i};
        ++i; // a name may start with '='
        while (i < limit && !isSpace(b[i]) && b[i] != '/' && b[i] != '>' && b[i] != '=')
            ++i;
        attribute.nameEnd = i;
        qsizetype j = i;
        while (j < limit && isSpace(b[j]))
            ++j;
        if (j < limit && b[j] == '=') {
            ++j;
            while (j < limit && isSpace(b[j]))
                ++j;
            if (j < limit && (b[j] == '"' || b[j] == '\'')) {
                const char quote = b[j];
                attribute.valueStart = j + 1;
                const qsizetype close = b.first(limit).indexOf(quote, j + 1);
                attribute.unterminatedQuote = close < 0;
                attribute.valueEnd = close < 0 ? limit : close;
                j = close < 0 ? limit : close + 1;
            } else {
                attribute.valueStart = j;
                while (j < limit && !isSpace(b[j]) && b[j] != '>')
                    ++j;
                attribute.valueEnd = j;
            }
            i = j;
        }
        tag.attributes.append(attribute);
    }
}

struct Named {
    const char *name;
    char16_t value;
};

// References of HTML5 that libxml2's HTML 4 table lacks, among them those
// used to hide a "javascript:" address.
const Named extraReferences[] = {
    {"colon", u':'},  {"Tab", u'\t'},   {"NewLine", u'\n'}, {"lpar", u'('},   {"rpar", u')'},   {"sol", u'/'},
    {"bsol", u'\\'},  {"period", u'.'}, {"comma", u','},    {"excl", u'!'},   {"quest", u'?'},  {"num", u'#'},
    {"percnt", u'%'}, {"equals", u'='}, {"semi", u';'},     {"plus", u'+'},   {"commat", u'@'}, {"lowbar", u'_'},
    {"grave", u'`'},  {"Hat", u'^'},    {"ast", u'*'},      {"dollar", u'$'}, {"verbar", u'|'}, {"lsqb", u'['},
    {"rsqb", u']'},   {"lcub", u'{'},   {"rcub", u'}'},
};

int digitValue(QChar c, bool hex)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (hex && u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (hex && u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

void appendCodePoint(QString &out, char32_t c)
{
    if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = 0xFFFD;
    if (c >= 0x10000) {
        out.append(QChar(QChar::highSurrogate(c)));
        out.append(QChar(QChar::lowSurrogate(c)));
    } else {
        out.append(QChar(char16_t(c)));
    }
}

// Reads libxml2's HTML parser through its SAX interface. The parser gives the
// start tags with the byte where each ends; the tag itself, its attributes
// and the end tags are found in the bytes around it. The structure follows
// the HTML5 tree builder, simplified to what matters for unclosed and stray
// tags: libxml2 closes elements by the rules of HTML 4.
class Parser {
public:
    explicit Parser(const SourceText &source)
        : m_source(source)
        , m_input(rootTag.toByteArray() + source.utf8())
    {
    }

    HtmlDocument run()
    {
        static const bool initialised = (xmlInitParser(), true);
        Q_UNUSED(initialised);
        if (m_input.size() > INT_MAX)
            return {};
        m_context = htmlCreateMemoryParserCtxt(m_input.constData(), int(m_input.size()));
        if (!m_context)
            return {};
        xmlSAXHandler &sax = *m_context->sax;
        std::memset(&sax, 0, sizeof sax);
        sax.initialized = XML_SAX2_MAGIC; // so that errors go to serror
        sax.startElement = &Parser::onStartElement;
        sax.endElement = &Parser::onEndElement;
        sax.characters = &Parser::onText;
        sax.cdataBlock = &Parser::onText;
        sax.ignorableWhitespace = &Parser::onText;
        sax.comment = &Parser::onComment;
        sax.processingInstruction = &Parser::onProcessingInstruction;
        sax.serror = &Parser::onError;
        m_context->userData = this;
        htmlCtxtUseOptions(m_context, HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOIMPLIED | HTML_PARSE_NODEFDTD
                                          | HTML_PARSE_IGNORE_ENC);
        // The input is valid UTF-8, so that no conversion moves the bytes.
        xmlSwitchEncoding(m_context, XML_CHAR_ENCODING_UTF8);
        htmlParseDocument(m_context);
        htmlFreeParserCtxt(m_context);
        m_context = nullptr;

        if (!m_stopped) {
            takeEndTags(m_input.size());
            for (const Open &open : m_stack) {
                if (needsEndTag(open) && !open.unterminated)
                    problem(HtmlProblem::Unclosed, element(open.element).name, element(open.element).offset);
            }
        }
        std::stable_sort(m_document.problems.begin(), m_document.problems.end(),
                         [](const HtmlProblem &a, const HtmlProblem &b) { return a.offset < b.offset; });
        return std::move(m_document);
    }

private:
    struct Open {
        qsizetype element;
        unsigned flags;            // of its name
        unsigned stops;            // the kinds of stop it is
        bool unterminated = false; // its tag runs to the end of the text
    };

    static Parser &self(void *data) { return *static_cast<Parser *>(data); }

    static void onStartElement(void *data, const xmlChar *name, const xmlChar **)
    {
        self(data).startTag(QByteArrayView(reinterpret_cast<const char *>(name)));
    }

    static void onEndElement(void *data, const xmlChar *)
    {
        Parser &p = self(data);
        p.takeEndTags(p.cursor());
    }

    static void onText(void *data, const xmlChar *, int) { self(data).seen(self(data).cursor()); }

    static void onComment(void *data, const xmlChar *) { self(data).seen(self(data).cursor()); }

    static void onProcessingInstruction(void *data, const xmlChar *, const xmlChar *)
    {
        self(data).seen(self(data).cursor());
    }

    static void onError(void *data, xmlErrorPtr error)
    {
        if (data && error)
            self(data).parserError(*error);
    }

    // The byte the parser is at, in the input.
    qsizetype cursor() const
    {
        const xmlParserInputPtr input = m_context->input;
        return qsizetype(input->consumed) + (input->cur - input->base);
    }

    // The offset in the text of a byte of the input.
    qsizetype textOffset(qsizetype byte) const { return m_source.offsetAtByte(byte - rootTag.size()); }

    void seen(qsizetype byte) { m_seen = std::max(m_seen, byte); }

    HtmlElement &element(qsizetype index) { return m_document.elements[index]; }

    void problem(HtmlProblem::Kind kind, const QString &name, qsizetype offset)
    {
        m_document.problems.append({kind, name, offset});
    }

    // A start tag the parser reports: found in the bytes since the last thing
    // read, ending where the parser stands (at its '>' or "/>").
    void startTag(QByteArrayView name)
    {
        const qsizetype at = cursor();
        if (at < rootTag.size())
            return; // the parser's own root
        const qsizetype start = findStartTag(name, at);
        if (start < 0)
            return; // implied by the parser, not in the text
        takeEndTags(start);
        // The tag ends where the parser stands: read no further, so that a
        // run of broken tags is read once.
        const qsizetype limit = std::min(m_input.size(), at + 2);
        TagToken tag = readTag(m_input, start + 1 + name.size(), limit);
        if (!tag.terminated && limit < m_input.size()) {
            tag.terminated = true;
            tag.end = at;
            for (TagToken::Attribute &a : tag.attributes)
                a.unterminatedQuote = false;
        }
        HtmlElement e = elementFromTag(QString::fromLatin1(name), start, tag);
        const unsigned flags = flagsOf(e.name);
        const bool unterminated = !tag.terminated
                                  || std::any_of(tag.attributes.begin(), tag.attributes.end(),
                                                 [](const auto &a) { return a.unterminatedQuote; });
        e.parent = m_stack.empty() ? -1 : m_stack.back().element;
        m_document.elements.append(std::move(e));
        const qsizetype index = m_document.elements.size() - 1;
        openElement(index, flags, tag.selfClosing, unterminated);
        seen(tag.terminated ? tag.end + 1 : m_input.size());
        if (m_context->nameNr > parserDepth && !m_stopped) {
            m_stopped = true;
            problem(HtmlProblem::TooDeep, element(index).name, element(index).offset);
            xmlStopParser(m_context);
        }
    }

    // The '<' of the tag the parser has just read: the first "<name" since the
    // last thing read whose tag, as HTML5 reads it, ends where the parser is.
    qsizetype findStartTag(QByteArrayView name, qsizetype at) const
    {
        const QByteArrayView input = m_input;
        const qsizetype limit = std::min(input.size(), at + 2);
        qsizetype first = -1;
        int tried = 0;
        for (qsizetype i = input.first(at).indexOf('<', m_seen); i >= 0 && i + name.size() < limit;
             i = input.first(at).indexOf('<', i + 1)) {
            bool matches = true;
            for (qsizetype k = 0; k < name.size() && matches; ++k)
                matches = lower(input[i + 1 + k]) == name[k];
            const qsizetype after = i + 1 + name.size();
            if (!matches || (after < input.size() && isNameChar(input[after])))
                continue;
            if (first < 0)
                first = i;
            const TagToken tag = readTag(input, after, limit);
            const bool endsHere
                = tag.terminated ? tag.end == at || (tag.selfClosing && tag.end == at + 1) : at >= input.size();
            if (endsHere)
                return i;
            if (++tried == 16) // a cap, so that a run of broken tags stays linear
                break;
        }
        return first;
    }

    HtmlElement elementFromTag(const QString &name, qsizetype start, const TagToken &tag)
    {
        HtmlElement e;
        e.name = name;
        e.offset = textOffset(start);
        e.end = tag.terminated ? textOffset(tag.end + 1) : m_source.text().size();
        const QString &text = m_source.text();
        QSet<QString> names;
        for (const TagToken::Attribute &a : tag.attributes) {
            HtmlAttribute attribute;
            attribute.nameOffset = textOffset(a.nameStart);
            attribute.name
                = asciiLower(text.sliced(attribute.nameOffset, textOffset(a.nameEnd) - attribute.nameOffset));
            attribute.hasValue = a.valueStart >= 0;
            if (attribute.hasValue) {
                attribute.valueOffset = textOffset(a.valueStart);
                attribute.valueLength = textOffset(a.valueEnd) - attribute.valueOffset;
                const QStringView raw = QStringView(text).sliced(attribute.valueOffset, attribute.valueLength);
                if (raw.contains(u'&')) {
                    attribute.value = decodeCharacterReferences(raw, &attribute.valueOffsets);
                    for (qsizetype &offset : attribute.valueOffsets)
                        offset += attribute.valueOffset;
                } else {
                    attribute.value = raw.toString();
                }
            } else {
                attribute.valueOffset = textOffset(a.nameEnd);
            }
            if (a.unterminatedQuote)
                problem(HtmlProblem::UnterminatedQuote, attribute.name, attribute.valueOffset - 1);
            if (names.contains(attribute.name)) {
                problem(HtmlProblem::RepeatedAttribute, attribute.name, attribute.nameOffset);
                continue;
            }
            names.insert(attribute.name);
            e.attributes.append(std::move(attribute));
        }
        if (!tag.terminated && std::none_of(tag.attributes.begin(), tag.attributes.end(), [](const auto &a) {
                return a.unterminatedQuote;
            }))
            problem(HtmlProblem::UnterminatedTag, name, e.offset);
        return e;
    }

    // Every end tag in the bytes from the last thing read up to the given
    // byte, in order. The parser tells of an end tag only through the end of
    // an element or an error, so they are looked for whenever it does.
    void takeEndTags(qsizetype upTo)
    {
        const QByteArrayView input = m_input;
        upTo = std::min(upTo, input.size());
        qsizetype i = std::max(m_seen, m_endTagsTo);
        while (i + 2 < upTo) {
            i = input.first(upTo).indexOf("</", i);
            if (i < 0 || i + 2 >= upTo)
                break;
            if (!isAsciiLetter(input[i + 2])) {
                i += 2;
                continue;
            }
            qsizetype nameEnd = i + 2;
            QByteArray name;
            while (nameEnd < input.size() && isNameChar(input[nameEnd]))
                name.append(lower(input[nameEnd++]));
            closeElement(QString::fromLatin1(name), textOffset(i));
            i = nameEnd;
        }
        m_endTagsTo = std::max(m_endTagsTo, upTo);
        seen(upTo);
    }

    void parserError(const xmlError &error)
    {
        const qsizetype at = cursor();
        const QString message = QString::fromUtf8(error.message).trimmed();
        m_document.parserMessages.append({error.code, message, textOffset(std::max(at, rootTag.size()))});
        switch (error.code) {
        case XML_ERR_TAG_NAME_MISMATCH:
            // An end tag the parser rejects; not "Element script embeds
            // close tag", which is about script text.
            if (message.startsWith(u"Unexpected end tag"_s) || message.startsWith(u"Opening and ending"_s))
                takeEndTags(at);
            break;
        case XML_ERR_COMMENT_NOT_FINISHED: {
            const qsizetype start = QByteArrayView(m_input).first(std::min(at, m_input.size())).indexOf("<!--", m_seen);
            problem(HtmlProblem::UnterminatedComment, {}, textOffset(start >= 0 ? start : at));
            seen(m_input.size());
            m_endTagsTo = m_input.size();
            break;
        }
        case XML_HTML_STRUCURE_ERROR:
            if (error.str1 && message.contains(u"misplaced <"_s))
                mergedTag(QByteArrayView(error.str1), at);
            break;
        default:
            break;
        }
    }

    // A misplaced <html>, <head> or <body> tag, which the parser drops with
    // its attributes: read them here, the parser stands just past its name.
    void mergedTag(QByteArrayView name, qsizetype at)
    {
        // Each is read to its end, which may be far: a few are enough.
        if (++m_mergedTags > 64)
            return;
        const qsizetype start = at - name.size() - 1;
        if (start < m_seen || m_input[start] != '<')
            return;
        for (qsizetype k = 0; k < name.size(); ++k) {
            if (lower(m_input[start + 1 + k]) != name[k])
                return;
        }
        takeEndTags(start);
        const TagToken tag = readTag(m_input, at, m_input.size());
        HtmlElement e = elementFromTag(QString::fromLatin1(name), start, tag);
        e.merged = true;
        m_document.elements.append(std::move(e));
        seen(tag.terminated ? tag.end + 1 : m_input.size());
        m_endTagsTo = std::max(m_endTagsTo, m_seen);
    }

    // The tree builder. Where HTML5 looks down the stack of open elements
    // for one of some names, stopping at certain elements, the builder keeps
    // for every name and every kind of stop where on the stack they are, so
    // that each look takes constant time however deep the page nests.

    enum Stop {
        DefaultScope,    // applet, caption, html, table, td, th, marquee, object, template
        ButtonScope,     // the same and button
        ListItemScope,   // the same and ol, ul
        TableScopeStop,  // html, table, template
        AnySpecial,      // a block or the like: an inline end tag goes no further
        SpecialButBlock, // the same but address, div and p: where a list item looks no further
        StopCount,
    };

    static unsigned stopsOf(const QString &name, unsigned flags)
    {
        unsigned stops = 0;
        if (flags & Scope)
            stops |= 1u << DefaultScope | 1u << ButtonScope | 1u << ListItemScope;
        if (name == u"button"_s)
            stops |= 1u << ButtonScope;
        if (name == u"ol"_s || name == u"ul"_s)
            stops |= 1u << ListItemScope;
        if (flags & TableScope)
            stops |= 1u << TableScopeStop;
        if (flags & Special) {
            stops |= 1u << AnySpecial;
            if (name != u"address"_s && name != u"div"_s && name != u"p"_s)
                stops |= 1u << SpecialButBlock;
        }
        return stops;
    }

    void push(qsizetype index, unsigned flags, bool unterminated)
    {
        const QString &name = element(index).name;
        const unsigned stops = stopsOf(name, flags);
        const auto at = qsizetype(m_stack.size());
        m_stack.push_back({index, flags, stops, unterminated});
        m_openByName[name].push_back(at);
        for (int stop = 0; stop < StopCount; ++stop) {
            if (stops & 1u << stop)
                m_stops[size_t(stop)].push_back(at);
        }
        if (flags & Foreign)
            ++m_foreign;
    }

    void pop()
    {
        const Open &open = m_stack.back();
        m_openByName[element(open.element).name].pop_back();
        for (int stop = 0; stop < StopCount; ++stop) {
            if (open.stops & 1u << stop)
                m_stops[size_t(stop)].pop_back();
        }
        if (open.flags & Foreign)
            --m_foreign;
        m_stack.pop_back();
    }

    static bool needsEndTag(const Open &open) { return !(open.flags & (Void | OptionalEnd)); }

    const QString &openName(size_t i) { return element(m_stack[i].element).name; }

    // The index in the stack of the innermost open element named one of
    // names, if no element of the kind of stop lies above it (it may be one).
    qsizetype inScope(std::initializer_list<QStringView> names, Stop stop)
    {
        qsizetype innermost = -1;
        for (const QStringView name : names) {
            const auto open = m_openByName.constFind(name.toString());
            if (open != m_openByName.cend() && !open->empty())
                innermost = std::max(innermost, open->back());
        }
        const std::vector<qsizetype> &stops = m_stops[size_t(stop)];
        return innermost >= 0 && (stops.empty() || innermost >= stops.back()) ? innermost : -1;
    }

    // Closes the open element at index i of the stack and every element
    // inside it; those inside that need an end tag were left unclosed.
    void popTo(qsizetype i)
    {
        while (qsizetype(m_stack.size()) > i + 1) {
            const Open open = m_stack.back();
            if (needsEndTag(open) && !open.unterminated)
                problem(HtmlProblem::Unclosed, element(open.element).name, element(open.element).offset);
            pop();
        }
        if (qsizetype(m_stack.size()) > i)
            pop();
    }

    void openElement(qsizetype index, unsigned flags, bool selfClosing, bool unterminated)
    {
        const QString name = element(index).name;
        if (flags & ClosesP) {
            if (const qsizetype p = inScope({u"p"}, ButtonScope); p >= 0)
                popTo(p);
        }
        if (name == u"li"_s) {
            // An open item of the same kind ends, unless a block other than
            // address, div or p lies between.
            if (const qsizetype item = inScope({u"li"}, SpecialButBlock); item >= 0)
                popTo(item);
        } else if (name == u"dd"_s || name == u"dt"_s) {
            if (const qsizetype item = inScope({u"dd", u"dt"}, SpecialButBlock); item >= 0)
                popTo(item);
        } else if (name == u"td"_s || name == u"th"_s) {
            if (const qsizetype cell = inScope({u"td", u"th"}, TableScopeStop); cell >= 0)
                popTo(cell);
        } else if (name == u"tr"_s) {
            if (const qsizetype row = inScope({u"td", u"th", u"tr"}, TableScopeStop); row >= 0)
                popTo(row);
        } else if (name == u"tbody"_s || name == u"thead"_s || name == u"tfoot"_s) {
            if (const qsizetype part = inScope({u"td", u"th", u"tr", u"tbody", u"thead", u"tfoot"}, TableScopeStop);
                part >= 0)
                popTo(part);
        } else if (name == u"option"_s || name == u"optgroup"_s) {
            if (!m_stack.empty() && openName(m_stack.size() - 1) == u"option"_s)
                pop();
            if (name == u"optgroup"_s && !m_stack.empty() && openName(m_stack.size() - 1) == u"optgroup"_s)
                pop();
        } else if (name == u"a"_s) {
            // A link inside a link: the outer one ends here, unclosed.
            if (const qsizetype a = inScope({u"a"}, DefaultScope); a >= 0) {
                const qsizetype outer = m_stack[size_t(a)].element;
                popTo(a);
                problem(HtmlProblem::Unclosed, u"a"_s, element(outer).offset);
            }
        } else if ((flags & Heading) && !m_stack.empty() && (m_stack.back().flags & Heading)) {
            // A heading inside a heading: the outer one ends here, unclosed.
            const qsizetype outer = m_stack.back().element;
            popTo(qsizetype(m_stack.size()) - 1);
            problem(HtmlProblem::Unclosed, element(outer).name, element(outer).offset);
        }
        if (flags & Void)
            return;
        if (selfClosing && ((flags & Foreign) || m_foreign > 0))
            return;
        push(index, flags, unterminated);
    }

    void closeElement(const QString &name, qsizetype offset)
    {
        const unsigned flags = flagsOf(name);
        if (name == u"html"_s || name == u"head"_s || name == u"body"_s || (flags & Void))
            return; // harmless: browsers drop them
        qsizetype found = -1;
        if (name == u"p"_s)
            found = inScope({name}, ButtonScope);
        else if (name == u"li"_s)
            found = inScope({name}, ListItemScope);
        else if (name == u"td"_s || name == u"th"_s || name == u"tr"_s || name == u"tbody"_s || name == u"thead"_s
                 || name == u"tfoot"_s || name == u"table"_s || name == u"caption"_s)
            found = inScope({name}, TableScopeStop);
        else if (flags & Special)
            found = inScope({name}, DefaultScope);
        else // an inline element: its end tag does not reach past a block
            found = inScope({name}, AnySpecial);
        if (found < 0) {
            problem(HtmlProblem::StrayEndTag, name, offset);
            return;
        }
        popTo(found);
    }

    const SourceText &m_source;
    const QByteArray m_input;
    htmlParserCtxtPtr m_context = nullptr;
    HtmlDocument m_document;
    std::vector<Open> m_stack;
    QHash<QString, std::vector<qsizetype>> m_openByName; // where on the stack, innermost last
    std::array<std::vector<qsizetype>, StopCount> m_stops;
    qsizetype m_seen = 0;      // bytes before this were read as something other than an end tag
    qsizetype m_endTagsTo = 0; // end tags before this were taken
    int m_mergedTags = 0;
    int m_foreign = 0; // open svg and math elements
    bool m_stopped = false;
};

} // namespace

HtmlDocument parseHtml(const SourceText &source)
{
    return Parser(source).run();
}

qsizetype HtmlAttribute::offsetInValue(qsizetype i) const
{
    if (valueOffsets.isEmpty())
        return valueOffset + std::clamp(i, qsizetype(0), valueLength);
    return valueOffsets.at(std::clamp(i, qsizetype(0), valueOffsets.size() - 1));
}

const HtmlAttribute *HtmlElement::attribute(QStringView attributeName) const
{
    for (const HtmlAttribute &a : attributes) {
        if (a.name == attributeName)
            return &a;
    }
    return nullptr;
}

QString decodeCharacterReferences(QStringView text, QList<qsizetype> *offsets)
{
    QString out;
    out.reserve(text.size());
    if (offsets) {
        offsets->clear();
        offsets->reserve(text.size() + 1);
    }
    // Every character appended since the last call came from the text at from.
    const auto mark = [&](qsizetype from) {
        if (offsets) {
            while (offsets->size() < out.size())
                offsets->append(from);
        }
    };
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype start = i;
        if (text[i] != u'&') {
            out.append(text[i++]);
            mark(start);
            continue;
        }
        qsizetype j = i + 1;
        if (j < text.size() && text[j] == u'#') {
            ++j;
            const bool hex = j < text.size() && (text[j] == u'x' || text[j] == u'X');
            if (hex)
                ++j;
            const qsizetype digits = j;
            char32_t value = 0;
            for (int digit; j < text.size() && (digit = digitValue(text[j], hex)) >= 0; ++j) {
                if (value <= 0x10FFFF) // beyond stays beyond, without overflowing
                    value = value * (hex ? 16 : 10) + char32_t(digit);
            }
            if (j == digits) { // "&#" without digits stays as written
                out.append(text[i++]);
                mark(start);
                continue;
            }
            if (j < text.size() && text[j] == u';')
                ++j;
            appendCodePoint(out, value);
            mark(start);
            i = j;
            continue;
        }
        while (j < text.size() && j - i <= 32 && text[j] < u'\x80' && text[j].isLetterOrNumber())
            ++j;
        if (j < text.size() && text[j] == u';' && j > i + 1) {
            const QByteArray name = text.sliced(i + 1, j - i - 1).toLatin1();
            char32_t value = 0;
            if (const htmlEntityDesc *entity = htmlEntityLookup(reinterpret_cast<const xmlChar *>(name.constData())))
                value = entity->value;
            for (const Named &extra : extraReferences) {
                if (!value && name == extra.name)
                    value = extra.value;
            }
            if (value) {
                appendCodePoint(out, value);
                mark(start);
                i = j + 1;
                continue;
            }
        }
        out.append(text[i++]);
        mark(start);
    }
    if (offsets)
        offsets->append(text.size());
    return out;
}

} // namespace orv::check
