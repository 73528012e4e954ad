#include "pagerenderer.h"

#include "core/failure.h"
#include "pagescripts.h"

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
    Run(PageRenderer *owner, const PageSource &source, const RenderOptions &options);
    ~Run();

    void begin();

private:
    using Callback = std::function<void(const QJsonObject &)>;

    void runScript(const QString &script, Callback callback);
    void onLoaded(bool ok, const QString &error);
    void pollPictures(const QJsonObject &state);
    void measure();
    void onMeasured(const QJsonObject &result);
    void startCapture();
    void captureStretch();
    void waitForFrame(int scrollY, int firstRow, int attempt);
    bool settled(int attempt);
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
    QImage m_lastFrame;   // the frame the settling compares with
    int m_stillSince = 0; // the attempt since which the frame stays the same
    int m_shownAt = -1;   // the attempt that first showed the marker
    QTimer m_pictureDeadline;
    bool m_loadDone = false;
    int m_nextTicket = 0;
    std::map<int, Callback> m_callbacks;

    int m_viewportHeight = 1;
    int m_measureAttempts = 0;
    int m_height = 0;
    int m_nextRow = 0;
    int m_stretch = 0;
    RenderedPage m_page;
};

PageRenderer::Run::Run(PageRenderer *owner, const PageSource &source, const RenderOptions &options)
    : m_owner(owner)
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
    m_pictureDeadline.setSingleShot(true);
    QObject::connect(&m_pictureDeadline, &QTimer::timeout, &m_bridge, [this] {
        if (!m_loadDone)
            QMetaObject::invokeMethod(m_view.get(), "stop");
    });
    m_pictureDeadline.start(std::max(0, m_options.pictureTimeoutMs));
    m_view->setProperty("url", QUrl::fromLocalFile(path));
}

void PageRenderer::Run::runScript(const QString &script, Callback callback)
{
    const int ticket = m_nextTicket++;
    m_callbacks.emplace(ticket, std::move(callback));
    QMetaObject::invokeMethod(m_view.get(), "runScript", Q_ARG(QVariant, ticket), Q_ARG(QVariant, script));
}

void PageRenderer::Run::onLoaded(bool ok, const QString &error)
{
    if (m_loadDone)
        return;
    m_loadDone = true;
    if (!ok)
        return fail(u"The page could not be loaded: "_s + error);
    runScript(QString::fromUtf16(scripts::checkPictures), [this](const QJsonObject &state) { pollPictures(state); });
}

void PageRenderer::Run::pollPictures(const QJsonObject &state)
{
    const bool expired = !m_pictureDeadline.isActive();
    if (state.value(u"pending"_s).toInt() > 0 && !expired) {
        QTimer::singleShot(50, &m_bridge, [this] {
            runScript(QString::fromUtf16(scripts::pictureProgress),
                      [this](const QJsonObject &next) { pollPictures(next); });
        });
        return;
    }
    m_pictureDeadline.stop();
    m_page.failedPictures = uniqueStrings(state.value(u"failed"_s).toArray());
    for (const QString &url : uniqueStrings(state.value(u"waiting"_s).toArray())) {
        if (!m_page.failedPictures.contains(url))
            m_page.failedPictures.append(url);
    }
    measure();
}

void PageRenderer::Run::measure()
{
    runScript(QString::fromUtf16(scripts::measure), [this](const QJsonObject &result) { onMeasured(result); });
}

void PageRenderer::Run::onMeasured(const QJsonObject &result)
{
    // The engine takes a new viewport size a moment after the view's.
    if (result.value(u"innerHeight"_s).toInt() != m_viewportHeight) {
        if (++m_measureAttempts > m_options.frameTimeoutMs / pollMs)
            return fail(u"The browser engine did not take the page width in time"_s);
        QTimer::singleShot(pollMs, &m_bridge, [this] { measure(); });
        return;
    }
    m_measureAttempts = 0;
    const int height = std::max(1, result.value(u"height"_s).toInt());
    if (m_height == 0) {
        // The one-row measure: now the capture viewport, then measure again on it.
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
    const QJsonArray spans = result.value(u"spans"_s).toArray();
    m_page.entries.clear();
    for (qsizetype i = 0; i < m_source.entries.size(); ++i) {
        const QJsonArray span = spans.at(i).toArray();
        if (span.size() != 2) {
            m_page.entries.append(EntrySpan{});
            continue;
        }
        const int top = std::clamp(int(std::floor(span.at(0).toDouble())), 0, m_height);
        const int bottom = std::clamp(int(std::ceil(span.at(1).toDouble())), top, m_height);
        m_page.entries.append(EntrySpan{top, bottom});
    }
    startCapture();
}

void PageRenderer::Run::startCapture()
{
    m_page.image = QImage(m_source.pageWidth, m_height, QImage::Format_RGB32);
    if (m_page.image.isNull())
        return fail(u"Not enough memory for a page of %1 x %2 pixels"_s.arg(m_source.pageWidth).arg(m_height));
    runScript(QString::fromUtf16(scripts::addFrameMarker).arg(m_height), [this](const QJsonObject &) {
        m_nextRow = 0;
        m_stretch = 0;
        captureStretch();
    });
}

void PageRenderer::Run::captureStretch()
{
    if (m_nextRow >= m_height)
        return finish();
    const int rows = m_viewportHeight - 1;
    const int scrollY = std::min(m_nextRow, m_height - rows);
    const QColor colour = markerColour(++m_stretch);
    const QString script
        = QString::fromUtf16(scripts::scrollTo).arg(scrollY).arg(colour.red()).arg(colour.green()).arg(colour.blue());
    runScript(script, [this, scrollY](const QJsonObject &result) {
        if (result.value(u"scrollY"_s).toInt(-1) != scrollY)
            return fail(u"The page did not scroll to row %1"_s.arg(scrollY));
        waitForFrame(scrollY, m_nextRow, 0);
    });
}

void PageRenderer::Run::waitForFrame(int scrollY, int firstRow, int attempt)
{
    renderFrame();
    const int markerRow = m_viewportHeight - 1;
    const QColor colour = markerColour(m_stretch);
    const bool drawn = m_target.height() == m_viewportHeight && closeTo(m_target.pixel(0, markerRow), colour)
                       && closeTo(m_target.pixel(m_target.width() - 1, markerRow), colour);
    if (!drawn || !settled(attempt)) {
        if (attempt * pollMs > m_options.frameTimeoutMs)
            return fail(u"The browser engine did not draw the page in time"_s);
        QTimer::singleShot(pollMs, &m_bridge,
                           [this, scrollY, firstRow, attempt] { waitForFrame(scrollY, firstRow, attempt + 1); });
        return;
    }
    m_lastFrame = QImage();
    m_shownAt = -1;
    const int rows = std::min(markerRow, m_height - scrollY);
    const qsizetype bytes = qsizetype(m_page.image.width()) * 4;
    for (int row = firstRow - scrollY; row < rows; ++row) {
        const auto *from = reinterpret_cast<const QRgb *>(m_target.constScanLine(row));
        auto *to = reinterpret_cast<QRgb *>(m_page.image.scanLine(scrollY + row));
        std::memcpy(to, from, bytes);
        for (int x = 0; x < m_page.image.width(); ++x)
            to[x] |= 0xff000000u;
    }
    m_nextRow = scrollY + rows;
    captureStretch();
}

bool PageRenderer::Run::settled(int attempt)
{
    if (m_shownAt < 0 || m_lastFrame != m_target) {
        if (m_shownAt < 0)
            m_shownAt = attempt;
        m_lastFrame = m_target.copy();
        m_stillSince = attempt;
    }
    return (attempt - m_stillSince) * pollMs >= settleMs || (attempt - m_shownAt) * pollMs >= settleMaxMs;
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
    // Reported from the event loop, where this run may go; not after a cancel.
    PageRenderer *owner = m_owner;
    QTimer::singleShot(0, owner, [owner, run = this, message] {
        if (owner->m_run.get() != run)
            return;
        owner->m_run.reset();
        emit owner->failed(message);
    });
    m_callbacks.clear();
}

void PageRenderer::Run::finish()
{
    PageRenderer *owner = m_owner;
    QTimer::singleShot(0, owner, [owner, run = this, page = std::move(m_page)] {
        if (owner->m_run.get() != run)
            return;
        owner->m_run.reset();
        emit owner->finished(page);
    });
}

PageRenderer::PageRenderer(QObject *parent)
    : QObject(parent)
{
}

PageRenderer::~PageRenderer() = default;

void PageRenderer::start(const PageSource &source, const RenderOptions &options)
{
    m_run = std::make_unique<Run>(this, source, options);
    m_run->begin();
}

void PageRenderer::cancel()
{
    m_run.reset();
}

bool PageRenderer::isRunning() const
{
    return m_run != nullptr;
}

RenderedPage renderPage(const PageSource &source, const RenderOptions &options)
{
    PageRenderer renderer;
    QEventLoop loop;
    RenderedPage page;
    QString error;
    QObject::connect(&renderer, &PageRenderer::finished, &loop, [&](const RenderedPage &result) {
        page = result;
        loop.quit();
    });
    QObject::connect(&renderer, &PageRenderer::failed, &loop, [&](const QString &message) {
        error = message;
        loop.quit();
    });
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
