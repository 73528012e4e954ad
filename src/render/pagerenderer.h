#pragma once

#include "pagelayout.h"

#include <QImage>
#include <QObject>
#include <QStringList>

#include <functional>
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

// Renders a page with the preview's engine and settings, off screen: remote
// pictures allowed, local files not, UTF-8 by default, no scroll bars, the
// page's body margin set to 0 so that the page width is the viewport width.
//
// The page is drawn in stretches of at most 8000 rows, handed on as they are
// drawn, so that nothing holds the whole page. Before each stretch, and once
// after the last, the layout is measured again (waiting for pictures that
// began to load meanwhile, within the picture time): when the height or an
// entry's edges or a link's box moved, every stretch so far is void and a new
// pass begins.
// Content with position:fixed is drawn once, where a viewport as tall as the
// page shows it, and sticky content where it lies in the page.
//
// Asynchronous: start() returns at once; the signals follow from the event
// loop, in this order: picturesFailed() (when some did not load, then the
// renderer waits for proceed() or cancel()), then per pass passStarted() and
// its stretches, then finished() or failed(). One page per renderer at a time.
class PageRenderer : public QObject {
    Q_OBJECT
public:
    explicit PageRenderer(QObject *parent = nullptr);
    ~PageRenderer() override;

    void start(const PageSource &source, const RenderOptions &options = {});
    // After picturesFailed(): goes on without those pictures.
    void proceed();
    // Stops a running render; nothing follows.
    void cancel();
    bool isRunning() const;
    // While open() returns false, the next stretch waits (the consumer is
    // still busy with the stretches before); the wait counts against no limit.
    void setStretchGate(std::function<bool()> open);

signals:
    // Pictures that did not load (or not in time) and were not reported
    // before; also at the end, for pictures that failed while drawing.
    void picturesFailed(const QStringList &addresses);
    // A pass over the page begins; the stretches of an earlier pass are void.
    void passStarted(const orv::render::PageLayout &layout);
    // The next rows of the pass, in order and without a gap.
    void stretchDrawn(const orv::render::PageStretch &stretch);
    // The last pass covered the page; failedPictures: all that did not load.
    void finished(const QStringList &failedPictures);
    void failed(const QString &message);

private:
    class Run;
    std::unique_ptr<Run> m_run;
    quint64 m_runCount = 0;
    std::function<bool()> m_gate;
};

// A page drawn whole into one image, for pages of modest height (tests,
// comparisons); exports go stretch by stretch.
struct RenderedPage {
    QImage image;                // pageWidth x full page height, Format_RGB32
    QList<EntrySpan> entries;    // one per source entry; empty for a single HTML text
    QList<check::LinkBox> links; // as PageLayout::links
    QStringList failedPictures;  // addresses of pictures that failed or did not load in time

    PageLayout layout() const { return {image.width(), image.height(), entries, links}; }
};

// Renders in a local event loop and returns the page, failed pictures and
// all; throws Failure.
RenderedPage renderPage(const PageSource &source, const RenderOptions &options = {});

// The document the renderer loads: the body margin reset, then each entry's
// code after a marker comment and followed by CR LF.
QString pageDocument(const PageSource &source);

} // namespace orv::render
