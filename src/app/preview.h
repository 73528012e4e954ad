#pragma once

#include <QString>

class QWebEngineView;

namespace orv {

// Writes a page to "file.html" in the program's private folder and shows it
// in the embedded browser.
class Preview {
public:
    Preview(QString folder, QWebEngineView *view);

    QString filePath() const;

    // Writes text as UTF-8 (placeholder pictures drawn in) and navigates the
    // browser to it; throws Failure
    // ("Cannot create file ...") and leaves the browser alone when the file
    // cannot be written.
    void show(const QString &text);
    // The text last written to the file.
    const QString &text() const { return m_text; }
    QWebEngineView *view() const { return m_view; }

private:
    QString m_folder;
    QWebEngineView *m_view;
    QString m_text;
};

} // namespace orv
