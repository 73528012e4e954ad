#pragma once

#include "core/check/sourcetext.h"

#include <QList>
#include <QString>

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
    qsizetype offsetInValue(qsizetype i) const;
};

// An element of the page, from a start tag in the text.
struct HtmlElement {
    QString name;          // lower case
    qsizetype offset = 0;  // its '<'
    qsizetype end = 0;     // just past its start tag
    qsizetype parent = -1; // index of the enclosing element, -1 at the top
    // An <html>, <head> or <body> tag inside the page: browsers merge its
    // attributes into the page's own element, so it encloses nothing.
    bool merged = false;
    QList<HtmlAttribute> attributes; // as written; a repeated name only the first time

    const HtmlAttribute *attribute(QStringView attributeName) const;
};

// What the parser found wrong with the markup, as browsers would read it.
struct HtmlProblem {
    enum Kind {
        Unclosed,            // an element that needs an end tag ends without one
        StrayEndTag,         // an end tag that closes nothing
        UnterminatedComment, // "<!--" without "-->": the rest of the page is a comment
        UnterminatedTag,     // a start tag the text ends in
        UnterminatedQuote,   // an attribute value whose quote never closes
        RepeatedAttribute,   // the same attribute twice in one tag: the second is ignored
        TooDeep,             // elements nested over 1,024 deep: the parser stopped there
    };
    Kind kind = Unclosed;
    QString name; // the element's or attribute's name
    qsizetype offset = 0;
    bool operator==(const HtmlProblem &) const = default;
};

// A message of libxml2's parser, where the parser stood when it gave it.
struct HtmlParserMessage {
    int code = 0; // libxml2's xmlParserErrors
    QString message;
    qsizetype offset = 0;
};

struct HtmlDocument {
    QList<HtmlElement> elements; // in the order of their start tags
    QList<HtmlProblem> problems; // in the order of their offsets
    // Everything libxml2 said, for diagnosis; the problems above are what
    // matters to a browser (libxml2 also objects to HTML5 elements, to "&" in
    // addresses and to tags HTML5 lets close implicitly).
    QList<HtmlParserMessage> parserMessages;
};

// Parses the text with libxml2's HTML parser (recovering from errors, with
// no network and no external entities) and reads the elements' structure the
// way an HTML5 browser does, so that the optional end tags of p, li, td and
// the like, or a table inside a link, are no problem.
HtmlDocument parseHtml(const SourceText &source);

// The text with character references (&amp;, &#39;, &#x6A;, &colon;, ...)
// replaced. offsets, when given, receives for each character of the result
// the offset in text of the reference or character it came from, and one
// more entry for the end.
QString decodeCharacterReferences(QStringView text, QList<qsizetype> *offsets = nullptr);

} // namespace orv::check

// Moved in memory as they are, so that long lists grow cheaply.
Q_DECLARE_TYPEINFO(orv::check::HtmlAttribute, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(orv::check::HtmlElement, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(orv::check::HtmlProblem, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(orv::check::HtmlParserMessage, Q_RELOCATABLE_TYPE);
