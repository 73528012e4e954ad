#pragma once

#include "pagecut.h"

#include <QImage>
#include <QObject>
#include <QStringList>

#include <memory>

namespace orv::render {

// Readies the process for rendering pages; call before the application object
// exists, in the window and the command line alike. The renderer draws through
// the browser engine's software compositor into an off-screen Qt Quick scene
// (no window is ever shown), so this turns the engine's GPU use off and picks
// Qt Quick's software renderer for the whole process; the window's preview
// then draws the same way, pixel for pixel what the export produces.
// With headless set (the command line), the off-screen platform is chosen
// unless QT_QPA_PLATFORM names one: no display is needed. The engine's
// sandbox is turned off when running as root, where it cannot start.
void prepareRenderProcess(bool headless);

// What to render: the module list's entries in order (the page is their
// summary, each code followed by CR LF), or, when entries is empty, one HTML
// text such as the output buffer.
struct PageSource {
    QStringList entries;
    QString html;
    int pageWidth = 750; // the viewport width in pixels: 750 or 790
};

struct RenderOptions {
    int pictureTimeoutMs = 30000; // the time remote pictures get to load, in all
    int frameTimeoutMs = 10000;   // the time the engine gets to draw one stretch
};

struct RenderedPage {
    QImage image;               // pageWidth x full page height, Format_RGB32
    QList<EntrySpan> entries;   // one per source entry; empty for a single HTML text
    QStringList failedPictures; // addresses of pictures that failed or did not load in time
};

// Renders a page with the preview's engine and settings, off screen: remote
// pictures allowed, local files not, UTF-8 by default, no scroll bars, the
// page's body margin set to 0 so that the page width is the viewport width.
// Asynchronous: start() returns at once; finished() or failed() follows from
// the event loop. One page per renderer at a time.
class PageRenderer : public QObject {
    Q_OBJECT
public:
    explicit PageRenderer(QObject *parent = nullptr);
    ~PageRenderer() override;

    void start(const PageSource &source, const RenderOptions &options = {});
    // Stops a running render; neither finished() nor failed() follows.
    void cancel();
    bool isRunning() const;

signals:
    void finished(const orv::render::RenderedPage &page);
    void failed(const QString &message);

private:
    class Run;
    std::unique_ptr<Run> m_run;
};

// Renders in a local event loop and returns the page; throws Failure.
RenderedPage renderPage(const PageSource &source, const RenderOptions &options = {});

// The document the renderer loads: the body margin reset, then each entry's
// code after a marker comment and followed by CR LF.
QString pageDocument(const PageSource &source);

} // namespace orv::render
