#pragma once

#include <QElapsedTimer>
#include <QWebEnginePage>
#include <QWidget>

#include <functional>

namespace orv {

// The preview's page. The program's own loads show in the view, and the
// built-in pages link to each other there; a link the user follows in a
// preview (the modules write target="_blank") opens in the default browser
// instead, and nothing else (scripts, redirects, forms, history) moves the
// view away from the page it shows. Only web and mail addresses go out, and
// only right after the user's click or key on the view: a script's
// navigation opens nothing.
class PreviewPage : public QWebEnginePage {
    Q_OBJECT

public:
    // A page for this view, watching the user's input on it.
    explicit PreviewPage(QWidget *view);

    // Test seam: what opens an address outside; the desktop's default
    // browser (QDesktopServices::openUrl) unless set.
    using UrlOpener = std::function<void(const QUrl &)>;
    void setUrlOpener(UrlOpener opener);

    // Hands an address the user followed to the opener when it is a web or
    // mail address; other schemes (local files, programs) are dropped.
    void openOutside(const QUrl &url);
    bool followsUserInput() const;

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(QObject *object);

    UrlOpener m_opener;
    QElapsedTimer m_lastInput;
};

} // namespace orv
