// The window as a desktop program: the 版块 menu and the keys, the window's
// geometry and panel width across runs (in a scratch settings folder), the
// icon, and links in the preview going to the default browser.

#include "app/application.h"
#include "app/mainwindow.h"
#include "app/previewpage.h"
#include "app/settings.h"
#include "app/shortcuts.h"
#include "app/startup.h"
#include "core/modulelistmodel.h"
#include "modules/catalog.h"
#include "support/browsertest.h"
#include "support/windowtest.h"
#include "widgets/dialogs.h"
#include "widgets/modulepage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

using namespace Qt::StringLiterals;
using namespace orv;
using orv::test::child;

class TstDesktop : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> m_window;

    void openWindow()
    {
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    QString shownPageId() const { return child<QStackedWidget>(*m_window, u"pgc1"_s)->currentWidget()->objectName(); }
    QWidget *panel() const { return child(*m_window, u"pnl4"_s); }
    QSplitter *splitter() const { return child<QSplitter>(*m_window, u"middle"_s); }
    ModuleListModel *listModel() const
    {
        return qobject_cast<ModuleListModel *>(child<QTableView>(*m_window, u"lv1"_s)->model());
    }
    void press(QWidget *target, const QKeySequence &key)
    {
        QTest::keyClick(target, key[0].key(), key[0].keyboardModifiers());
    }
    // A key as the keyboard gives it: to the window, for whatever has the focus.
    void type(const QKeySequence &key)
    {
        QTest::keyClick(m_window->windowHandle(), key[0].key(), key[0].keyboardModifiers());
    }
    // Shows a text in the preview and clicks into it, as the user puts the focus there.
    void clickIntoPreview(const QString &html, QPoint at = {20, 20})
    {
        QSignalSpy loaded(m_window->browser(), &QWebEngineView::loadFinished);
        m_window->preview(html);
        QVERIFY(loaded.wait(30000));
        QWidget *surface = m_window->browser()->focusProxy();
        QVERIFY(surface);
        QTest::mouseClick(surface, Qt::LeftButton, {}, at);
        QTRY_COMPARE(QApplication::focusWidget(), surface);
    }

private slots:
    void initTestCase() { dialogs::setTestMode(true); }

    void init()
    {
        QFile::remove(Settings().fileName());
        dialogs::takeShown();
        openWindow();
    }

    void cleanup() { m_window.reset(); }

    // The modules in navigation order, grouped under the column's headings,
    // each shown by its menu item and by its key.
    void moduleMenuReachesEveryModule()
    {
        auto *menu = child<QMenu>(*m_window, u"menuModules"_s);
        // After 文件 and 编辑.
        QCOMPARE(m_window->menuBar()->actions().value(2), menu->menuAction());

        QStringList layout;
        for (const QAction *action : menu->actions()) {
            if (action->isSeparator())
                layout << u"--"_s + action->text();
            else if (action->objectName().startsWith(u"show_"_s))
                layout << action->objectName().mid(5);
        }
        QStringList expected;
        for (const catalog::Group &group : catalog::groups()) {
            expected << u"--"_s + QString(group.heading).remove(u'◇').trimmed();
            for (const PageSpec *page : group.pages)
                expected << page->id;
        }
        expected << u"--"_s << u"--"_s; // before 生成 and 添加, before 汇总 and 提取代码
        QCOMPARE(layout, expected);

        const QList<const PageSpec *> &pages = catalog::pages();
        for (qsizetype i = 0; i < pages.size(); ++i) {
            const PageSpec &page = *pages.at(i);
            auto *action = child<QAction>(*m_window, u"show_"_s + page.id);
            QVERIFY2(action->text().startsWith(page.moduleName + u"(&"_s), qPrintable(action->text()));
            QCOMPARE(action->shortcut(), shortcuts::module(i));
            QVERIFY(!action->shortcut().isEmpty());
            QVERIFY(child(*m_window, page.navButton)
                        ->toolTip()
                        .contains(action->shortcut().toString(QKeySequence::NativeText)));
        }

        // Backwards, so that every key changes the page; from a field of a page too.
        for (qsizetype i = pages.size() - 1; i >= 0; --i) {
            const PageSpec &page = *pages.at(i);
            QWidget *target = i % 2 ? static_cast<QWidget *>(m_window.get()) : QApplication::focusWidget();
            press(target ? target : m_window.get(), shortcuts::module(i));
            QCOMPARE(shownPageId(), page.id);
            QVERIFY(panel()->isVisible());
            QCOMPARE(test::labelText(*m_window, u"lblname"_s), page.moduleName);
            m_window->page(page.id)->fieldWidget(page.fields.first().key)->setFocus();
        }

        // The menu item does the same.
        child<QAction>(*m_window, u"show_tsdapei"_s)->trigger();
        QCOMPARE(shownPageId(), u"tsdapei"_s);
    }

    // No two actions of the window share a key (the 文件 and 编辑 menus' and
    // the list's Delete included), and none takes a text field's.
    void keysAreDistinct()
    {
        const QList<QKeySequence> reserved{
            QKeySequence(u"Ctrl+C"_s), QKeySequence(u"Ctrl+V"_s), QKeySequence(u"Ctrl+X"_s),
            QKeySequence(u"Ctrl+A"_s), QKeySequence(u"Return"_s),
        };
        QList<QKeySequence> seen;
        for (const QAction *action : m_window->findChildren<QAction *>()) {
            for (const QKeySequence &key : action->shortcuts()) {
                QVERIFY2(!seen.contains(key), qPrintable(key.toString()));
                QVERIFY2(!reserved.contains(key), qPrintable(key.toString()));
                seen << key;
            }
        }
        // The modules, 生成 and 添加 (two keys each: Return and Enter), 汇总,
        // 提取代码; 新建, 打开, 保存, 另存为, 退出, 撤销, 重做 (two keys), 检查页面,
        // Delete.
        QCOMPARE(seen.size(), catalog::pages().size() + 2 + 2 + 1 + 1 + 5 + 1 + 2 + 1 + 1);
    }

    // 生成, 添加, 汇总 and 提取代码 by their keys, from the fields where the user types.
    void actionKeysWork()
    {
        press(m_window.get(), shortcuts::module(1)); // the divider bar
        auto *title = child<QLineEdit>(*m_window, u"edt3"_s);
        title->setFocus();
        title->setText(u"快捷键"_s);
        QVERIFY(m_window->workspace()->buffer().isEmpty());
        press(title, shortcuts::generate().first());
        QVERIFY(m_window->workspace()->buffer().text().contains(u"快捷键"_s));
        const QString fragment = m_window->workspace()->buffer().text();

        auto *lineWidth = child<QWidget>(*m_window, u"cbb2"_s);
        lineWidth->setFocus();
        press(QApplication::focusWidget(), shortcuts::add().first());
        QCOMPARE(listModel()->count(), 1);
        QCOMPARE(listModel()->entry(0).code, fragment);
        QCOMPARE(dialogs::takeShown().size(), 1); // the add confirmation

        press(QApplication::focusWidget(), shortcuts::summarize());
        QCOMPARE(m_window->workspace()->buffer().text(), fragment + u"\r\n"_s);
        QCOMPARE(dialogs::takeShown().size(), 1);

        QGuiApplication::clipboard()->clear();
        press(m_window.get(), shortcuts::extract());
        QCOMPARE(QGuiApplication::clipboard()->text(), fragment + u"\r\n"_s);
        QCOMPARE(dialogs::takeShown().size(), 1);

        // From a memo, the keypad's Enter too.
        press(m_window.get(), shortcuts::module(10)); // custom HTML
        auto *memo = child<QPlainTextEdit>(*m_window, u"mmo34"_s);
        memo->setFocus();
        memo->setPlainText(u"<b>x</b>"_s);
        QTest::keyClick(memo, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
        QVERIFY(m_window->workspace()->buffer().text().contains(u"<b>x</b>"_s));
        QCOMPARE(memo->toPlainText(), u"<b>x</b>"_s); // no line break typed

        // The keys are in the buttons' tool tips.
        QVERIFY(child(*m_window, u"btn23"_s)->toolTip().contains(u"Ctrl+Return"_s));
        QVERIFY(child(*m_window, u"btn13"_s)->toolTip().contains(u"Ctrl+Shift+Return"_s));
        QVERIFY(child(*m_window, u"btn2"_s)->toolTip().contains(u"F5"_s));
        QVERIFY(child(*m_window, u"btntiqu"_s)->toolTip().contains(u"Ctrl+Shift+C"_s));
    }

    // With the settings panel hidden, 生成 and 添加 have no page to act on.
    void pageKeysNeedTheShownPage()
    {
        QVERIFY(!panel()->isVisible());
        press(m_window.get(), shortcuts::generate().first());
        press(m_window.get(), shortcuts::add().first());
        QVERIFY(m_window->workspace()->buffer().isEmpty());
        QCOMPARE(listModel()->count(), 0);
        QVERIFY(dialogs::takeShown().isEmpty());
    }

    // The window's keys work with the focus in the preview, as after a click
    // on it: the browser engine keeps none of them for itself.
    void keysWorkInThePreview_data()
    {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("action");
        const QList<const PageSpec *> &pages = catalog::pages();
        for (qsizetype i = 0; i < pages.size(); ++i)
            QTest::newRow(qPrintable(shortcuts::module(i).toString()))
                << shortcuts::module(i) << u"show_"_s + pages.at(i)->id;
        const QList<std::pair<const char *, const char *>> keys{
            {"Ctrl+Return", "actionGenerate"}, {"Ctrl+Shift+Return", "actionAdd"}, {"F5", "actionSummarize"},
            {"Ctrl+Shift+C", "actionExtract"}, {"F7", "actionCheckPage"},          {"Ctrl+N", "actionNew"},
            {"Ctrl+O", "actionOpen"},          {"Ctrl+S", "actionSave"},           {"Ctrl+Shift+S", "actionSaveAs"},
            {"Ctrl+Q", "actionQuit"},          {"Ctrl+Z", "actionUndo"},           {"Ctrl+Shift+Z", "actionRedo"},
            {"Ctrl+Y", "actionRedo"},
        };
        for (const auto &[key, action] : keys)
            QTest::newRow(key) << QKeySequence(QString::fromLatin1(key)) << QString::fromLatin1(action);
    }

    void keysWorkInThePreview()
    {
        QFETCH(QKeySequence, key);
        QFETCH(QString, action);
        // An entry in the list, one step to undo and, for redo, one to redo.
        press(m_window.get(), shortcuts::module(1));
        m_window->workspace()->buffer().setText(u"<p>预览</p>"_s);
        test::click(*m_window, u"btn8"_s);
        if (action == u"actionRedo"_s)
            m_window->undoStack()->undo();
        dialogs::takeShown();

        clickIntoPreview(m_window->workspace()->buffer().text());
        if (QTest::currentTestFailed())
            return;

        auto *target = child<QAction>(*m_window, action);
        QVERIFY(target->isEnabled());
        QSignalSpy triggered(target, &QAction::triggered);
        type(key);
        QTRY_COMPARE(triggered.size(), 1);
    }

    // Right after 生成 and 添加, and after 汇总, the keys work with the focus
    // where the program leaves it.
    void keysWorkAfterAdding()
    {
        QTemporaryDir dir;
        type(shortcuts::module(1)); // the divider bar
        QSignalSpy loaded(m_window->browser(), &QWebEngineView::loadFinished);
        test::click(*m_window, u"btn15"_s);
        QVERIFY(loaded.wait(30000));
        test::click(*m_window, u"btn8"_s);
        QCOMPARE(listModel()->count(), 1);
        type(QKeySequence::Undo);
        QCOMPARE(listModel()->count(), 0);
        type(QKeySequence(u"Ctrl+Shift+Z"_s));
        QCOMPARE(listModel()->count(), 1);
        dialogs::queueFileName(dir.filePath(u"shop.orvanta"_s));
        type(QKeySequence::Save);
        QVERIFY(QFile::exists(dir.filePath(u"shop.orvanta"_s)));
        QVERIFY(!m_window->isWindowModified());

        type(shortcuts::summarize());
        QCOMPARE(m_window->workspace()->buffer().text(), listModel()->entry(0).code + u"\r\n"_s);
        type(QKeySequence(Qt::Key_F7));
        QVERIFY(child(*m_window, u"findingsPanel"_s)->isVisible());
    }

    // In a text field of the page, undo is the field's own; the window's
    // other keys still work there.
    void previewTextFieldKeepsItsUndo()
    {
        press(m_window.get(), shortcuts::module(1));
        m_window->workspace()->buffer().setText(u"<p>条目</p>"_s);
        test::click(*m_window, u"btn8"_s);
        clickIntoPreview(u"<body style='margin:0'><input id='f' style='width:300px;height:40px'></body>"_s);
        if (QTest::currentTestFailed())
            return;
        const auto fieldText
            = [this] { return test::scriptText(m_window->browser(), u"document.getElementById('f').value"_s); };
        QTest::keyClick(m_window->windowHandle(), Qt::Key_A);
        QTest::keyClick(m_window->windowHandle(), Qt::Key_B);
        QTRY_COMPARE_WITH_TIMEOUT(fieldText(), u"ab"_s, 10000);
        type(QKeySequence::Undo);
        QTRY_VERIFY_WITH_TIMEOUT(fieldText() != u"ab"_s, 10000);
        QCOMPARE(listModel()->count(), 1);
        type(QKeySequence(Qt::Key_F7));
        QVERIFY(child(*m_window, u"findingsPanel"_s)->isVisible());
    }

    void geometryAndPanelWidthSurviveRestart()
    {
        const QRect placed(40, 30, 1000, 620);
        m_window->setGeometry(placed);
        press(m_window.get(), shortcuts::module(2));
        splitter()->setSizes({350, splitter()->width() - 350});
        QCOMPARE(panel()->width(), 350);
        QVERIFY(m_window->close());
        m_window.reset();

        openWindow();
        QCOMPARE(m_window->geometry(), placed);
        press(m_window.get(), shortcuts::module(0));
        QCOMPARE(panel()->width(), 350);

        // The module list's height under the form, as the user drags its handle.
        QWidget *list = child(*m_window, u"pnl9"_s);
        QWidget *handle = child(*m_window, u"spl2"_s);
        const int before = list->height();
        QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(20, 2));
        QTest::mouseMove(handle, QPoint(20, -38));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(20, -38));
        const int height = list->height();
        QVERIFY2(qAbs(height - before - 40) <= 1, qPrintable(u"%1 to %2"_s.arg(before).arg(height)));
        QVERIFY(m_window->close());
        openWindow();
        press(m_window.get(), shortcuts::module(0));
        QCOMPARE(child(*m_window, u"pnl9"_s)->height(), height);

        // A width changed and then hidden with the toggle counts too.
        splitter()->setSizes({320, splitter()->width() - 320});
        test::click(*m_window, u"pnl18"_s); // 》 shows
        test::click(*m_window, u"pnl18"_s); // 《 hides
        QVERIFY(!panel()->isVisible());
        QVERIFY(m_window->close());
        QCOMPARE(Settings().settingsPanelWidth(), 320);
    }

    // A broken or strange settings file gives the defaults, and the next
    // close writes a good one.
    void unusableSettingsGiveDefaults_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe[[[=\n\x01", 9);
        QTest::newRow("wrong types") << QByteArray(
            "[window]\ngeometry=hello\nsettingsPanelWidth=wide\nmoduleListHeight=tall\n");
        QTest::newRow("negative width") << QByteArray("[window]\nsettingsPanelWidth=-40\n");
        QTest::newRow("huge width") << QByteArray("[window]\nsettingsPanelWidth=99999999999\n");
        QTest::newRow("bad geometry") << QByteArray("[window]\ngeometry=@ByteArray(\\x1\\xd9\\xd0\\xcb)\n");
    }

    void unusableSettingsGiveDefaults()
    {
        QFETCH(QByteArray, content);
        m_window.reset();
        const QString fileName = Settings().fileName();
        {
            QFile file(fileName);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QCOMPARE(Settings().settingsPanelWidth(), 0);
        QCOMPARE(Settings().moduleListHeight(), 0);
        QVERIFY(Settings().windowGeometry().size() < 8);

        openWindow();
        const QRect available = m_window->screen()->availableGeometry();
        QVERIFY(available.contains(m_window->frameGeometry()));
        press(m_window.get(), shortcuts::module(0));
        QCOMPARE(panel()->width(), 287);
        QVERIFY(m_window->close());
        QCOMPARE(Settings().settingsPanelWidth(), 287);
        QVERIFY(!Settings().windowGeometry().isEmpty());
    }

    void windowHasItsIcon()
    {
        QVERIFY(!m_window->windowIcon().isNull());
        QVERIFY(!m_window->windowIcon().pixmap(32).isNull()); // needs the SVG plugin
        QVERIFY(!installQtTranslation(QDir::tempPath() + u"/no-such-folder"_s));
    }

    // A link clicked in the preview asks the desktop to open its address;
    // nothing moves the preview itself.
    void previewLinksOpenOutside()
    {
        auto *page = qobject_cast<PreviewPage *>(m_window->browser()->page());
        QVERIFY(page);
        QList<QUrl> opened;
        page->setUrlOpener([&](const QUrl &url) { opened << url; });

        const QString html
            = u"<body style='margin:0'>"
              "<a id='blank' href='https://shop.example.invalid/item?id=1' target='_blank'"
              " style='display:block;height:40px'>blank</a>"
              "<a id='same' href='http://shop.example.invalid/same' style='display:block;height:40px'>same</a>"
              "<a id='local' href='file:///etc/hostname' style='display:block;height:40px'>local</a>"
              "<a id='jump' href='#blank' style='display:block;height:40px'>jump</a></body>"_s;
        QSignalSpy loaded(m_window->browser(), &QWebEngineView::loadFinished);

        // A page's script moves nothing and opens nothing.
        m_window->preview(u"<p id='p'>stays</p><script>setTimeout(function () {"
                          " location.href = 'https://elsewhere.example.invalid/'; }, 50);</script>"_s);
        QVERIFY(loaded.wait(30000));
        const QUrl previewUrl = m_window->browser()->url();
        QVERIFY(previewUrl.isLocalFile());
        QTest::qWait(500);
        QCOMPARE(test::scriptText(m_window->browser(), u"document.getElementById('p').textContent"_s), u"stays"_s);
        QVERIFY(opened.isEmpty());

        m_window->preview(html);
        QVERIFY(loaded.wait(30000));

        QWidget *surface = m_window->browser()->focusProxy();
        QVERIFY(surface);
        const auto clickLink = [&](const QString &id) {
            const QString box = test::scriptText(
                m_window->browser(),
                u"(function(){ var r = document.getElementById('%1').getBoundingClientRect();"
                " return Math.round(r.left + 10) + ',' + Math.round(r.top + r.height / 2); })()"_s.arg(id));
            const QStringList xy = box.split(u',');
            QCOMPARE(xy.size(), 2);
            QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(xy.at(0).toInt(), xy.at(1).toInt()));
        };
        clickLink(u"blank"_s);
        QTRY_COMPARE_WITH_TIMEOUT(opened.size(), 1, 10000);
        QCOMPARE(opened.at(0), QUrl(u"https://shop.example.invalid/item?id=1"_s));
        clickLink(u"same"_s);
        QTRY_COMPARE_WITH_TIMEOUT(opened.size(), 2, 10000);
        QCOMPARE(opened.at(1), QUrl(u"http://shop.example.invalid/same"_s));
        clickLink(u"local"_s);
        clickLink(u"jump"_s);
        QTest::qWait(300);
        QCOMPARE(opened.size(), 2);
        QCOMPARE(m_window->browser()->url().adjusted(QUrl::RemoveFragment), previewUrl);
        QCOMPARE(test::scriptText(m_window->browser(), u"document.getElementById('same').textContent"_s), u"same"_s);
    }
};

int main(int argc, char *argv[])
{
    // Settings go to a scratch folder, never the user's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    prepareBrowserEnvironment();
    QApplication app(argc, argv);
    TstDesktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktop.moc"
