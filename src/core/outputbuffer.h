#pragma once

#include <QString>

namespace orv {

// The hidden text that hands the last fragment or summary on to the module
// list and the clipboard. Kept as a plain string so CR LF stays as set.
class OutputBuffer {
public:
    const QString &text() const { return m_text; }
    void setText(const QString &text) { m_text = text; }
    void clear() { m_text.clear(); }
    bool isEmpty() const { return m_text.isEmpty(); }

    // Adds S as a line: S and CR LF when the text is empty or already ends
    // with CR LF, otherwise CR LF and then S.
    void appendLine(const QString &line);

private:
    QString m_text;
};

} // namespace orv
