#include "app/mainwindow.h"
#include "core/modulelistmodel.h"
#include "core/project.h"
#include "modules/catalog.h"
#include "modules/header/divider/divider.h"
#include "support/browsertest.h"
#include "support/files.h"
#include "support/windowtest.h"
#include "widgets/dialogs.h"
#include "widgets/modulelistpanel.h"
#include "widgets/modulepage.h"
#include "widgets/radiogroup.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace Qt::StringLiterals;
using orv::MainWindow;
using orv::test::child;
using orv::test::labelText;
using orv::test::readFile;

namespace {

// The text the browser shows.
QString shownText(QWebEngineView *view)
{
    return orv::test::scriptText(view, u"document.body ? document.body.innerText : ''"_s);
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindow> m_window;

private slots:
    void initTestCase() { orv::dialogs::setTestMode(true); }

    void init()
    {
        orv::dialogs::takeShown();
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void startsAsDescribed()
    {
        const MainWindow &w = *m_window;
        QVERIFY(!child(w, u"pnl4"_s)->isVisible());
        QCOMPARE(child<QPushButton>(w, u"pnl18"_s)->text(), u"》"_s);
        QCOMPARE(labelText(w, u"lblname"_s), u"版块名称"_s);
        QCOMPARE(labelText(w, u"lblzongkuan"_s), u"750"_s);
        for (const QString &name : {u"lblzonggao"_s, u"lbltukuan"_s, u"lbltugao"_s})
            QCOMPARE(labelText(w, name), u"0"_s);
        // The pages are made as they are first needed: the panel opened
        // before any module is chosen shows the first.
        auto *pages = child<QStackedWidget>(w, u"pgc1"_s);
        QCOMPARE(pages->count(), 0);
        QCOMPARE(child<orv::RadioGroup>(w, u"rg1"_s)->itemIndex(), 0);
        QVERIFY(m_window->workspace()->buffer().isEmpty());
        QVERIFY(QDir(m_window->privateFolder()).exists());
    }

    void navigationShowsPageAndName()
    {
        const MainWindow &w = *m_window;
        QTest::mouseClick(child(w, u"btnfengetiao"_s), Qt::LeftButton);
        QVERIFY(child(w, u"pnl4"_s)->isVisible());
        QCOMPARE(child(w, u"pnl4"_s)->width(), 287);
        QCOMPARE(child<QStackedWidget>(w, u"pgc1"_s)->currentWidget()->objectName(), u"tsfengetiao"_s);
        QCOMPARE(labelText(w, u"lblname"_s), u"分隔条"_s);

        m_window->workspace()->buffer().setText(u"kept"_s);
        QTest::mouseClick(child(w, u"btnzidingyi"_s), Qt::LeftButton);
        QTest::mouseClick(child(w, u"btnxijie"_s), Qt::LeftButton);
        QCOMPARE(child<QStackedWidget>(w, u"pgc1"_s)->currentWidget()->objectName(), u"tsxijie"_s);
        QCOMPARE(labelText(w, u"lblname"_s), u"产品细节"_s);
        QCOMPARE(m_window->workspace()->buffer().text(), u"kept"_s);
        QCOMPARE(child<QPushButton>(w, u"pnl18"_s)->text(), u"》"_s);
    }

    void toggleStripFollowsItsCaption()
    {
        const MainWindow &w = *m_window;
        auto *toggle = child<QPushButton>(w, u"pnl18"_s);
        QWidget *panel = child(w, u"pnl4"_s);

        // Before any navigation the strip opens the related-sales page, unnamed;
        // after one the panel is shown while the caption still says "》".
        for (const bool navigated : {false, true}) {
            if (navigated)
                QTest::mouseClick(child(w, u"btnchima"_s), Qt::LeftButton);
            toggle->click();
            QVERIFY(panel->isVisible());
            QCOMPARE(toggle->text(), u"《"_s);
            if (!navigated) {
                QCOMPARE(child<QStackedWidget>(w, u"pgc1"_s)->currentWidget()->objectName(), u"tsguanlian"_s);
                QCOMPARE(labelText(w, u"lblname"_s), u"版块名称"_s);
            }
            toggle->click();
            QVERIFY(!panel->isVisible());
            QCOMPARE(toggle->text(), u"》"_s);
        }
    }

    void shopTypeResetsMetrics()
    {
        const MainWindow &w = *m_window;
        auto *shop = child<orv::RadioGroup>(w, u"rg1"_s);
        const QList<QRadioButton *> items = shop->findChildren<QRadioButton *>();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items.at(1)->text(), u"天猫店"_s);

        orv::Metrics m = m_window->workspace()->metrics();
        m.totalHeight = 310;
        m.imageWidth = 180;
        m.imageHeight = 270;
        m_window->workspace()->setMetrics(m);
        QTest::mouseClick(items.at(1), Qt::LeftButton);
        QCOMPARE(labelText(w, u"lblzongkuan"_s), u"790"_s);
        QCOMPARE(m_window->workspace()->metrics(), orv::Metrics::forShop(orv::Shop::Tmall));

        m_window->workspace()->setMetrics({.shop = orv::Shop::Tmall, .totalWidth = 790, .totalHeight = 360});
        QCOMPARE(shop->itemIndex(), 1);
        QTest::mouseClick(items.at(0), Qt::LeftButton);
        QCOMPARE(m_window->workspace()->metrics(), orv::Metrics::forShop(orv::Shop::Taobao));

        // Choosing the item already chosen changes nothing.
        m_window->workspace()->setMetrics({.totalHeight = 360});
        QTest::mouseClick(items.at(0), Qt::LeftButton);
        QCOMPARE(labelText(w, u"lblzonggao"_s), u"360"_s);
    }

    // Editing an entry borrows its page: after 更新 or 取消 the window is as
    // it was, the half-filled form, the shop type, the metrics and the page
    // shown, also when the entry was made for the other shop type. Meanwhile
    // the work saved or recovered is that window, not the borrowed page.
    void editGivesThePageBack_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("entryShop");
        QTest::newRow("更新") << u"editUpdate"_s << 0;
        QTest::newRow("更新, other shop") << u"editUpdate"_s << 1;
        QTest::newRow("取消") << u"editCancel"_s << 0;
        QTest::newRow("取消, other shop") << u"editCancel"_s << 1;
    }

    void editGivesThePageBack()
    {
        QFETCH(QString, button);
        QFETCH(int, entryShop);
        const MainWindow &w = *m_window;
        orv::ModulePage *divider = m_window->page(u"tsfengetiao"_s);
        orv::test::choose(w, u"rg1"_s, entryShop);
        orv::test::click(w, u"btnfengetiao"_s);
        orv::test::enter(*divider, u"title"_s, u"条目"_s);
        orv::test::click(w, u"btn15"_s);
        orv::test::click(w, u"btn8"_s);
        orv::dialogs::takeShown();

        orv::test::choose(w, u"rg1"_s, 0);
        const orv::Metrics metrics{.shop = orv::Shop::Taobao, .totalWidth = 750, .totalHeight = 321};
        m_window->workspace()->setMetrics(metrics);
        orv::test::enter(*divider, u"title"_s, u"半成品"_s);
        orv::test::click(w, u"btncanshu"_s);

        child<QTableView>(w, u"lv1"_s)->selectRow(0);
        child<QAction>(w, u"editEntry"_s)->trigger();
        QCOMPARE(divider->value(u"title"_s), u"条目"_s);
        QCOMPARE(child<orv::RadioGroup>(w, u"rg1"_s)->itemIndex(), entryShop);
        QCOMPARE(m_window->project().pages.value(u"tsfengetiao"_s).value(u"title"_s), u"半成品"_s);
        QCOMPARE(m_window->project().metrics, metrics);
        orv::test::enter(*divider, u"title"_s, u"改过"_s);
        orv::test::click(w, button);

        QCOMPARE(divider->value(u"title"_s), u"半成品"_s);
        QCOMPARE(m_window->workspace()->metrics(), metrics);
        QCOMPARE(child<orv::RadioGroup>(w, u"rg1"_s)->itemIndex(), 0);
        QCOMPARE(labelText(w, u"lblzonggao"_s), u"321"_s);
        QCOMPARE(child<QStackedWidget>(w, u"pgc1"_s)->currentWidget()->objectName(), u"tscanshu"_s);
        QCOMPARE(labelText(w, u"lblname"_s), u"产品参数"_s);
        const orv::ModuleEntry entry = m_window->moduleList()->model()->entry(0);
        QCOMPARE(entry.code.contains(u"改过"_s), button == u"editUpdate"_s);
        QCOMPARE(int(entry.source->metrics.shop), entryShop);
        QVERIFY(orv::dialogs::takeShown().isEmpty());
    }

    // A project opened or recovered shows its module list and its page, as
    // 汇总 makes it (in the buffer too, for 提取代码 and 检查).
    void loadedProjectShowsListAndPage_data()
    {
        QTest::addColumn<bool>("recovered");
        QTest::newRow("打开") << false;
        QTest::newRow("恢复") << true;
    }

    void loadedProjectShowsListAndPage()
    {
        QFETCH(bool, recovered);
        QTemporaryDir dir;
        const QString recoveryFolder = dir.filePath(u"recovery"_s);
        QVERIFY(QDir().mkpath(recoveryFolder));
        orv::Project project;
        project.metrics = orv::Metrics::forShop(orv::Shop::Taobao);
        project.entries
            = {{1, u"[ 自定义 ] "_s, u"<p>第一项</p>"_s, {}}, {2, u"[ 自定义 ] "_s, u"<p>第二项</p>"_s, {}}};
        const QString empty;
        orv::writeProjectFile(recovered ? recoveryFolder + u"/left.orvanta"_s : dir.filePath(u"shop.orvanta"_s),
                              project, recovered ? &empty : nullptr);

        m_window = std::make_unique<MainWindow>(nullptr, recoveryFolder);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QTRY_COMPARE_WITH_TIMEOUT(m_window->browser()->url(), QUrl(u"qrc:/pages/start.html"_s), 20000);
        QVERIFY(!child(*m_window, u"lv1"_s)->isVisible());
        if (recovered) {
            m_window->document()->offerRecovery();
        } else {
            orv::dialogs::queueFileName(dir.filePath(u"shop.orvanta"_s));
            child<QAction>(*m_window, u"actionOpen"_s)->trigger();
        }
        QCOMPARE(m_window->moduleList()->model()->count(), 2);
        QVERIFY(child(*m_window, u"lv1"_s)->isVisible());
        QVERIFY(child(*m_window, u"btn2"_s)->isVisible());
        QCOMPARE(m_window->workspace()->buffer().text(), u"<p>第一项</p>\r\n<p>第二项</p>\r\n"_s);
        QTRY_COMPARE_WITH_TIMEOUT(m_window->browser()->url(), QUrl::fromLocalFile(m_window->previewFile()), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(shownText(m_window->browser()).contains(u"第二项"_s), 20000);
        QCOMPARE(orv::dialogs::takeShown().size(), recovered ? 1 : 0); // the recovery question
    }

    void dividerPreviewShowsInBrowser()
    {
        const MainWindow &w = *m_window;
        QTest::mouseClick(child(w, u"btnfengetiao"_s), Qt::LeftButton);
        child<QLineEdit>(w, u"edt3"_s)->setText(u"尺码参考"_s);
        QSignalSpy loaded(m_window->browser(), &QWebEngineView::loadFinished);
        QTest::mouseClick(child(w, u"btn15"_s), Qt::LeftButton);

        orv::PageState state = orv::divider::pageSpec().defaultState();
        state.setField(u"title"_s, u"尺码参考"_s);
        const QString fragment = orv::divider::generate(state, {}).fragment;
        QCOMPARE(m_window->workspace()->buffer().text(), fragment);

        const QString file = m_window->privateFolder() + u"/file.html"_s;
        QCOMPARE(readFile(file), fragment.toUtf8());
        QVERIFY(loaded.wait(30000) || !loaded.isEmpty());
        QVERIFY(loaded.first().first().toBool());
        QCOMPARE(m_window->browser()->url(), QUrl::fromLocalFile(file));
        const QString text = shownText(m_window->browser());
        QVERIFY2(text.contains(u"尺码参考"_s) && text.contains(u"欢迎光临本店"_s), qPrintable(text));
        QVERIFY(orv::dialogs::takeShown().isEmpty());
    }

    void unwritablePreviewKeepsBuffer()
    {
        const MainWindow &w = *m_window;
        const QString file = m_window->privateFolder() + u"/file.html"_s;
        // A folder where the preview file should be makes it unwritable, even for root.
        QVERIFY(QDir().mkpath(file));
        m_window->workspace()->buffer().setText(u"older"_s);
        QTest::mouseClick(child(w, u"btnfengetiao"_s), Qt::LeftButton);
        const QUrl before = m_window->browser()->url();
        QTest::mouseClick(child(w, u"btn15"_s), Qt::LeftButton);

        const QList<orv::dialogs::Shown> shown = orv::dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().icon, QMessageBox::Critical);
        QCOMPARE(shown.first().caption, u"Orvanta"_s);
        QVERIFY2(shown.first().text.startsWith(u"Cannot create file \""_s + file + u"\". "_s),
                 qPrintable(shown.first().text));
        // The buffer holds the new fragment all the same; the browser did not move.
        QVERIFY(m_window->workspace()->buffer().text().startsWith(u"<div style=\"width:750px;height:40px;"_s));
        QCOMPARE(m_window->browser()->url(), before);
    }

    void closingRemovesPrivateFolderOnly()
    {
        QTemporaryDir cwd;
        QVERIFY(cwd.isValid());
        const QString previous = QDir::currentPath();
        QDir::setCurrent(cwd.path());
        for (const QString &name : {u"file.html"_s, u"1.jpg"_s}) {
            QFile f(name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("the user's own");
        }

        const QString folder = m_window->privateFolder();
        QTest::mouseClick(child(*m_window, u"btnfengetiao"_s), Qt::LeftButton);
        QTest::mouseClick(child(*m_window, u"btn15"_s), Qt::LeftButton);
        QVERIFY(QFile::exists(folder + u"/file.html"_s));
        QVERIFY(m_window->close());
        QVERIFY(!QDir(folder).exists());
        QCOMPARE(readFile(cwd.filePath(u"file.html"_s)), QByteArray("the user's own"));
        QCOMPARE(readFile(cwd.filePath(u"1.jpg"_s)), QByteArray("the user's own"));
        QVERIFY(orv::dialogs::takeShown().isEmpty());
        QDir::setCurrent(previous);
    }

    void startPageAndMenuLinks()
    {
        QWebEngineView *browser = m_window->browser();
        QTRY_COMPARE_WITH_TIMEOUT(browser->url(), QUrl(u"qrc:/pages/start.html"_s), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(shownText(browser).contains(u"三步做好一个详情页"_s), 20000);

        auto *menu = child<QMenuBar>(*m_window, u"mm1"_s);
        // The menus first, then the links as the menu bar's own items.
        QStringList menus;
        QStringList captions;
        for (const QAction *action : menu->actions()) {
            if (action->menu())
                menus << action->text();
            else
                captions << action->objectName() + u'=' + action->text();
        }
        QCOMPARE(menus, (QStringList{u"文件(&F)"_s, u"编辑(&E)"_s, u"版块(&M)"_s}));
        QCOMPARE(captions, (QStringList{u"N4= 官方网站(&H) "_s, u"N5= 软件公告(&N) "_s, u"N7= 视频教程(&T) "_s,
                                        u"N8= 新版下载(&D) "_s}));

        // A link replaces the preview; the next generation brings it back.
        QTest::mouseClick(child(*m_window, u"btnfengetiao"_s), Qt::LeftButton);
        QTest::mouseClick(child(*m_window, u"btn15"_s), Qt::LeftButton);
        const QUrl preview = browser->url();
        m_window->findChild<QAction *>(u"N5"_s)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(shownText(browser).contains(u"软件公告"_s), 20000);
        const QString buffer = m_window->workspace()->buffer().text();
        m_window->findChild<QAction *>(u"N7"_s)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(shownText(browser).contains(u"图文教程"_s), 20000);
        QCOMPARE(m_window->workspace()->buffer().text(), buffer);
        QTest::mouseClick(child(*m_window, u"btn15"_s), Qt::LeftButton);
        QCOMPARE(browser->url(), preview);
        QTRY_VERIFY_WITH_TIMEOUT(shownText(browser).contains(u"欢迎光临本店"_s), 20000);
    }

    // Pasted HTML runs in the preview; a script in it must not get at local files.
    void previewCannotReadLocalFiles()
    {
        QTemporaryDir dir;
        const QString secret = dir.filePath(u"secret.txt"_s);
        {
            QFile f(secret);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("TOP-SECRET");
        }
        const QString url = QUrl::fromLocalFile(secret).toString();
        const QString script = u"<div id=out>none</div><iframe id=frame src='%1'></iframe><script>"
                               "var x = new XMLHttpRequest();"
                               "try { x.open('GET', '%1', false); x.send(); document.getElementById('out').textContent "
                               "= x.responseText; }"
                               "catch (e) { document.getElementById('out').textContent = 'blocked'; }"
                               "</script>"_s.arg(url);
        QTest::mouseClick(child(*m_window, u"btnfengetiao"_s), Qt::LeftButton);
        child<QLineEdit>(*m_window, u"edt3"_s)->setText(script);
        QSignalSpy loaded(m_window->browser(), &QWebEngineView::loadFinished);
        QTest::mouseClick(child(*m_window, u"btn15"_s), Qt::LeftButton);
        QVERIFY(loaded.wait(30000));
        QTest::qWait(500);
        const QString text = shownText(m_window->browser());
        QVERIFY2(text.contains(u"blocked"_s) || text.contains(u"none"_s), qPrintable(text));
        QVERIFY2(!text.contains(u"TOP-SECRET"_s), qPrintable(text));

        const QString frameText = orv::test::scriptText(
            m_window->browser(),
            u"(function(){ try { return document.getElementById('frame').contentDocument.body.innerText; }"
            " catch (e) { return 'denied'; } })()"_s);
        QVERIFY(frameText != u"<no answer>"_s);
        QVERIFY2(!frameText.contains(u"TOP-SECRET"_s), qPrintable(frameText));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
