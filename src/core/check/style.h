#pragma once

#include <QList>
#include <QString>

#include <algorithm>
#include <optional>

namespace orv::check {

// An inline style as the rules read it: CSS escapes replaced by the
// characters they stand for ("expr\65ssion(" is "expression(", "url\28" is
// "url(") and comments left out ("expr/**/ession(" is "expression("), outside
// quotes and, for the escapes, inside them. An escaped quote or backslash
// stays as written, so that quotes still pair as they did.
struct StyleText {
    QString text;
    // For each character of text and its end, the offset in the style it came
    // from; empty when text is the style as written.
    QList<qsizetype> offsets;

    explicit StyleText(QStringView style);
    // The offset in the style of the text's character i (i may be its size).
    qsizetype styleOffset(qsizetype i) const
    {
        i = std::clamp(i, qsizetype(0), text.size());
        return offsets.isEmpty() ? i : offsets.at(i);
    }
};

// One declaration of an inline style ("property: value").
struct StyleDeclaration {
    QString property;             // lower case, without blanks and comments
    QString value;                // as written, without surrounding blanks and "!important"
    qsizetype propertyOffset = 0; // in the style text
    qsizetype valueOffset = 0;
    bool important = false;
};

// Splits a style attribute's text at the semicolons that lie outside quotes,
// parentheses and comments. Parts without a colon (outside the same) are no
// declarations and left out.
QList<StyleDeclaration> splitStyle(QStringView style);

// A value reduced for comparing with keywords: lower case, without comments
// and blanks ("Absolute /*x*/" gives "absolute").
QString styleKeyword(QStringView value);

// An address in url(...) of a style value.
struct StyleUrl {
    QString address;             // without quotes and surrounding blanks
    qsizetype offset = 0;        // of "url(" in the value
    qsizetype addressOffset = 0; // of the address in the value
};

// Every url(...) in a value, outside quotes and comments.
QList<StyleUrl> styleUrls(QStringView value);

// Where text holds needle (ASCII, lower case) outside quotes and comments,
// ignoring case; -1 when it does not.
qsizetype findInStyle(QStringView text, QStringView needle, qsizetype from = 0);

// A length in CSS pixels: "750px", "750", "0"; nothing for other units,
// percentages and keywords.
std::optional<double> pixelLength(QStringView value);

} // namespace orv::check
