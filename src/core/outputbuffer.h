#pragma once

#include "core/moduleentry.h"

#include <QString>

#include <optional>

namespace orv {

// The hidden text that hands the last fragment or summary on to the module
// list and the clipboard. Kept as a plain string so CR LF stays as set. When a
// page's generation put the text there, the buffer also knows that source, so
// that an entry added from it can be edited later.
class OutputBuffer {
public:
    const QString &text() const { return m_text; }
    const std::optional<EntrySource> &source() const { return m_source; }

    // Any text: a summary, or whatever else has no page behind it.
    void setText(const QString &text)
    {
        m_text = text;
        m_source.reset();
    }
    // A page's fragment and the page, fields and metrics that made it.
    void setFragment(const QString &text, const EntrySource &source)
    {
        m_text = text;
        m_source = source;
    }
    void clear() { setText({}); }
    bool isEmpty() const { return m_text.isEmpty(); }

    // Adds S as a line: S and CR LF when the text is empty or already ends
    // with CR LF, otherwise CR LF and then S.
    void appendLine(const QString &line);

private:
    QString m_text;
    std::optional<EntrySource> m_source;
};

} // namespace orv
