#include "pagerenderer.h"

#include "core/failure.h"
#include "linkboxes.h"
#include "pagescripts.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickRenderControl>
#include <QQuickRenderTarget>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <QtWebEngineQuick>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace orv::render {

using namespace Qt::StringLiterals;

namespace {

// The engine draws at most this many rows at once; taller pages are drawn in
// stretches by scrolling (it stops drawing somewhere above 16,000 rows).
constexpr int maxViewportHeight = 8000;
constexpr int maxPageWidth = 4000;
constexpr int pollMs = 10;
// Once a stretch shows its marker, the frame is taken when it has stayed the
// same this long: on a busy machine the engine may still be drawing parts of
// it. A page that never keeps still (an animation) is taken after settleMaxMs.
constexpr int settleMs = 60;
constexpr int settleMaxMs = 1500;
// A page whose layout keeps moving while it is drawn is given up after this
// many passes.
constexpr int maxPasses = 5;

// The view: the preview's settings, and a bridge for scripts' results and the
// end of loading, which C++ cannot take from the view's own signals.
constexpr auto viewQml = R"qml(
import QtQuick
import QtWebEngine

WebEngineView {
    id: view
    signal loadDone(bool ok, string error)
    signal scriptDone(int ticket, string json)
    function runScript(ticket, script) {
        view.runJavaScript(script, function (result) {
            view.scriptDone(ticket, result === undefined || result === null ? "" : String(result))
        })
    }
    settings.localContentCanAccessRemoteUrls: true
    settings.localContentCanAccessFileUrls: false
    settings.defaultTextEncoding: "utf-8"
    settings.showScrollBars: false
    onLoadingChanged: function (info) {
        if (info.status === WebEngineView.LoadSucceededStatus || info.status === WebEngineView.LoadStoppedStatus)
            view.loadDone(true, "")
        else if (info.status === WebEngineView.LoadFailedStatus)
            view.loadDone(false, info.errorString)
    }
}
)qml";

QColor markerColour(int stretch)
{
    // Neighbouring stretches always differ, and none is black (the start).
    return QColor(40 + (stretch * 67) % 200, 200 - (stretch * 29) % 150, 90 + (stretch % 2) * 100);
}

bool closeTo(QRgb pixel, const QColor &colour)
{
    return std::abs(qRed(pixel) - colour.red()) <= 2 && std::abs(qGreen(pixel) - colour.green()) <= 2
           && std::abs(qBlue(pixel) - colour.blue()) <= 2;
}

QStringList uniqueStrings(const QJsonArray &array)
{
    QStringList list;
    for (const QJsonValue &value : array) {
        const QString text = value.toString();
        if (!text.isEmpty() && !list.contains(text))
            list.append(text);
    }
    return list;
}

} // namespace

// Receives the view's QML signals and passes them on as ordinary ones.
class ViewBridge : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

public slots:
    void onLoadDone(bool ok, const QString &error) { emit loadDone(ok, error); }
    void onScriptDone(int ticket, const QString &json) { emit scriptDone(ticket, json); }

signals:
    void loadDone(bool ok, const QString &error);
    void scriptDone(int ticket, const QString &json);
};

// One render: the off-screen scene, the loaded page and the steps in turn.
class PageRenderer::Run {
public:
    Run(PageRenderer *owner, quint64 id, const PageSource &source, const RenderOptions &options);
    ~Run();

    void begin();
    void proceed();

    const quint64 id; // reports of an earlier run are dropped

private:
    using Callback = std::function<void(const QJsonObject &)>;

    void runScript(const QString &script, Callback callback);
    void later(int ms, std::function<void()> step);
    void post(std::function<void(PageRenderer *)> report);
    void onLoaded(bool ok, const QString &error);
    void pollPictures(const QJsonObject &state);
    void report(const QStringList &failed, std::function<void()> next);
    void startPass();
    void measure();
    void onMeasured(const QJsonObject &result);
    QList<EntrySpan> spans(const QJsonObject &result) const;
    QList<check::LinkBox> links(const QJsonObject &result) const;
    void nextStretch();
    void onChecked(const QJsonObject &result);
    void captureStretch();
    void waitForFrame(int scrollY, int firstRow);
    bool settled();
    void resizeViewport(int height);
    void renderFrame();
    void fail(const QString &message);
    void finish();

    PageRenderer *m_owner;
    PageSource m_source;
    RenderOptions m_options;
    QTemporaryDir m_dir;
    QQmlEngine m_engine;
    QQuickRenderControl m_control;
    std::unique_ptr<QQuickWindow> m_window;
    std::unique_ptr<QQuickItem> m_view;
    ViewBridge m_bridge;
    QImage m_target;
    QTimer m_stopLoading;
    QDeadlineTimer m_pictureDeadline;
    bool m_loadDone = false;
    int m_nextTicket = 0;
    std::map<int, Callback> m_callbacks;
    QStringList m_reported; // failed pictures reported so far
    std::function<void()> m_afterProceed;

    QElapsedTimer m_waitClock;  // the measure or frame waited for
    QElapsedTimer m_shownClock; // since the frame first showed the marker
    QElapsedTimer m_stillClock; // since the frame last changed
    size_t m_lastFrame = 0;     // its hash

    int m_passes = 0;
    bool m_pinned = false;
    int m_viewportHeight = 1;
    int m_height = 0;         // the page height of the pass
    int m_measuredHeight = 0; // the height the measure gives on the capture viewport
    PageLayout m_layout;
    int m_nextRow = 0;
    int m_stretch = 0;
};

PageRenderer::Run::Run(PageRenderer *owner, quint64 id, const PageSource &source, const RenderOptions &options)
    : id(id)
    , m_owner(owner)
    , m_source(source)
    , m_options(options)
{
}

PageRenderer::Run::~Run()
{
    m_view.reset();
    m_window.reset();
}

void PageRenderer::Run::begin()
{
    if (m_source.pageWidth <= 0 || m_source.pageWidth > maxPageWidth)
        return fail(u"The page width %1 lies outside 1 to %2 pixels"_s.arg(m_source.pageWidth).arg(maxPageWidth));
    if (QQuickWindow::sceneGraphBackend() != u"software"_s) {
        return fail(u"Rendering needs Qt Quick's software renderer: call "
                    "orv::render::prepareRenderProcess() before the application starts"_s);
    }
    if (!m_dir.isValid())
        return fail(Failure::cannotCreateFile(m_dir.path(), m_dir.errorString()).message());
    const QString path = m_dir.filePath(u"page.html"_s);
    QFile file(path);
    const QByteArray bytes = pageDocument(m_source).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        return fail(Failure::cannotCreateFile(path, file.errorString()).message());
    file.close();

    m_window = std::make_unique<QQuickWindow>(&m_control);
    QQmlComponent component(&m_engine);
    component.setData(QByteArray(viewQml), QUrl());
    m_view.reset(qobject_cast<QQuickItem *>(component.create()));
    if (!m_view)
        return fail(u"The browser engine's view could not be made: "_s + component.errorString());
    m_view->setParentItem(m_window->contentItem());
    QObject::connect(m_view.get(), SIGNAL(loadDone(bool, QString)), &m_bridge, SLOT(onLoadDone(bool, QString)));
    QObject::connect(m_view.get(), SIGNAL(scriptDone(int, QString)), &m_bridge, SLOT(onScriptDone(int, QString)));
    QObject::connect(&m_bridge, &ViewBridge::loadDone, &m_bridge,
                     [this](bool ok, const QString &error) { onLoaded(ok, error); });
    QObject::connect(&m_bridge, &ViewBridge::scriptDone, &m_bridge, [this](int ticket, const QString &json) {
        const auto it = m_callbacks.find(ticket);
        if (it == m_callbacks.end())
            return;
        const Callback callback = std::move(it->second);
        m_callbacks.erase(it);
        callback(QJsonDocument::fromJson(json.toUtf8()).object());
    });

    // Measured on a one-row viewport first, so that the page's height is its content's.
    resizeViewport(1);
    m_pictureDeadline.setRemainingTime(std::max(0, m_options.pictureTimeoutMs));
    m_stopLoading.setSingleShot(true);
    QObject::connect(&m_stopLoading, &QTimer::timeout, &m_bridge, [this] {
        if (!m_loadDone)
            QMetaObject::invokeMethod(m_view.get(), "stop");
    });
    m_stopLoading.start(std::max(0, m_options.pictureTimeoutMs));
    m_view->setProperty("url", QUrl::fromLocalFile(path));
}

void PageRenderer::Run::runScript(const QString &script, Callback callback)
{
    const int ticket = m_nextTicket++;
    m_callbacks.emplace(ticket, std::move(callback));
    QMetaObject::invokeMethod(m_view.get(), "runScript", Q_ARG(QVariant, ticket), Q_ARG(QVariant, script));
}

void PageRenderer::Run::later(int ms, std::function<void()> step)
{
    QTimer::singleShot(ms, &m_bridge, std::move(step));
}

void PageRenderer::Run::post(std::function<void(PageRenderer *)> report)
{
    // Reported from the event loop, where this run may end; nothing of a
    // cancelled run is reported.
    PageRenderer *owner = m_owner;
    QTimer::singleShot(0, owner, [owner, id = id, report = std::move(report)] {
        if (owner->m_run && owner->m_run->id == id)
            report(owner);
    });
}

void PageRenderer::Run::onLoaded(bool ok, const QString &error)
{
    if (m_loadDone)
        return;
    m_loadDone = true;
    m_stopLoading.stop();
    if (!ok)
        return fail(u"The page could not be loaded: "_s + error);
    runScript(QString::fromUtf16(scripts::checkPictures), [this](const QJsonObject &state) { pollPictures(state); });
}

void PageRenderer::Run::pollPictures(const QJsonObject &state)
{
    if (state.value(u"pending"_s).toInt() > 0 && !m_pictureDeadline.hasExpired()) {
        later(50, [this] {
            runScript(QString::fromUtf16(scripts::pictureProgress),
                      [this](const QJsonObject &next) { pollPictures(next); });
        });
        return;
    }
    QStringList failed = uniqueStrings(state.value(u"failed"_s).toArray());
    for (const QString &url : uniqueStrings(state.value(u"waiting"_s).toArray())) {
        if (!failed.contains(url))
            failed.append(url);
    }
    report(failed, [this] { startPass(); });
}

void PageRenderer::Run::report(const QStringList &failed, std::function<void()> next)
{
    QStringList fresh;
    for (const QString &url : failed) {
        if (!m_reported.contains(url))
            fresh.append(url);
    }
    if (fresh.isEmpty())
        return next();
    m_reported.append(fresh);
    m_afterProceed = std::move(next);
    post([fresh](PageRenderer *owner) { emit owner->picturesFailed(fresh); });
}

void PageRenderer::Run::proceed()
{
    if (std::function<void()> next = std::exchange(m_afterProceed, nullptr))
        next();
}

void PageRenderer::Run::startPass()
{
    if (++m_passes > maxPasses)
        return fail(u"The page kept changing its layout while it was drawn (%1 times)"_s.arg(maxPasses));
    m_height = 0;
    m_pinned = false;
    resizeViewport(1);
    m_waitClock.start();
    measure();
}

void PageRenderer::Run::measure()
{
    runScript(scripts::measureScript(), [this](const QJsonObject &result) { onMeasured(result); });
}

void PageRenderer::Run::onMeasured(const QJsonObject &result)
{
    // The engine takes a new viewport size a moment after the view's.
    if (result.value(u"innerHeight"_s).toInt() != m_viewportHeight) {
        renderFrame();
        if (m_waitClock.hasExpired(m_options.frameTimeoutMs))
            return fail(u"The browser engine did not take the page width in time"_s);
        return later(pollMs, [this] { measure(); });
    }
    m_waitClock.start();
    const int height = std::max(1, result.value(u"height"_s).toInt());
    if (m_height == 0) {
        // On the one-row viewport: fixed content pinned first, then the
        // capture viewport, and measured again on it.
        if (!m_pinned) {
            m_pinned = true;
            return runScript(QString::fromUtf16(scripts::pinFixed), [this](const QJsonObject &) { measure(); });
        }
        m_height = height;
        resizeViewport(std::min(m_height, maxViewportHeight) + 1);
        return measure();
    }
    // The marker row makes the viewport one row taller than the page when the
    // page fits it; a page that grew on the taller viewport is measured anew.
    if (height > m_height + 1) {
        m_height = height;
        resizeViewport(std::min(m_height, maxViewportHeight) + 1);
        return measure();
    }
    m_measuredHeight = height;
    m_layout = PageLayout{m_source.pageWidth, m_height, spans(result), links(result)};
    runScript(QString::fromUtf16(scripts::addFrameMarker).arg(m_height), [this](const QJsonObject &) {
        post([layout = m_layout](PageRenderer *owner) { emit owner->passStarted(layout); });
        m_nextRow = 0;
        nextStretch();
    });
}

QList<EntrySpan> PageRenderer::Run::spans(const QJsonObject &result) const
{
    const QJsonArray spans = result.value(u"spans"_s).toArray();
    QList<EntrySpan> entries;
    for (qsizetype i = 0; i < m_source.entries.size(); ++i) {
        const QJsonArray span = spans.at(i).toArray();
        if (span.size() != 2) {
            entries.append(EntrySpan{});
            continue;
        }
        const int top = std::clamp(int(std::floor(span.at(0).toDouble())), 0, m_height);
        const int bottom = std::clamp(int(std::ceil(span.at(1).toDouble())), top, m_height);
        entries.append(EntrySpan{top, bottom});
    }
    return entries;
}

QList<check::LinkBox> PageRenderer::Run::links(const QJsonObject &result) const
{
    return readLinkBoxes(result.value(u"links"_s).toArray(), m_height);
}

void PageRenderer::Run::nextStretch()
{
    if (m_owner->m_gate && !m_owner->m_gate())
        return later(pollMs, [this] { nextStretch(); });
    // The layout again: pictures that began to load get their time first.
    runScript(scripts::measureScript(), [this](const QJsonObject &result) { onChecked(result); });
}

void PageRenderer::Run::onChecked(const QJsonObject &result)
{
    if (result.value(u"loading"_s).toInt() > 0 && !m_pictureDeadline.hasExpired())
        return later(50, [this] { nextStretch(); });
    if (std::max(1, result.value(u"height"_s).toInt()) != m_measuredHeight || spans(result) != m_layout.entries
        || links(result) != m_layout.links)
        return startPass();
    if (m_nextRow >= m_height) {
        QStringList failed = m_reported;
        for (const QString &url : uniqueStrings(result.value(u"broken"_s).toArray())) {
            if (!failed.contains(url))
                failed.append(url);
        }
        return report(failed, [this] { finish(); });
    }
    captureStretch();
}

void PageRenderer::Run::captureStretch()
{
    const int rows = m_viewportHeight - 1;
    const int scrollY = std::min(m_nextRow, m_height - rows);
    const QColor colour = markerColour(++m_stretch);
    const QString script
        = QString::fromUtf16(scripts::scrollTo).arg(scrollY).arg(colour.red()).arg(colour.green()).arg(colour.blue());
    runScript(script, [this, scrollY](const QJsonObject &result) {
        if (result.value(u"scrollY"_s).toInt(-1) != scrollY)
            return fail(u"The page did not scroll to row %1"_s.arg(scrollY));
        m_waitClock.start();
        m_shownClock.invalidate();
        waitForFrame(scrollY, m_nextRow);
    });
}

void PageRenderer::Run::waitForFrame(int scrollY, int firstRow)
{
    renderFrame();
    const int markerRow = m_viewportHeight - 1;
    const QColor colour = markerColour(m_stretch);
    const bool drawn = m_target.height() == m_viewportHeight && closeTo(m_target.pixel(0, markerRow), colour)
                       && closeTo(m_target.pixel(m_target.width() - 1, markerRow), colour);
    if (!drawn || !settled()) {
        if (m_waitClock.hasExpired(m_options.frameTimeoutMs))
            return fail(u"The browser engine did not draw the page in time"_s);
        return later(pollMs, [this, scrollY, firstRow] { waitForFrame(scrollY, firstRow); });
    }
    const int end = scrollY + std::min(markerRow, m_height - scrollY);
    PageStretch stretch{firstRow, QImage(m_source.pageWidth, end - firstRow, QImage::Format_RGB32)};
    if (stretch.image.isNull())
        return fail(u"Not enough memory for %1 x %2 pixels"_s.arg(m_source.pageWidth).arg(end - firstRow));
    const qsizetype bytes = qsizetype(m_source.pageWidth) * 4;
    for (int row = firstRow; row < end; ++row) {
        const auto *from = reinterpret_cast<const QRgb *>(m_target.constScanLine(row - scrollY));
        auto *to = reinterpret_cast<QRgb *>(stretch.image.scanLine(row - firstRow));
        std::memcpy(to, from, bytes);
        for (int x = 0; x < m_source.pageWidth; ++x)
            to[x] |= 0xff000000u;
    }
    m_nextRow = end;
    post([stretch = std::move(stretch)](PageRenderer *owner) { emit owner->stretchDrawn(stretch); });
    nextStretch();
}

bool PageRenderer::Run::settled()
{
    const size_t frame = qHashBits(m_target.constBits(), size_t(m_target.sizeInBytes()));
    if (!m_shownClock.isValid()) {
        m_shownClock.start();
        m_stillClock.start();
    } else if (frame != m_lastFrame) {
        m_stillClock.start();
    }
    m_lastFrame = frame;
    return m_stillClock.hasExpired(settleMs - 1) || m_shownClock.hasExpired(settleMaxMs - 1);
}

void PageRenderer::Run::resizeViewport(int height)
{
    m_viewportHeight = height;
    const QSize size(m_source.pageWidth, height);
    m_window->resize(size);
    m_window->contentItem()->setSize(size);
    m_view->setSize(size);
    m_target = QImage(size, QImage::Format_ARGB32_Premultiplied);
    m_target.fill(Qt::transparent);
    m_window->setRenderTarget(QQuickRenderTarget::fromPaintDevice(&m_target));
    renderFrame();
}

void PageRenderer::Run::renderFrame()
{
    m_control.polishItems();
    m_control.beginFrame();
    m_control.sync();
    m_control.render();
    m_control.endFrame();
}

void PageRenderer::Run::fail(const QString &message)
{
    m_callbacks.clear();
    post([message](PageRenderer *owner) {
        owner->m_run.reset();
        emit owner->failed(message);
    });
}

void PageRenderer::Run::finish()
{
    post([failed = m_reported](PageRenderer *owner) {
        owner->m_run.reset();
        emit owner->finished(failed);
    });
}

PageRenderer::PageRenderer(QObject *parent)
    : QObject(parent)
{
}

PageRenderer::~PageRenderer() = default;

void PageRenderer::start(const PageSource &source, const RenderOptions &options)
{
    m_run = std::make_unique<Run>(this, ++m_runCount, source, options);
    m_run->begin();
}

void PageRenderer::proceed()
{
    if (m_run)
        m_run->proceed();
}

void PageRenderer::cancel()
{
    m_run.reset();
}

bool PageRenderer::isRunning() const
{
    return m_run != nullptr;
}

void PageRenderer::setStretchGate(std::function<bool()> open)
{
    m_gate = std::move(open);
}

RenderedPage renderPage(const PageSource &source, const RenderOptions &options)
{
    PageRenderer renderer;
    QEventLoop loop;
    RenderedPage page;
    QString error;
    const auto stop = [&](const QString &message) {
        error = message;
        renderer.cancel();
        loop.quit();
    };
    QObject::connect(&renderer, &PageRenderer::picturesFailed, &loop, [&] { renderer.proceed(); });
    QObject::connect(&renderer, &PageRenderer::passStarted, &loop, [&](const PageLayout &layout) {
        page.image = QImage(layout.width, layout.height, QImage::Format_RGB32);
        page.entries = layout.entries;
        page.links = layout.links;
        if (page.image.isNull())
            stop(u"Not enough memory for a page of %1 x %2 pixels"_s.arg(layout.width).arg(layout.height));
    });
    QObject::connect(&renderer, &PageRenderer::stretchDrawn, &loop, [&](const PageStretch &stretch) {
        for (int row = 0; row < stretch.image.height(); ++row)
            std::memcpy(page.image.scanLine(stretch.top + row), stretch.image.constScanLine(row),
                        size_t(stretch.image.bytesPerLine()));
    });
    QObject::connect(&renderer, &PageRenderer::finished, &loop, [&](const QStringList &failed) {
        page.failedPictures = failed;
        loop.quit();
    });
    QObject::connect(&renderer, &PageRenderer::failed, &loop, stop);
    renderer.start(source, options);
    loop.exec();
    if (!error.isEmpty())
        throw Failure(error);
    return page;
}

QString pageDocument(const PageSource &source)
{
    // The platform shows the page from its left edge: no body margin, so that
    // a page of the page width fills the viewport exactly.
    QString document = u"<style>html,body{margin:0;padding:0}</style>"_s;
    if (source.entries.isEmpty())
        return document + source.html;
    for (qsizetype i = 0; i < source.entries.size(); ++i)
        document += u"<!--orv-entry-%1-->"_s.arg(i) + source.entries.at(i) + u"\r\n"_s;
    return document + u"<!--orv-entry-end-->"_s;
}

void prepareRenderProcess(bool headless)
{
#ifdef Q_OS_UNIX
    // The engine's sandbox cannot start as root.
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.split(' ').contains("--disable-gpu"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + " --disable-gpu").trimmed());
    qputenv("QT_QUICK_BACKEND", "software");
    if (headless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QtWebEngineQuick::initialize();
}

} // namespace orv::render

#include "pagerenderer.moc"
