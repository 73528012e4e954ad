#include "document.h"

#include "app/settings.h"
#include "core/failure.h"
#include "core/modulelistmodel.h"
#include "core/outputbuffer.h"
#include "modules/catalog.h"
#include "widgets/dialogs.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QSaveFile>
#include <QUndoStack>
#include <QUrl>
#include <QWidget>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

const QString windowTitle = u"Orvanta V2.0 [ 天猫/淘宝店通用 ]  Orvanta 团队出品"_s;
const QString projectFilter = u"Orvanta 项目 (*.orvanta)"_s;
const QString projectSuffix = u".orvanta"_s;
constexpr int recentCount = 10;
// Changes within this pause are written together.
constexpr int autosaveDelayMs = 1500;

// A project with every page at its defaults and an empty list.
Project emptyProject()
{
    Project project;
    project.metrics = Metrics::forShop(Shop::Taobao);
    for (const PageSpec *page : catalog::pages())
        project.pages.insert(page->id, page->defaultState().fields);
    return project;
}

// The summary as a page of its own, for review or an archive: the page as
// "汇总" puts it in the output buffer, in a document that says its encoding.
QByteArray standaloneHtml(const QString &title, const QString &page)
{
    const QString escapedTitle = title.toHtmlEscaped();
    return (u"<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n<title>"_s + escapedTitle
            + u"</title>\r\n</head>\r\n<body>\r\n"_s + page + u"</body>\r\n</html>\r\n"_s)
        .toUtf8();
}

// The question about work a crashed window left: 丢弃 only when confirmed.
dialogs::RecoveryChoice askAboutOrphan(QWidget *window, const QString &text)
{
    for (;;) {
        const dialogs::RecoveryChoice choice = dialogs::askToRecover(window, text);
        if (choice != dialogs::RecoveryChoice::Discard
            || dialogs::confirmDiscard(window, u"丢弃后，这些工作将无法找回。确定要丢弃吗？"_s))
            return choice;
    }
}

} // namespace

Document::Document(QWidget *window, ProjectHost *host, QUndoStack *undoStack, const QString &recoveryFolder)
    : QObject(window)
    , m_window(window)
    , m_host(host)
    , m_undoStack(undoStack)
    , m_recovery(recoveryFolder)
{
    m_autosave.setSingleShot(true);
    m_autosave.setInterval(autosaveDelayMs);
    connect(&m_autosave, &QTimer::timeout, this, &Document::autosave);
    connect(m_undoStack, &QUndoStack::cleanChanged, this, [this](bool clean) {
        m_undoStackClean = clean;
        changed();
    });
    connect(m_undoStack, &QUndoStack::indexChanged, this, &Document::changed);
    connect(&m_recovery, &Recovery::written, this, &Document::recoveryWritten);
    updateTitle();
}

Document::~Document() = default;

void Document::addActions(QMenu *menu)
{
    const auto action = [&](const QString &name, const QString &text, const QKeySequence &keys, auto slot) {
        QAction *a = menu->addAction(text);
        a->setObjectName(name);
        a->setShortcut(keys);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    action(u"actionNew"_s, u"新建(&N)"_s, QKeySequence::New, qOverload<>(&Document::newProject));
    action(u"actionNewFromDesign"_s, u"从模板新建(&T)…"_s, QKeySequence(), &Document::newFromDesignRequested);
    action(u"actionOpen"_s, u"打开(&O)…"_s, QKeySequence::Open, &Document::open);
    action(u"actionSave"_s, u"保存(&S)"_s, QKeySequence::Save, &Document::save);
    action(u"actionSaveAs"_s, u"另存为(&A)…"_s, QKeySequence(u"Ctrl+Shift+S"_s), &Document::saveAs);
    m_recentMenu = menu->addMenu(u"最近打开(&R)"_s);
    m_recentMenu->setObjectName(u"menuRecent"_s);
    connect(m_recentMenu, &QMenu::aboutToShow, this, &Document::fillRecentMenu);
    menu->addSeparator();
    action(u"actionExportHtml"_s, u"导出 HTML(&E)…"_s, QKeySequence(), &Document::exportHtml);
    action(u"actionExportPictures"_s, u"导出手机详情图片(&M)…"_s, QKeySequence(), &Document::exportPicturesRequested);
    action(u"actionMerge"_s, u"批量生成(&B)…"_s, QKeySequence(), &Document::mergeRequested);
    menu->addSeparator();
    action(u"actionQuit"_s, u"退出(&X)"_s, QKeySequence(u"Ctrl+Q"_s), [this] { m_window->close(); });
    fillRecentMenu();
}

void Document::formsChanged()
{
    m_formsChanged = true;
    changed();
}

void Document::changed()
{
    updateTitle();
    if (!m_autosave.isActive())
        m_autosave.start();
}

void Document::autosave()
{
    if (isModified())
        m_recovery.write(m_host->project(), m_path);
    else
        m_recovery.discard();
}

void Document::autosaveNow()
{
    m_autosave.stop();
    autosave();
    m_recovery.wait();
    QCoreApplication::sendPostedEvents(this); // its report
}

// A failing autosave shows in the status strip for as long as it fails, and
// once in a message each time it starts failing; the next change tries again.
void Document::recoveryWritten(const QString &error)
{
    if (m_closing)
        return;
    const bool wasFailing = !m_autosaveProblem.isEmpty();
    setStatus(&m_autosaveProblem, error.isEmpty() ? QString() : u"自动保存失败，下次修改时重试"_s);
    if (!error.isEmpty() && !wasFailing) {
        dialogs::showError(m_window, u"自动保存失败：未保存的修改现在没有恢复副本，程序意外退出时会丢失，"
                                     "请尽快保存。下次修改时会再试。\n\n"_s
                                         + error);
    }
}

QString Document::statusText() const
{
    return m_autosaveProblem.isEmpty() ? m_keptNote : m_autosaveProblem;
}

void Document::setStatus(QString *part, const QString &text)
{
    const QString before = statusText();
    *part = text;
    if (statusText() != before)
        emit statusChanged(statusText());
}

void Document::updateTitle()
{
    const QString name = m_path.isEmpty() ? u"未命名"_s : QFileInfo(m_path).fileName();
    m_window->setWindowTitle(windowTitle + u" - "_s + name + u"[*]"_s);
    m_window->setWindowModified(isModified());
}

void Document::setClean(const QString &path)
{
    m_path = path;
    m_undoStack->setClean();
    m_undoStackClean = true;
    m_formsChanged = false;
    m_autosave.stop();
    m_recovery.discard();
    updateTitle();
}

bool Document::maybeSave()
{
    if (!isModified())
        return true;
    const QString name = m_path.isEmpty() ? u"未命名"_s : QFileInfo(m_path).fileName();
    switch (dialogs::askToSave(m_window, u"“%1”有未保存的修改。是否保存？"_s.arg(name))) {
    case QMessageBox::Save:
        return save();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void Document::newProject()
{
    newProject(emptyProject());
}

bool Document::newProject(const Project &project)
{
    if (!maybeSave())
        return false;
    m_host->setProject(project);
    m_undoStack->clear();
    setClean({});
    return true;
}

void Document::open()
{
    if (!maybeSave())
        return;
    const QString folder = m_path.isEmpty() ? QDir::homePath() : QFileInfo(m_path).absolutePath();
    const QString path = dialogs::openFileName(m_window, u"打开项目"_s, folder, projectFilter);
    if (!path.isEmpty())
        openFile(path);
}

bool Document::openFile(const QString &path)
{
    Project project;
    try {
        project = readProjectFile(path, catalog::pages());
    } catch (const Failure &failure) {
        dialogs::showError(m_window, failure.message());
        return false;
    }
    m_host->setProject(project);
    m_undoStack->clear();
    setClean(QFileInfo(path).absoluteFilePath());
    remember(m_path);
    return true;
}

bool Document::save()
{
    return m_path.isEmpty() ? saveAs() : saveTo(m_path);
}

bool Document::saveAs()
{
    QString path = dialogs::saveFileName(m_window, u"另存为"_s, suggestedPath(projectSuffix), projectFilter);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += projectSuffix;
    return saveTo(path);
}

bool Document::saveTo(const QString &path)
{
    try {
        writeProjectFile(path, m_host->project());
    } catch (const Failure &failure) {
        dialogs::showError(m_window, failure.message());
        return false;
    }
    setClean(QFileInfo(path).absoluteFilePath());
    remember(m_path);
    return true;
}

QString Document::suggestedPath(const QString &suffix) const
{
    if (m_path.isEmpty())
        return QDir(QDir::homePath()).filePath(u"未命名"_s + suffix);
    const QFileInfo file(m_path);
    return file.dir().filePath(file.completeBaseName() + suffix);
}

void Document::exportHtml()
{
    QString path
        = dialogs::saveFileName(m_window, u"导出 HTML"_s, suggestedPath(u".html"_s), u"HTML 文件 (*.html *.htm)"_s);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += u".html"_s;
    const QString title = m_path.isEmpty() ? u"Orvanta"_s : QFileInfo(m_path).completeBaseName();
    const QByteArray html = standaloneHtml(title, m_host->pageText());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(html) != html.size() || !file.commit())
        dialogs::showError(m_window, Failure::cannotCreateFile(path, file.errorString()).message());
}

void Document::offerRecovery()
{
    for (const QString &path : m_recovery.orphans()) {
        // Held until it is answered for, so that no other window offers it.
        std::unique_ptr<ClaimedOrphan> orphan = ClaimedOrphan::claim(path);
        if (!orphan)
            continue;
        Project project;
        QString recoveryOf;
        try {
            project = orphan->read(catalog::pages(), &recoveryOf);
        } catch (const Failure &failure) {
            reportUnreadable(path, failure.message());
            continue;
        }
        const QString name = recoveryOf.isEmpty() ? u"未命名"_s : QFileInfo(recoveryOf).fileName();
        const QString when = QLocale().toString(orphan->written(), QLocale::ShortFormat);
        const QString text
            = u"发现上次未正常关闭时未保存的工作：“%1”，%2 个版块，保存于 %3。\n要恢复这些工作吗？"_s.arg(
                name, QString::number(project.entries.size()), when);
        switch (askAboutOrphan(m_window, text)) {
        case dialogs::RecoveryChoice::Later:
            setStatus(&m_keptNote, u"上次未保存的工作已保留，下次启动时再询问"_s);
            continue;
        case dialogs::RecoveryChoice::Discard:
            orphan->remove();
            continue;
        case dialogs::RecoveryChoice::Recover:
            break;
        }
        m_host->setProject(project);
        m_undoStack->clear();
        setClean(recoveryOf);
        // The work is unsaved: it is marked so, and written to this window's
        // own file at once; the orphan goes only once that file holds it.
        m_formsChanged = true;
        updateTitle();
        m_autosave.stop();
        m_recovery.takeOver(std::move(orphan), m_host->project(), m_path);
        return;
    }
}

// Never deleted: a newer version may read it, or the user may want it.
void Document::reportUnreadable(const QString &path, const QString &error)
{
    const QString text = u"上次未正常关闭时留下的恢复文件无法读取，它仍保留在：\n%1\n\n%2\n\n"
                         "如果不再需要，可以在文件夹中删除它。"_s.arg(QDir::toNativeSeparators(path), error);
    if (dialogs::askToOpenFolder(m_window, text))
        dialogs::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

void Document::closing()
{
    m_closing = true;
    m_autosave.stop();
    m_recovery.discard();
}

QStringList Document::recentFiles()
{
    return Settings().recentFiles();
}

void Document::remember(const QString &path)
{
    QStringList files = recentFiles();
    files.removeAll(path);
    files.prepend(path);
    Settings().setRecentFiles(files.mid(0, recentCount));
}

void Document::fillRecentMenu()
{
    m_recentMenu->clear();
    const QStringList files = recentFiles();
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString path = files.at(i);
        QAction *a = m_recentMenu->addAction(u"&%1 %2"_s.arg((i + 1) % 10).arg(QDir::toNativeSeparators(path)));
        connect(a, &QAction::triggered, this, [this, path] {
            if (maybeSave())
                openFile(path);
        });
    }
    m_recentMenu->setEnabled(!files.isEmpty());
}

} // namespace orv
