#include "pagecheckcontroller.h"

#include "app/preview.h"
#include "app/previewlinks.h"
#include "app/progressmeasurer.h"
#include "core/check/picturecheck.h"
#include "core/modulelistmodel.h"
#include "core/summary.h"
#include "core/workspace.h"
#include "fetch/curlmeasurer.h"
#include "modules/pagewidth.h"
#include "widgets/dialogs.h"
#include "widgets/findingsmodel.h"
#include "widgets/findingspanel.h"

#include <QAbstractButton>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <algorithm>

namespace orv {

using namespace Qt::StringLiterals;

struct PageCheckController::CheckedPage {
    int serial = 0;
    QString text;
    int pageWidth = 750;
    QList<check::CheckSegment> segments;
    QList<quint64> entryIds; // per segment, the entry's content id in the module list
    QList<check::Finding> pageFindings;
    std::optional<check::Finding> rendered;
    QList<check::Finding> linkFindings; // links the phone would lose, from the preview's layout
    QList<check::Finding> pictureFindings;
    bool picturesChecked = false;

    QList<check::Finding> findings() const
    {
        QList<check::Finding> all = pageFindings;
        if (rendered)
            all.append(*rendered);
        all += linkFindings + pictureFindings;
        std::stable_sort(all.begin(), all.end(),
                         [](const check::Finding &a, const check::Finding &b) { return a.offset < b.offset; });
        return all;
    }
};

namespace {

int errorCount(const QList<check::Finding> &findings)
{
    return int(std::count_if(findings.cbegin(), findings.cend(),
                             [](const check::Finding &f) { return f.severity == check::Severity::Error; }));
}

// The line holding offset, cut to a readable piece around it.
QString lineAround(const QString &text, qsizetype offset)
{
    constexpr qsizetype before = 60;
    constexpr qsizetype after = 120;
    qsizetype start = offset;
    while (start > 0 && text[start - 1] != u'\n' && text[start - 1] != u'\r')
        --start;
    qsizetype end = offset;
    while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
        ++end;
    const qsizetype from = std::max(start, offset - before);
    const qsizetype to = std::min(end, offset + after);
    return (from > start ? u"…"_s : QString()) + text.sliced(from, to - from) + (to < end ? u"…"_s : QString());
}

} // namespace

PageCheckController::PageCheckController(Workspace *workspace, const Preview *preview, FindingsPanel *panel,
                                         QAbstractButton *badge, QWidget *window)
    : QObject(window)
    , m_workspace(workspace)
    , m_preview(preview)
    , m_window(window)
    , m_panel(panel)
    , m_badge(badge)
    , m_pictureMeasurer(
          std::make_unique<ProgressMeasurer>(std::make_unique<CurlMeasurer>(), window, u"正在检查图片 %1 / %2"_s))
{
    m_badge->hide();
    connect(m_badge, &QAbstractButton::clicked, m_panel, &QWidget::show);
    connect(m_panel, &FindingsPanel::picturesRequested, this, &PageCheckController::checkPictures);
    connect(m_panel, &FindingsPanel::findingSelected, this, &PageCheckController::selectEntryOf);
    connect(m_panel, &FindingsPanel::findingActivated, this, &PageCheckController::showLineOf);
    QWebEngineView *browser = m_preview->view();
    connect(browser, &QWebEngineView::loadStarted, this, [this] { m_previewShows.reset(); });
    connect(browser, &QWebEngineView::loadFinished, this, &PageCheckController::previewLoaded);
    connect(m_workspace, &Workspace::bufferChanged, this, &PageCheckController::bufferChanged);
}

PageCheckController::~PageCheckController() = default;

PageCheckController::CheckedPage PageCheckController::pageOfBuffer() const
{
    const OutputBuffer &buffer = m_workspace->buffer();
    const Shop shop = m_workspace->metrics().shop;
    CheckedPage page;
    page.serial = m_serial + 1;
    page.text = buffer.text();
    page.pageWidth = Metrics::forShop(shop).totalWidth;
    if (const std::optional<EntrySource> &source = buffer.source()) {
        page.pageWidth = pagewidth::fragmentWidth(source->page, Metrics::forShop(shop));
        return page;
    }
    // A summary as 汇总 writes it: checked entry by entry.
    const ModuleListModel &list = *m_workspace->list();
    if (list.count() == 0)
        return page;
    QList<SummarySpan> spans;
    if (summaryText(m_workspace->pageCodes(), &spans) != page.text)
        return page;
    for (int row = 0; row < list.count(); ++row) {
        const ModuleEntry &entry = list.entry(row);
        const int width
            = entry.source ? pagewidth::fragmentWidth(entry.source->page, Metrics::forShop(shop)) : page.pageWidth;
        page.segments.append({spans[row].begin, spans[row].end, entry.number, entry.name, width});
        page.entryIds.append(list.id(row));
    }
    return page;
}

void PageCheckController::checkBuffer()
{
    auto page = std::make_unique<CheckedPage>(pageOfBuffer());
    page->pageFindings = check::checkPage(page->text, page->pageWidth, page->segments);
    m_serial = page->serial;
    m_checked = std::move(page);
    show();
    if (m_previewShows == m_checked->text)
        measureRendering();
}

bool PageCheckController::confirmCopy()
{
    if (!m_checked || m_checked->text != m_workspace->buffer().text()) {
        // Checked quietly: a page without errors is copied as before.
        CheckedPage page = pageOfBuffer();
        if (errorCount(check::checkPage(page.text, page.pageWidth, page.segments)) == 0)
            return true;
        checkBuffer();
    }
    const int errors = errorCount(m_checked->findings());
    if (errors == 0)
        return true;
    show();
    return dialogs::askToCopyAnyway(
        m_window, u"检查发现代码中有 %1 个错误，详见预览区下方的检查结果。仍然复制代码吗？"_s.arg(errors));
}

void PageCheckController::checkPictures()
{
    if (!m_checked)
        return;
    const int serial = m_checked->serial;
    const QList<check::PictureUse> uses
        = check::listPictures(m_checked->text, m_checked->pageWidth, m_checked->segments);
    if (uses.isEmpty()) {
        dialogs::inform(m_window, u"页面中没有图片。"_s);
        return;
    }
    QList<check::Finding> findings;
    try {
        findings = check::measureAndCheckPictures(uses, *m_pictureMeasurer);
    } catch (const Cancelled &) {
        return;
    }
    // The buffer may have changed while the pictures came.
    if (!m_checked || m_checked->serial != serial)
        return;
    m_checked->pictureFindings = findings;
    m_checked->picturesChecked = true;
    show();
}

void PageCheckController::bufferChanged()
{
    if (!m_checked || m_changePending)
        return;
    // Judged once the change is complete: a summary is written entry by entry.
    m_changePending = true;
    QTimer::singleShot(0, this, [this] {
        m_changePending = false;
        if (m_checked && m_checked->text != m_workspace->buffer().text())
            clear();
    });
}

QList<check::Finding> PageCheckController::shownFindings() const
{
    return m_checked ? m_checked->findings() : QList<check::Finding>();
}

void PageCheckController::show()
{
    const QList<check::Finding> findings = m_checked->findings();
    m_panel->showFindings(findings, m_checked->pageWidth, m_checked->picturesChecked);
    m_badge->setText(FindingsModel::countText(findings));
    m_badge->setToolTip(u"检查结果（页面宽 %1 像素）"_s.arg(m_checked->pageWidth));
    m_badge->show();
}

void PageCheckController::clear()
{
    m_checked.reset();
    m_panel->showStale();
    m_badge->hide();
}

void PageCheckController::previewLoaded(bool ok)
{
    if (!ok || m_preview->view()->url() != QUrl::fromLocalFile(m_preview->filePath())) {
        m_previewShows.reset();
        return;
    }
    m_previewShows = m_preview->text();
    if (m_checked && m_previewShows == m_checked->text)
        measureRendering();
}

QString PageCheckController::renderedWidthScript(int pageWidth)
{
    return uR"js((function (width) {
  var html = document.documentElement, body = document.body;
  if (!html || !body)
    return 0;
  var x = window.scrollX, y = window.scrollY;
  var htmlStyle = html.getAttribute('style'), bodyStyle = body.getAttribute('style');
  var scaled = document.createElement('style');
  scaled.textContent = 'img { max-width: 100% !important; }';
  (document.head || html).appendChild(scaled);
  html.style.setProperty('overflow', 'hidden', 'important');
  var properties = { 'width': width + 'px', 'min-width': '0', 'max-width': 'none', 'margin': '0',
                     'padding': '0', 'border': '0', 'overflow': 'hidden', 'box-sizing': 'content-box',
                     'display': 'block' };
  for (var name in properties)
    body.style.setProperty(name, properties[name], 'important');
  var scrollWidth = body.scrollWidth;
  scaled.remove();
  if (htmlStyle === null) html.removeAttribute('style'); else html.setAttribute('style', htmlStyle);
  if (bodyStyle === null) body.removeAttribute('style'); else body.setAttribute('style', bodyStyle);
  window.scrollTo(x, y);
  return scrollWidth;
})(%1))js"_s.arg(pageWidth);
}

void PageCheckController::measureRendering()
{
    const int serial = m_checked->serial;
    const int pageWidth = m_checked->pageWidth;
    const QPointer<PageCheckController> self(this);
    m_preview->view()->page()->runJavaScript(
        renderedWidthScript(pageWidth), QWebEngineScript::ApplicationWorld,
        [self, serial, pageWidth](const QVariant &result) {
            if (!self || !self->m_checked || self->m_checked->serial != serial || !result.isValid())
                return;
            self->m_checked->rendered = check::checkRenderedWidth(result.toInt(), pageWidth);
            self->show();
        });
    measurePreviewLinks(m_preview->view()->page(), this, [this, serial](const QList<check::LinkBox> &links) {
        if (!m_checked || m_checked->serial != serial)
            return;
        m_checked->linkFindings = check::checkLinkBoxes(m_checked->text, m_checked->segments, links);
        show();
    });
}

void PageCheckController::selectEntryOf(int findingRow)
{
    if (!m_checked || findingRow < 0 || findingRow >= m_panel->model()->rowCount())
        return;
    const check::Finding &f = m_panel->model()->finding(findingRow);
    if (f.entry == 0)
        return;
    const QList<check::CheckSegment> &segments = m_checked->segments;
    for (qsizetype i = 0; i < segments.size(); ++i) {
        if (f.offset >= segments[i].begin && f.offset < segments[i].end) {
            emit entrySelected(m_workspace->list()->rowOf(m_checked->entryIds.at(i)));
            return;
        }
    }
}

void PageCheckController::showLineOf(int findingRow)
{
    if (!m_checked || findingRow < 0 || findingRow >= m_panel->model()->rowCount())
        return;
    const check::Finding &f = m_panel->model()->finding(findingRow);
    dialogs::inform(m_window, u"第 %1 行第 %2 列：%3\n\n%4"_s.arg(f.line).arg(f.column).arg(
                                  f.message, lineAround(m_checked->text, f.offset)));
}

} // namespace orv
