#pragma once

#include "core/check/sourcetext.h"

#include <QList>
#include <QString>

#include <algorithm>

namespace orv::check {

// One attribute of a start tag as written. Offsets are in the checked text.
struct HtmlAttribute {
    QString name;  // lower case
    QString value; // character references decoded
    qsizetype nameOffset = 0;
    qsizetype valueOffset = 0; // the value's first character, after any quote
    qsizetype valueLength = 0; // characters of the value as written
    bool hasValue = false;
    // For each character of value, its offset in the text; empty when the
    // value is the text as written (no character references).
    QList<qsizetype> valueOffsets;

    // The offset in the text of value's character i (i may be value's size).
    qsizetype offsetInValue(qsizetype i) const
    {
        if (valueOffsets.isEmpty())
            return valueOffset + std::clamp(i, qsizetype(0), valueLength);
        return valueOffsets.at(std::clamp(i, qsizetype(0), valueOffsets.size() - 1));
    }
};

// An element of the page, from a start tag in the text.
struct HtmlElement {
    QString name;          // lower case
    qsizetype offset = 0;  // its '<'
    qsizetype end = 0;     // just past its start tag
    qsizetype parent = -1; // index of the enclosing element, -1 at the top
    // A start tag the browser keeps out of the page's tree: an <html>, <head>
    // or <body> inside the page (its attributes go to the page's own
    // element), a tag where none may stand (a <frame> in the body, a <td>
    // outside a table) or one the text ends in. It encloses nothing.
    bool dropped = false;
    QList<HtmlAttribute> attributes; // as written; a repeated name only the first time

    const HtmlAttribute *attribute(QStringView attributeName) const
    {
        const auto a = std::find_if(attributes.cbegin(), attributes.cend(),
                                    [&](const HtmlAttribute &a) { return a.name == attributeName; });
        return a == attributes.cend() ? nullptr : &*a;
    }
};

// What is wrong with the markup as an HTML5 browser reads it.
struct HtmlProblem {
    enum Kind {
        Unclosed,            // an element that needs an end tag is closed without one
        StrayEndTag,         // an end tag that closes nothing: the browser drops it
        UnterminatedComment, // a comment the text ends in: the rest of the page is a comment
        UnterminatedTag,     // a tag the text ends in: the browser drops it
        UnterminatedQuote,   // an attribute value whose quote never closes
        RepeatedAttribute,   // the same attribute twice in one tag: the second is ignored
        TooDeep,             // elements nested over 1,024 deep: the page was read up to there
    };
    Kind kind = Unclosed;
    QString name; // the element's or attribute's name ("/div" for an end tag)
    qsizetype offset = 0;
    bool operator==(const HtmlProblem &) const = default;
};

struct HtmlDocument {
    QList<HtmlElement> elements; // in the order of their start tags
    QList<HtmlProblem> problems; // in the order of their offsets
};

// Reads the text with an HTML5 parser, the way a browser reads a fragment
// placed in the body of a page, and gives every start tag as an element of
// that tree and what a browser would find wrong.
HtmlDocument parseHtml(const SourceText &source);

// The text of an attribute value with character references (&amp;, &#39;,
// &#x6A;, &colon;, ...) replaced as a browser replaces them. offsets, when
// given, receives for each character of the result the offset in text of the
// reference or character it came from, and one more entry for the end.
QString decodeCharacterReferences(QStringView text, QList<qsizetype> *offsets = nullptr);

} // namespace orv::check

// Moved in memory as they are, so that long lists grow cheaply.
Q_DECLARE_TYPEINFO(orv::check::HtmlAttribute, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(orv::check::HtmlElement, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(orv::check::HtmlProblem, Q_RELOCATABLE_TYPE);
