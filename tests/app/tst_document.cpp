// The work as a document in the window: saving and opening, the question
// before unsaved work is left, editing, duplicating, dragging and deleting
// entries, and undo and redo of every change to the module list.

#include "app/mainwindow.h"
#include "app/settings.h"
#include "app/startup.h"
#include "core/modulelistmodel.h"
#include "core/project.h"
#include "modules/catalog.h"
#include "support/files.h"
#include "support/golden.h"
#include "support/windowtest.h"
#include "widgets/dialogs.h"
#include "widgets/modulelistpanel.h"
#include "widgets/modulelistview.h"
#include "widgets/modulepage.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <sys/resource.h>

#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;
using namespace orv;
using orv::test::child;
using orv::test::choose;
using orv::test::click;
using orv::test::readFile;
using orv::test::writeFile;

class TstDocument : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_recovery;
    std::unique_ptr<MainWindow> w;

    ModuleListModel *model() const { return w->moduleList()->model(); }
    ModuleListView *list() const { return child<ModuleListView>(*w, u"lv1"_s); }
    void trigger(const QString &action) { child<QAction>(*w, action)->trigger(); }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    void select(int row)
    {
        list()->selectionModel()->clearSelection();
        if (row >= 0)
            list()->selectRow(row);
    }

    // A divider bar generated with this title and added to the list.
    void addDivider(const QString &title)
    {
        click(*w, u"btnfengetiao"_s);
        orv::test::enter(*w->page(u"tsfengetiao"_s), u"title"_s, title);
        click(*w, u"btn15"_s);
        click(*w, u"btn8"_s);
        dialogs::takeShown(); // the question before adding
    }

    // Some work of every kind: a shop and style, a half-filled form, entries
    // from pages and one without a page.
    void makeWork()
    {
        choose(*w, u"rg1"_s, 1);
        click(*w, u"btnguanlian"_s);
        choose(*w, u"rgleixing"_s, 1);
        click(*w, u"btn14"_s);
        click(*w, u"btnadd"_s);
        addDivider(u"第一"_s);
        w->workspace()->buffer().setText(u"<p>汇总\r\n</p>\r\n"_s);
        click(*w, u"btn8"_s);
        dialogs::takeShown();
        orv::test::enter(*w->page(u"tsyouhuiquan"_s), u"amounts"_s, u"5|6\r\n7"_s);
        dialogs::takeShown();
    }

    QStringList numbersAndNames() const
    {
        QStringList out;
        for (const ModuleEntry &e : model()->entries())
            out << QString::number(e.number) + u' ' + e.name;
        return out;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        dialogs::setTestMode(true);
    }

    void init()
    {
        dialogs::setTestMode(true);
        w = std::make_unique<MainWindow>(nullptr, m_recovery.path());
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }

    void cleanup()
    {
        w.reset();
        dialogs::takeShown();
    }

    void saveThenOpenGivesTheSameWork()
    {
        makeWork();
        QVERIFY(w->isWindowModified());
        const Project before = w->project();
        QCOMPARE(before.entries.size(), 3);
        QVERIFY(before.entries.at(0).source.has_value());
        QVERIFY(!before.entries.at(2).source.has_value());

        dialogs::queueFileName(path(u"work"_s));
        trigger(u"actionSaveAs"_s);
        QVERIFY(dialogs::takeShown().isEmpty());
        QVERIFY(!w->isWindowModified());
        QVERIFY(w->windowTitle().startsWith(u"Orvanta V2.0 [ 天猫/淘宝店通用 ]"_s));
        QVERIFY(w->windowTitle().contains(u"work.orvanta"_s));
        QCOMPARE(w->document()->filePath(), path(u"work.orvanta"_s));

        w = std::make_unique<MainWindow>(nullptr, m_recovery.path());
        QVERIFY(w->document()->openFile(path(u"work.orvanta"_s)));
        QCOMPARE(w->project(), before);
        QCOMPARE(model()->code(2), u"<p>汇总\r\n</p>\r\n"_s);
        QCOMPARE(w->workspace()->metrics().totalWidth, 790);
        QCOMPARE(w->page(u"tsyouhuiquan"_s)->value(u"amounts"_s), u"5|6\r\n7"_s);
        QCOMPARE(child<QLabel>(*w, u"lblzonggao"_s)->text(), u"360"_s);
        QVERIFY(!w->isWindowModified());
        QVERIFY(Document::recentFiles().contains(path(u"work.orvanta"_s)));
    }

    // What the window does not show of a project (its shared values, its
    // product sheet) is saved again as it was opened.
    void saveKeepsWhatTheWindowDoesNotShow()
    {
        Project project = readProjectFile(test::dataPath(u"../../examples/sample.orvanta"_s), catalog::pages());
        project.values = {{u"主色"_s, u"#FF6600"_s}, {u"店铺名称"_s, u"小店"_s}};
        project.sheet = path(u"products.csv"_s);
        writeProjectFile(path(u"kept.orvanta"_s), project);
        QVERIFY(w->document()->openFile(path(u"kept.orvanta"_s)));
        addDivider(u"新的"_s);
        trigger(u"actionSave"_s);
        const Project saved = readProjectFile(path(u"kept.orvanta"_s), catalog::pages());
        QCOMPARE(saved.values, project.values);
        QCOMPARE(saved.sheet, project.sheet);
        QCOMPARE(saved.entries.size(), project.entries.size() + 1);
    }

    // Closing, 新建 and 打开 ask about unsaved changes: 保存, 不保存 or 取消.
    void unsavedChangesAsk_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("answer");
        for (const char *action : {"close", "actionNew", "actionOpen"}) {
            for (const auto &[name, answer] :
                 {std::pair("save", QMessageBox::Save), std::pair("discard", QMessageBox::Discard),
                  std::pair("cancel", QMessageBox::Cancel)})
                QTest::addRow("%s %s", action, name) << QString::fromLatin1(action) << int(answer);
        }
    }
    void unsavedChangesAsk()
    {
        QFETCH(QString, action);
        QFETCH(int, answer);
        // Without changes nothing is asked.
        trigger(u"actionNew"_s);
        QVERIFY(dialogs::takeShown().isEmpty());

        addDivider(u"未保存"_s);
        dialogs::takeShown();
        const QString saved = path(action + QString::number(answer) + u".orvanta"_s);
        const QString other = path(u"other.orvanta"_s);
        writeFile(other, projectJson(Project{}));
        dialogs::queueAnswer(QMessageBox::StandardButton(answer));
        if (answer == QMessageBox::Save)
            dialogs::queueFileName(saved);
        if (action == u"actionOpen"_s)
            dialogs::queueFileName(other);

        if (action == u"close"_s)
            w->close();
        else
            trigger(action);

        const QList<dialogs::Shown> shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown.first().text.contains(u"未保存的修改"_s));
        QCOMPARE(QFile::exists(saved), answer == QMessageBox::Save);
        if (answer == QMessageBox::Cancel) {
            // Nothing happened: the window, its work and its question stay.
            QVERIFY(w->isVisible());
            QCOMPARE(model()->count(), 1);
            QVERIFY(w->isWindowModified());
            return;
        }
        if (action == u"close"_s) {
            QVERIFY(!w->isVisible());
        } else {
            QCOMPARE(model()->count(), 0);
            QVERIFY(!w->isWindowModified());
        }
        if (answer == QMessageBox::Save) {
            Project reread = readProjectFile(saved, catalog::pages());
            QCOMPARE(reread.entries.size(), 1);
        }
    }

    void editUpdateAndCancel()
    {
        addDivider(u"原标题"_s);
        addDivider(u"第二"_s);
        ModulePage *divider = w->page(u"tsfengetiao"_s);
        orv::test::enter(*divider, u"title"_s, u"半成品"_s);
        const QString before = model()->code(0);

        // Cancel: the entry stays, the page shows what it showed before.
        select(0);
        trigger(u"editEntry"_s);
        QWidget *bar = child(*w, u"editBar"_s);
        QVERIFY(bar->isVisible());
        QVERIFY(child<QLabel>(*bar, u"editBarLabel"_s)->text().contains(u"第 1 项"_s));
        QCOMPARE(divider->value(u"title"_s), u"原标题"_s);
        orv::test::enter(*divider, u"title"_s, u"改过"_s);
        click(*bar, u"editCancel"_s);
        QVERIFY(!bar->isVisible());
        QCOMPARE(model()->code(0), before);
        QCOMPARE(divider->value(u"title"_s), u"半成品"_s);

        // Update, started by a double-click: code, fields and name replaced,
        // number and place kept.
        select(0);
        emit list()->doubleClicked(model()->index(0, 0));
        orv::test::enter(*divider, u"title"_s, u"新标题"_s);
        orv::test::enter(*w->page(u"tsfengetiao"_s), u"remark"_s, u"备注"_s);
        click(*bar, u"editUpdate"_s);
        QVERIFY(!bar->isVisible());
        QCOMPARE(model()->count(), 2);
        QCOMPARE(model()->entry(0).number, 1);
        QVERIFY(model()->code(0).contains(u"新标题"_s));
        QVERIFY(model()->code(0).contains(u"备注"_s));
        QCOMPARE(model()->entry(0).source->fields.value(u"title"_s), u"新标题"_s);
        QVERIFY(model()->code(1).contains(u"第二"_s));
        QCOMPARE(w->undoStack()->undoText(), u"更新"_s);

        // An entry without a page is its code, edited in the custom-HTML page.
        w->workspace()->buffer().setText(u"<p>自己的</p>"_s);
        click(*w, u"btn8"_s);
        select(2);
        trigger(u"editEntry"_s);
        auto *memo = child<QPlainTextEdit>(*w, u"mmo34"_s);
        QCOMPARE(memo->toPlainText(), u"<p>自己的</p>"_s);
        memo->setPlainText(u"<p>改了</p>"_s);
        click(*bar, u"editUpdate"_s);
        QCOMPARE(model()->code(2), u"<p>改了</p>"_s);
        QVERIFY(!model()->entry(2).source);
    }

    void duplicateGoesBelowWithTheNextNumber()
    {
        addDivider(u"甲"_s);
        addDivider(u"乙"_s);
        select(0);
        trigger(u"duplicateEntry"_s);
        QCOMPARE(numbersAndNames(), (QStringList{u"1 [ 分隔条 ] "_s, u"3 [ 分隔条 ] "_s, u"2 [ 分隔条 ] "_s}));
        QCOMPARE(model()->entry(1).code, model()->entry(0).code);
        QCOMPARE(model()->entry(1).source, model()->entry(0).source);
    }

    // Every change to the list undoes back to the saved state and redoes to
    // the same list.
    void undoAndRedoEveryListAction()
    {
        addDivider(u"一"_s);
        addDivider(u"二"_s);
        dialogs::queueFileName(path(u"undo.orvanta"_s));
        trigger(u"actionSaveAs"_s);
        QVERIFY(!w->isWindowModified());
        const QList<ModuleEntry> saved = model()->entries();

        addDivider(u"二"_s); // add (the form as saved: only the list changes)
        select(0);
        trigger(u"duplicateEntry"_s); // duplicate
        select(2);
        trigger(u"N2"_s); // move up
        select(0);
        trigger(u"N3"_s);                 // move down
        emit list()->moveRequested(3, 0); // drag
        select(0);
        trigger(u"editEntry"_s);
        click(*w, u"editUpdate"_s); // update
        select(1);
        trigger(u"N1"_s); // delete
        trigger(u"N9"_s); // clear
        QCOMPARE(model()->count(), 0);
        QVERIFY(w->isWindowModified());
        QCOMPARE(w->undoStack()->count(), 10);

        while (!w->undoStack()->isClean())
            trigger(u"actionUndo"_s);
        QCOMPARE(model()->entries(), saved);
        QVERIFY(!w->isWindowModified());
        while (w->undoStack()->canRedo())
            trigger(u"actionRedo"_s);
        QCOMPARE(model()->count(), 0);
        QVERIFY(w->isWindowModified());

        const QAction *redo = child<QAction>(*w, u"actionRedo"_s);
        QCOMPARE(redo->shortcuts(), (QList<QKeySequence>{QKeySequence(u"Ctrl+Shift+Z"_s), QKeySequence(u"Ctrl+Y"_s)}));
        QCOMPARE(child<QAction>(*w, u"actionUndo"_s)->shortcut(), QKeySequence(QKeySequence::Undo));
    }

    // A row dragged onto another place moves there; the numbers stay.
    void dragReorders()
    {
        for (const QString &title : {u"A"_s, u"B"_s, u"C"_s})
            addDivider(title);
        ModuleListView *view = list();
        view->resize(300, 300);
        select(0);
        // Dropped on the lower half of the last row: to the end.
        const QPoint onLastRow = view->visualRect(model()->index(2, 1)).center() + QPoint(0, 3);
        QCOMPARE(view->dropRow(0, onLastRow), 2);
        emit view->moveRequested(0, view->dropRow(0, onLastRow));
        QVERIFY(model()->code(2).contains(u">A<"_s));
        QVERIFY(model()->code(0).contains(u">B<"_s));
        QCOMPARE(numbersAndNames().first(), u"1 [ 分隔条 ] "_s);
        QCOMPARE(w->undoStack()->undoText(), u"拖动"_s);
        // Dropped on the upper half of the first row: to the top.
        const QPoint onFirstRow = view->visualRect(model()->index(0, 1)).center() - QPoint(0, 3);
        QCOMPARE(view->dropRow(2, onFirstRow), 0);
        QCOMPARE(view->dropRow(-1, onFirstRow), -1);
    }

    void deleteKeyDeletesTheSelectedEntry()
    {
        addDivider(u"甲"_s);
        addDivider(u"乙"_s);
        list()->setFocus();
        select(0);
        QTest::keyClick(list(), Qt::Key_Delete);
        QCOMPARE(model()->count(), 1);
        QVERIFY(model()->code(0).contains(u"乙"_s));
        QVERIFY(dialogs::takeShown().isEmpty());
        trigger(u"actionUndo"_s);
        QCOMPARE(model()->count(), 2);
    }

    // A file that cannot be opened changes nothing of the work.
    void refusedFileKeepsTheWork()
    {
        addDivider(u"留着"_s);
        const Project before = w->project();
        const QString bad = path(u"bad.orvanta"_s);
        writeFile(bad, "{\"format\": \"orvanta-project\", \"version\": 1, \"shop\": \"jd\"}");
        dialogs::queueAnswer(QMessageBox::Discard);
        dialogs::queueFileName(bad);
        trigger(u"actionOpen"_s);
        const QList<dialogs::Shown> shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(1).icon, QMessageBox::Critical);
        QVERIFY(shown.at(1).text.contains(bad));
        QVERIFY(shown.at(1).text.contains(u"shop"_s));
        QCOMPARE(w->project(), before);
        QVERIFY(w->isWindowModified());
    }

    // A save that cannot be written says so and leaves the old file whole. As
    // root a read-only folder can still be written, so the write is made to
    // fail by a file-size limit instead.
    void failedSaveKeepsTheOldFile()
    {
        addDivider(u"旧"_s);
        QTemporaryDir folder;
        const QString file = folder.filePath(u"kept.orvanta"_s);
        dialogs::queueFileName(file);
        trigger(u"actionSaveAs"_s);
        const QByteArray old = readFile(file);
        for (int i = 0; i < 40; ++i)
            addDivider(u"新"_s);

        rlimit before{};
        const bool root = ::geteuid() == 0;
        if (root) {
            ::getrlimit(RLIMIT_FSIZE, &before);
            rlimit small = before;
            small.rlim_cur = rlim_t(old.size() + 100);
            ::signal(SIGXFSZ, SIG_IGN);
            ::setrlimit(RLIMIT_FSIZE, &small);
        } else {
            QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
        }
        trigger(u"actionSave"_s);
        if (root)
            ::setrlimit(RLIMIT_FSIZE, &before);
        else
            QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        const QList<dialogs::Shown> shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().text.startsWith(u"Cannot save project \""_s + file), qPrintable(shown.first().text));
        QCOMPARE(readFile(file), old);
        QVERIFY(w->isWindowModified());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{u"kept.orvanta"_s});
    }

    // Whatever can be saved can be opened again: a project over the size
    // limit is refused before anything is written.
    void saveOverTheLimitIsRefused_data()
    {
        QTest::addColumn<qint64>("over");
        QTest::newRow("at the limit") << qint64(0);
        QTest::newRow("a byte over") << qint64(1);
    }
    void saveOverTheLimitIsRefused()
    {
        QFETCH(qint64, over);
        addDivider(u"旧"_s);
        const QString file = path(u"large.orvanta"_s);
        dialogs::queueFileName(file);
        trigger(u"actionSaveAs"_s);
        const QByteArray old = readFile(file);

        Project project = w->project();
        project.entries.append({2, u"大"_s, QString(), std::nullopt});
        project.entries.last().code = QString(maxProjectBytes - projectJson(project).size() + over, u'a');
        w->setProject(project);
        trigger(u"actionSave"_s);
        const QList<dialogs::Shown> shown = dialogs::takeShown();
        if (over == 0) {
            QVERIFY(shown.isEmpty());
            QCOMPARE(QFileInfo(file).size(), maxProjectBytes);
            QCOMPARE(readProjectFile(file, catalog::pages()), project);
            return;
        }
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().text.startsWith(u"Cannot save project \"%1\": the file would be"_s.arg(file)),
                 qPrintable(shown.first().text));
        QCOMPARE(readFile(file), old);
    }

    // The recent files live in Orvanta.ini; the list an earlier version kept
    // in a store of its own is taken over while Orvanta.ini has none.
    void recentFilesLiveInTheSettingsFile()
    {
        const QString earlier = path(u"earlier.orvanta"_s);
        QSettings().setValue(u"recentFiles"_s, QStringList{earlier});
        QFile::remove(Settings().fileName());
        QCOMPARE(Document::recentFiles(), QStringList{earlier});

        const QString now = path(u"now.orvanta"_s);
        writeFile(now, projectJson(w->project()));
        QVERIFY(w->document()->openFile(now));
        QCOMPARE(QSettings(Settings().fileName(), QSettings::IniFormat).value(u"recentFiles"_s).toStringList(),
                 (QStringList{now, earlier}));
        QCOMPARE(QSettings().value(u"recentFiles"_s).toStringList(), QStringList{earlier});
    }

    // The sample a new user opens first shows its entries at once.
    void sampleProjectOpens()
    {
        QVERIFY(w->document()->openFile(test::dataPath(u"../../examples/sample.orvanta"_s)));
        QVERIFY(dialogs::takeShown().isEmpty());
        QCOMPARE(model()->count(), 9);
        QCOMPARE(model()->entry(0).name, u"[ 关联销售 ] 图文四列"_s);
        QCOMPARE(w->page(u"tsguanlian"_s)->value(u"style"_s), u"0"_s);
        QVERIFY(!w->isWindowModified());
    }

    void exportHtmlIsAStandalonePage()
    {
        addDivider(u"导出"_s);
        w->workspace()->buffer().setText(u"<p>二</p>"_s);
        click(*w, u"btn8"_s);
        dialogs::queueFileName(path(u"page"_s));
        trigger(u"actionExportHtml"_s);
        const QString html = QString::fromUtf8(readFile(path(u"page.html"_s)));
        QVERIFY(html.startsWith(u"<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"utf-8\">"_s));
        QVERIFY(html.contains(model()->code(0) + u"\r\n<p>二</p>\r\n</body>"_s));
    }
};

int main(int argc, char *argv[])
{
    prepareBrowserEnvironment();
    QApplication app(argc, argv);
    TstDocument test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_document.moc"
