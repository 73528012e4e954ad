#include "app/mainwindow.h"
#include "app/startup.h"
#include "core/modulelistmodel.h"
#include "widgets/dialogs.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
namespace dialogs = orv::dialogs;

namespace {

const QString addQuestion = u"确定添加该板块？"_s;
const QString summaryDone = u"所有代码已经提交完毕，可以通过右侧预览区查看总体样式！"_s;
const QString extractDone = u"代码提取完毕！"_s;

} // namespace

class TstModuleListPanel : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<orv::MainWindow> w;

    QTableView *list() const { return w->findChild<QTableView *>(u"lv1"_s); }
    orv::ModuleListModel *model() const { return qobject_cast<orv::ModuleListModel *>(list()->model()); }

    void click(const QString &button) { w->findChild<QPushButton *>(button)->click(); }
    void trigger(const QString &action) { w->findChild<QAction *>(action)->trigger(); }

    // Adds each text as an entry from the divider-bar page.
    void add(const QStringList &codes)
    {
        for (const QString &code : codes) {
            w->workspace()->buffer().setText(code);
            click(u"btn8"_s);
        }
    }

    QStringList texts() const
    {
        QStringList out;
        const orv::ModuleListModel *m = model();
        for (int r = 0; r < m->count(); ++r)
            out.append(QString::number(m->entry(r).number) + u' ' + m->entry(r).code);
        return out;
    }

    int selectedRow() const
    {
        const QModelIndexList rows = list()->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.constFirst().row() : -1;
    }

    QString previewPath() const { return w->privateFolder() + u"/file.html"_s; }

    QByteArray previewBytes() const
    {
        QFile f(previewPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : "<missing>";
    }

    static QStringList shownTexts()
    {
        QStringList out;
        const QList<dialogs::Shown> shown = dialogs::takeShown();
        for (const dialogs::Shown &s : shown)
            out.append(s.text);
        return out;
    }

private slots:
    void init()
    {
        dialogs::setTestMode(true);
        w = std::make_unique<orv::MainWindow>();
        click(u"btnfengetiao"_s);
        dialogs::takeShown();
    }

    void cleanup()
    {
        w.reset();
        dialogs::takeShown();
    }

    void cancelAddsNothing()
    {
        dialogs::queueAnswer(QMessageBox::Cancel);
        add({u"A"_s});
        QCOMPARE(model()->count(), 0);
        const QList<dialogs::Shown> shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.at(0).text, addQuestion);
        QCOMPARE(shown.at(0).caption, u"提示信息"_s);
        QCOMPARE(shown.at(0).icon, QMessageBox::NoIcon);

        add({u"B"_s});
        dialogs::queueAnswer(QMessageBox::Cancel);
        add({u"C"_s, u"D"_s});
        QCOMPARE(texts(), (QStringList{u"1 B"_s, u"2 D"_s}));
        QCOMPARE(shownTexts(), QStringList(3, addQuestion));
    }

    void generateThenAdd()
    {
        // Before anything was generated the entry holds an empty code.
        click(u"btn8"_s);
        click(u"btn15"_s);
        const QString fragment = w->workspace()->buffer().text();
        QVERIFY(fragment.startsWith(u"<div"_s));
        click(u"btn8"_s);
        QCOMPARE(model()->count(), 2);
        QCOMPARE(model()->entry(0).code, QString());
        QCOMPARE(model()->entry(1).number, 2);
        QCOMPARE(model()->entry(1).name, u"[ 分隔条 ] "_s);
        QCOMPARE(model()->entry(1).code, fragment);
        QCOMPARE(model()->data(model()->index(1, 1)).toString(), u"[ 分隔条 ] "_s);
        QVERIFY(!list()->selectionModel()->hasSelection());
    }

    void deleteAndClearThroughMenu()
    {
        add({u"A"_s, u"B"_s, u"C"_s});
        list()->selectRow(1);
        trigger(u"N1"_s);
        add({u"D"_s});
        QCOMPARE(texts(), (QStringList{u"1 A"_s, u"3 C"_s, u"3 D"_s}));
        trigger(u"N9"_s);
        add({u"E"_s});
        QCOMPARE(texts(), QStringList{u"1 E"_s});
    }

    // Qt selects a neighbour after a delete; a second 删除 must not take it.
    void secondDeleteTakesNothing()
    {
        add({u"A"_s, u"B"_s, u"C"_s});
        list()->selectRow(1);
        trigger(u"N1"_s);
        QCOMPARE(selectedRow(), -1);
        trigger(u"N1"_s);
        QCOMPARE(texts(), (QStringList{u"1 A"_s, u"3 C"_s}));
        list()->selectRow(1);
        trigger(u"N1"_s);
        trigger(u"N1"_s);
        QCOMPARE(texts(), QStringList{u"1 A"_s});
    }

    // The pop-up menu from the keyboard.
    void menuOpensFromKeyboard_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("Menu") << int(Qt::Key_Menu) << Qt::KeyboardModifiers();
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << Qt::KeyboardModifiers(Qt::ShiftModifier);
    }

    void menuOpensFromKeyboard()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        add({u"A"_s, u"B"_s});
        list()->setFocus();
        list()->selectRow(1);
        auto *menu = w->findChild<QMenu *>(u"pm1"_s);
        QVERIFY(!menu->isVisible());
        QTest::keyClick(list(), Qt::Key(key), modifiers);
        QTRY_VERIFY(menu->isVisible());
        menu->close();

        // The other keys still reach the list.
        QTest::keyClick(list(), Qt::Key_Up);
        QCOMPARE(selectedRow(), 0);
    }

    void moveKeepsNumbersAndSelection()
    {
        add({u"A"_s, u"B"_s, u"C"_s});
        list()->selectRow(2);
        trigger(u"N2"_s);
        QCOMPARE(texts(), (QStringList{u"1 A"_s, u"2 C"_s, u"3 B"_s}));
        QCOMPARE(selectedRow(), 2);
        trigger(u"N2"_s);
        QCOMPARE(texts(), (QStringList{u"1 A"_s, u"2 B"_s, u"3 C"_s}));

        list()->selectRow(0);
        trigger(u"N3"_s);
        QCOMPARE(texts(), (QStringList{u"1 B"_s, u"2 A"_s, u"3 C"_s}));
        QCOMPARE(selectedRow(), 0);

        // The summary follows the new order.
        click(u"btn2"_s);
        QCOMPARE(w->workspace()->buffer().text(), u"B\r\nA\r\nC\r\n"_s);
    }

    void actionsWithoutSelectionDoNothing()
    {
        add({u"A"_s, u"B"_s});
        dialogs::takeShown();
        list()->clearSelection();
        for (const QString &action : {u"N11"_s, u"N2"_s, u"N3"_s, u"N1"_s})
            trigger(action);
        QCOMPARE(texts(), (QStringList{u"1 A"_s, u"2 B"_s}));
        QVERIFY(!QFile::exists(previewPath()));
        QVERIFY(dialogs::takeShown().isEmpty());
    }

    void summaryThenExtraction()
    {
        add({u"A"_s, QString(), u"B"_s});
        dialogs::takeShown();
        click(u"btn2"_s);
        const QString summary = u"A\r\n\r\nB\r\n"_s;
        QCOMPARE(w->workspace()->buffer().text(), summary);
        QCOMPARE(previewBytes(), summary.toUtf8());
        QCOMPARE(shownTexts(), QStringList{summaryDone});
        QCOMPARE(model()->count(), 3);

        click(u"btntiqu"_s);
        QCOMPARE(QGuiApplication::clipboard()->text(), summary);
        QCOMPARE(shownTexts(), QStringList{extractDone});
    }

    void summaryOfEmptyList()
    {
        w->workspace()->buffer().setText(u"fragment"_s);
        click(u"btn2"_s);
        QVERIFY(w->workspace()->buffer().isEmpty());
        QCOMPARE(previewBytes(), QByteArray());
        QCOMPARE(shownTexts(), QStringList{summaryDone});
    }

    void extractionOfEmptyBufferKeepsClipboard()
    {
        QGuiApplication::clipboard()->setText(u"held elsewhere"_s);
        click(u"btntiqu"_s);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"held elsewhere"_s);
        QCOMPARE(shownTexts(), QStringList{extractDone});

        w->workspace()->buffer().setText(u"<p>x</p>\r\n"_s);
        click(u"btntiqu"_s);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"<p>x</p>\r\n"_s);
    }

    void entryPreviewWritesCrLf()
    {
        add({u"<p>\n中文\n</p>"_s});
        w->workspace()->buffer().setText(u"later fragment"_s);
        list()->selectRow(0);
        trigger(u"N11"_s);
        QCOMPARE(previewBytes(), u"<p>\r\n中文\r\n</p>\r\n"_s.toUtf8());
        QCOMPARE(w->workspace()->buffer().text(), u"later fragment"_s);
        QCOMPARE(model()->code(0), u"<p>\n中文\n</p>"_s);
    }

    void writeFailureComesAfterSummaryMessage()
    {
        add({u"A"_s});
        dialogs::takeShown();
        QVERIFY(QDir(w->privateFolder()).removeRecursively());

        click(u"btn2"_s);
        const QList<dialogs::Shown> shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(0).text, summaryDone);
        QCOMPARE(shown.at(1).icon, QMessageBox::Critical);
        QVERIFY2(shown.at(1).text.startsWith(u"Cannot create file \""_s + previewPath() + u"\". "_s),
                 qPrintable(shown.at(1).text));
        // The buffer keeps the summary, so extraction still copies it.
        QCOMPARE(w->workspace()->buffer().text(), u"A\r\n"_s);
        click(u"btntiqu"_s);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"A\r\n"_s);
        dialogs::takeShown();

        // The entry preview reports the same failure and leaves the list alone.
        list()->selectRow(0);
        trigger(u"N11"_s);
        const QList<dialogs::Shown> previewShown = dialogs::takeShown();
        QCOMPARE(previewShown.size(), 1);
        QCOMPARE(previewShown.at(0).icon, QMessageBox::Critical);
        QCOMPARE(texts(), QStringList{u"1 A"_s});
        QVERIFY(QDir().mkpath(w->privateFolder()));
    }
};

int main(int argc, char *argv[])
{
    orv::prepareBrowserEnvironment();
    QApplication app(argc, argv);
    TstModuleListPanel test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_modulelistpanel.moc"
