#include "style.h"

namespace orv::check {

using namespace Qt::StringLiterals;

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool startsComment(QStringView text, qsizetype i)
{
    return text[i] == u'/' && i + 1 < text.size() && text[i + 1] == u'*';
}

// The index just past the comment that starts at i.
qsizetype commentEnd(QStringView text, qsizetype i)
{
    const qsizetype close = text.indexOf(u"*/", i + 2);
    return close < 0 ? text.size() : close + 2;
}

// The index just past the quoted string that starts at i; a backslash
// escapes the next character.
qsizetype quoteEnd(QStringView text, qsizetype i)
{
    const QChar quote = text[i];
    for (qsizetype j = i + 1; j < text.size(); ++j) {
        if (text[j] == u'\\')
            ++j;
        else if (text[j] == quote)
            return j + 1;
    }
    return text.size();
}

// Skips blanks and comments from i, up to end.
qsizetype skipBlanks(QStringView text, qsizetype i, qsizetype end)
{
    while (i < end) {
        if (isBlank(text[i]))
            ++i;
        else if (startsComment(text, i))
            i = std::min(commentEnd(text, i), end);
        else
            break;
    }
    return i;
}

// The end of the text between from and end without trailing blanks and comments.
qsizetype trimmedEnd(QStringView text, qsizetype from, qsizetype end)
{
    qsizetype last = from;
    for (qsizetype i = from; i < end;) {
        if (startsComment(text, i)) {
            i = std::min(commentEnd(text, i), end);
        } else if (isBlank(text[i])) {
            ++i;
        } else if (text[i] == u'"' || text[i] == u'\'') {
            i = std::min(quoteEnd(text, i), end);
            last = i;
        } else {
            last = ++i;
        }
    }
    return last;
}

void addDeclaration(QList<StyleDeclaration> &out, QStringView style, qsizetype from, qsizetype colon, qsizetype end)
{
    if (colon < 0)
        return;
    StyleDeclaration d;
    d.propertyOffset = skipBlanks(style, from, colon);
    d.property = styleKeyword(style.sliced(d.propertyOffset, colon - d.propertyOffset));
    if (d.property.isEmpty())
        return;
    d.valueOffset = skipBlanks(style, colon + 1, end);
    qsizetype valueEnd = trimmedEnd(style, d.valueOffset, end);
    // "!important", perhaps written "! important", ends the value.
    const QStringView value = style.sliced(d.valueOffset, valueEnd - d.valueOffset);
    qsizetype bang = -1;
    for (qsizetype at = findInStyle(value, u"!"); at >= 0; at = findInStyle(value, u"!", at + 1))
        bang = at;
    if (bang >= 0 && styleKeyword(value.sliced(bang)) == u"!important"_s) {
        d.important = true;
        valueEnd = trimmedEnd(style, d.valueOffset, d.valueOffset + bang);
    }
    d.value = style.sliced(d.valueOffset, valueEnd - d.valueOffset).toString();
    out.append(d);
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// The escape whose backslash is at i: the character it stands for, and end
// past it ("\65 " is 'e' with its blank, "\(" is '('). False for a backslash
// that escapes nothing: one before a line break or at the end.
bool readEscape(QStringView style, qsizetype i, char32_t *c, qsizetype *end)
{
    qsizetype j = i + 1;
    if (j >= style.size() || style[j] == u'\n' || style[j] == u'\r' || style[j] == u'\f')
        return false;
    char32_t value = 0;
    int digit = 0;
    for (int digits = 0; j < style.size() && digits < 6 && (digit = hexValue(style[j])) >= 0; ++j, ++digits)
        value = value * 16 + char32_t(digit);
    if (j == i + 1) {
        *c = style[j].unicode();
        *end = j + 1;
        return true;
    }
    if (style.sliced(j).startsWith(u"\r\n"))
        j += 2;
    else if (j < style.size() && isBlank(style[j]))
        ++j;
    *c = value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF) ? 0xFFFD : value;
    *end = j;
    return true;
}

} // namespace

StyleText::StyleText(QStringView style)
{
    if (!style.contains(u'\\') && !style.contains(u"/*")) {
        text = style.toString();
        return;
    }
    text.reserve(style.size());
    offsets.reserve(style.size() + 1);
    QChar quote; // of the string the text stands in, if any
    for (qsizetype i = 0; i < style.size();) {
        const qsizetype start = i;
        char32_t c = style[i].unicode();
        if (quote.isNull() && startsComment(style, i)) {
            i = commentEnd(style, i);
            continue;
        }
        qsizetype end = i + 1;
        if (c == u'\\' && readEscape(style, i, &c, &end)) {
            if (c < 0x20 || c == u'"' || c == u'\'' || c == u'\\') {
                for (; i < end; ++i) {
                    text.append(style[i]);
                    offsets.append(i);
                }
                continue;
            }
            if (c >= 0x10000) {
                text.append(QChar(QChar::highSurrogate(c)));
                c = QChar::lowSurrogate(c);
                offsets.append(start);
            }
            text.append(QChar(char16_t(c)));
            offsets.append(start);
            i = end;
            continue;
        }
        if (quote.isNull() && (c == u'"' || c == u'\''))
            quote = QChar(char16_t(c));
        else if (c == quote.unicode())
            quote = QChar();
        text.append(style[i]);
        offsets.append(start);
        ++i;
    }
    offsets.append(style.size());
}

QList<StyleDeclaration> splitStyle(QStringView style)
{
    QList<StyleDeclaration> out;
    qsizetype from = 0;
    qsizetype colon = -1;
    int depth = 0;
    for (qsizetype i = 0; i < style.size();) {
        const QChar c = style[i];
        if (startsComment(style, i)) {
            i = commentEnd(style, i);
            continue;
        }
        if (c == u'"' || c == u'\'') {
            i = quoteEnd(style, i);
            continue;
        }
        if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            depth = std::max(0, depth - 1);
        } else if (depth == 0 && c == u':' && colon < 0) {
            colon = i;
        } else if (depth == 0 && c == u';') {
            addDeclaration(out, style, from, colon, i);
            from = i + 1;
            colon = -1;
        }
        ++i;
    }
    addDeclaration(out, style, from, colon, style.size());
    return out;
}

QString styleKeyword(QStringView value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size();) {
        if (startsComment(value, i)) {
            i = commentEnd(value, i);
        } else if (isBlank(value[i])) {
            ++i;
        } else {
            out.append(value[i].toLower());
            ++i;
        }
    }
    return out;
}

qsizetype findInStyle(QStringView text, QStringView needle, qsizetype from)
{
    for (qsizetype i = std::max(from, qsizetype(0)); i < text.size();) {
        if (startsComment(text, i)) {
            i = commentEnd(text, i);
        } else if (text[i] == u'"' || text[i] == u'\'') {
            i = quoteEnd(text, i);
        } else if (text.sliced(i).startsWith(needle, Qt::CaseInsensitive)) {
            return i;
        } else {
            ++i;
        }
    }
    return -1;
}

QList<StyleUrl> styleUrls(QStringView value)
{
    QList<StyleUrl> urls;
    for (qsizetype at = findInStyle(value, u"url("); at >= 0; at = findInStyle(value, u"url(", at + 4)) {
        // Part of a longer name, such as "my-url(": not a url.
        if (at > 0 && (value[at - 1].isLetterOrNumber() || value[at - 1] == u'-' || value[at - 1] == u'_'))
            continue;
        const qsizetype open = at + 4;
        qsizetype start = open;
        while (start < value.size() && isBlank(value[start]))
            ++start;
        StyleUrl url;
        url.offset = at;
        if (start < value.size() && (value[start] == u'"' || value[start] == u'\'')) {
            const qsizetype end = quoteEnd(value, start);
            url.addressOffset = start + 1;
            const qsizetype addressEnd = end > start + 1 && value[end - 1] == value[start] ? end - 1 : end;
            url.address = value.sliced(start + 1, addressEnd - start - 1).toString();
        } else {
            qsizetype end = value.indexOf(u')', start);
            if (end < 0)
                end = value.size();
            qsizetype last = end;
            while (last > start && isBlank(value[last - 1]))
                --last;
            url.addressOffset = start;
            url.address = value.sliced(start, last - start).toString();
        }
        urls.append(url);
    }
    return urls;
}

std::optional<double> pixelLength(QStringView value)
{
    QString keyword = styleKeyword(value);
    if (keyword.endsWith(u"px"_s))
        keyword.chop(2);
    if (keyword.isEmpty())
        return std::nullopt;
    for (const QChar c : std::as_const(keyword)) {
        if (!(c.isDigit() && c < u'\x80') && c != u'.' && c != u'+')
            return std::nullopt;
    }
    bool ok = false;
    const double length = keyword.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return length;
}

} // namespace orv::check
