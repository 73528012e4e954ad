#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace orv::check {

// A place in the checked text as the user sees it: 1-based line and column,
// columns counted in the text's UTF-16 units (as a text cursor counts them).
// CR LF, LF and a lone CR each end a line.
struct TextPosition {
    int line = 1;
    int column = 1;
    bool operator==(const TextPosition &) const = default;
};

// The checked text with its UTF-8 form for the parser and the maps back:
// from a byte of the UTF-8 form to the offset in the text, and from an
// offset to line and column. Both maps take constant or logarithmic time,
// so that mapping every element of a large page stays linear.
class SourceText {
public:
    explicit SourceText(const QString &text);

    const QString &text() const { return m_text; }
    // The text as UTF-8. A character U+0000 and a lone surrogate become
    // U+FFFD, so that the parser never meets a NUL byte or invalid UTF-8;
    // each still maps back to its one unit of the text.
    const QByteArray &utf8() const { return m_utf8; }

    // The offset in the text of the character the byte belongs to; the end
    // of the text for a byte at or past the end of the UTF-8 form.
    qsizetype offsetAtByte(qsizetype byte) const;

    TextPosition position(qsizetype offset) const;

private:
    QString m_text;
    QByteArray m_utf8;
    // For every block of blockBytes bytes, the first character that starts
    // in or after it: its byte and its offset in the text.
    struct Checkpoint {
        qsizetype byte;
        qsizetype offset;
    };
    std::vector<Checkpoint> m_checkpoints;
    std::vector<qsizetype> m_lineStarts;
};

} // namespace orv::check
