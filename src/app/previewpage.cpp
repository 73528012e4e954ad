#include "previewpage.h"

#include <QChildEvent>
#include <QDesktopServices>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

// What a link with target="_blank" opens: a page that is never shown. It
// hands the address of its first real navigation to the preview and goes.
class NewWindowCatcher : public QWebEnginePage {
public:
    NewWindowCatcher(PreviewPage *preview)
        : QWebEnginePage(preview->profile(), preview)
        , m_preview(preview)
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame) override
    {
        if (isMainFrame && url != QUrl(u"about:blank"_s) && !m_done) {
            m_done = true;
            if (m_preview->followsUserInput())
                m_preview->openOutside(url);
            deleteLater();
        }
        return false;
    }

private:
    PreviewPage *m_preview;
    bool m_done = false;
};

// How long after a click or key on the view a navigation counts as the user's.
constexpr qint64 userInputWindowMs = 1500;

bool sameDocument(const QUrl &a, const QUrl &b)
{
    return a.adjusted(QUrl::RemoveFragment) == b.adjusted(QUrl::RemoveFragment);
}

} // namespace

PreviewPage::PreviewPage(QWidget *view)
    : QWebEnginePage(view)
{
    watch(view);
}

void PreviewPage::watch(QObject *object)
{
    object->installEventFilter(this);
    for (QObject *child : object->children()) {
        if (child->isWidgetType())
            watch(child);
    }
}

// The engine reports a script's navigation as a link click, too; only one that
// follows the user's click or key on the view is the user's.
bool PreviewPage::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        if (QObject *child = static_cast<QChildEvent *>(event)->child(); child->isWidgetType())
            watch(child);
        break;
    case QEvent::MouseButtonRelease:
    case QEvent::KeyPress:
        m_lastInput.start();
        break;
    default:
        break;
    }
    return QWebEnginePage::eventFilter(watched, event);
}

bool PreviewPage::followsUserInput() const
{
    return m_lastInput.isValid() && m_lastInput.elapsed() < userInputWindowMs;
}

void PreviewPage::setUrlOpener(UrlOpener opener)
{
    m_opener = std::move(opener);
}

void PreviewPage::openOutside(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme != u"http"_s && scheme != u"https"_s && scheme != u"mailto"_s)
        return;
    if (m_opener)
        m_opener(url);
    else
        QDesktopServices::openUrl(url);
}

bool PreviewPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    // Frames inside the page are part of what it shows.
    if (!isMainFrame)
        return true;
    switch (type) {
    case NavigationTypeTyped: // the program's own loads
    case NavigationTypeReload:
        return true;
    case NavigationTypeLinkClicked:
    case NavigationTypeFormSubmitted:
        // The built-in pages link to each other; a jump within the page stays.
        if (url.scheme() == u"qrc"_s || sameDocument(url, this->url()))
            return true;
        if (followsUserInput())
            openOutside(url);
        return false;
    case NavigationTypeBackForward:
        return url.scheme() == u"qrc"_s || url.isLocalFile();
    case NavigationTypeRedirect:
        // A web page the program opened may be redirected by its server; the
        // preview and the built-in pages are never moved by a script.
        if (!this->url().isLocalFile() && this->url().scheme() != u"qrc"_s)
            return true;
        return sameDocument(url, this->url());
    case NavigationTypeOther:
        return sameDocument(url, this->url());
    }
    return false;
}

QWebEnginePage *PreviewPage::createWindow(WebWindowType)
{
    return new NewWindowCatcher(this);
}

} // namespace orv
