// The page check in the window: the 检查 button and 编辑 → 检查页面 (F7), the
// findings panel under the preview and the count badge, a finding selecting
// its entry, the question before copying a page with errors, the rendered
// width, and the pictures fetched from a loopback server, with cancel.

#include "app/mainwindow.h"
#include "app/pagecheckcontroller.h"
#include "core/modulelistmodel.h"
#include "support/browsertest.h"
#include "support/loopbackserver.h"
#include "support/testjpeg.h"
#include "support/testpictures.h"
#include "support/windowtest.h"
#include "widgets/dialogs.h"
#include "widgets/findingsmodel.h"
#include "widgets/findingspanel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace Qt::StringLiterals;
using orv::MainWindow;
using orv::test::child;
using Server = orv::test::LoopbackServer;
namespace dialogs = orv::dialogs;

namespace {

// A page with an error (a block wider than a Taobao page) and a warning.
const QString wideBlock = u"<div style=\"width:790px\">x</div>\r\n<a href=\"#\">buy</a>"_s;

QStringList shownTexts()
{
    QStringList out;
    for (const dialogs::Shown &s : dialogs::takeShown())
        out.append(s.text);
    return out;
}

} // namespace

class TstCheckWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindow> m_window;

    orv::FindingsPanel *panel() const { return child<orv::FindingsPanel>(*m_window, u"findingsPanel"_s); }
    QTableView *findingsList() const { return child<QTableView>(*m_window, u"findingsList"_s); }
    QToolButton *badge() const { return child<QToolButton>(*m_window, u"checkBadge"_s); }
    QTableView *moduleList() const { return child<QTableView>(*m_window, u"lv1"_s); }

    // The shown findings as "rule's name, severity, entry, line".
    QStringList rows() const
    {
        const QAbstractItemModel *model = findingsList()->model();
        QStringList out;
        for (int r = 0; r < model->rowCount(); ++r) {
            QStringList cells;
            for (int c : {orv::FindingsModel::RuleColumn, orv::FindingsModel::SeverityColumn,
                          orv::FindingsModel::EntryColumn, orv::FindingsModel::LineColumn})
                cells.append(model->index(r, c).data().toString());
            out.append(cells.join(u' '));
        }
        return out;
    }

    QString previewAndWait(const QString &text)
    {
        QSignalSpy loaded(m_window->browser(), &QWebEngineView::loadFinished);
        m_window->workspace()->buffer().setText(text);
        m_window->preview();
        if (!loaded.wait(30000) && loaded.isEmpty())
            return u"not loaded"_s;
        return {};
    }

    int scriptValue(const QString &script) const
    {
        const std::optional<QVariant> answer = orv::test::scriptAnswer(m_window->browser(), script);
        return answer ? answer->toInt() : -2;
    }

private slots:
    void initTestCase()
    {
        qputenv("no_proxy", "127.0.0.1");
        dialogs::setTestMode(true);
    }

    void init()
    {
        dialogs::takeShown();
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup() { m_window.reset(); }

    // 检查 beside 汇总 and 提取代码, and 编辑 → 检查页面 on F7, check the buffer
    // at the shop's width; the panel lists each finding, the badge counts them.
    void buttonAndMenuEntry()
    {
        auto *check = child<QPushButton>(*m_window, u"btnCheck"_s);
        QCOMPARE(check->text(), u"检查"_s);
        QVERIFY2(check->toolTip().contains(u"F7"_s), qPrintable(check->toolTip()));
        QCOMPARE(check->parentWidget(), child<QPushButton>(*m_window, u"btntiqu"_s)->parentWidget());
        QCOMPARE(check->parentWidget(), child<QPushButton>(*m_window, u"btn2"_s)->parentWidget());
        auto *action = child<QAction>(*m_window, u"actionCheckPage"_s);
        QCOMPARE(action->text(), u"检查页面"_s);
        QCOMPARE(action->shortcut(), QKeySequence(Qt::Key_F7));
        QVERIFY(child<QMenu>(*m_window, u"menuEdit"_s)->actions().contains(action));
        QVERIFY(!panel()->isVisible());
        QVERIFY(!badge()->isVisible());

        m_window->resize(1400, 900);
        m_window->workspace()->buffer().setText(wideBlock);
        check->click();
        QVERIFY(panel()->isVisible());
        // The list opens under the preview, which keeps most of the height,
        // however the window was resized while the list was hidden.
        QVERIFY2(m_window->browser()->height() >= 2 * panel()->height(),
                 qPrintable(u"%1 over %2"_s.arg(m_window->browser()->height()).arg(panel()->height())));
        QCOMPARE(rows(), (QStringList{u"超宽 错误  1"_s, u"占位链接 警告  2"_s}));
        QCOMPARE(findingsList()->model()->index(0, orv::FindingsModel::MessageColumn).data().toString(),
                 u"宽 790 像素，超出页面宽度 750 像素"_s);
        QVERIFY(!findingsList()->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
        QVERIFY(badge()->isVisible());
        QCOMPARE(badge()->text(), u"1 错误 · 1 警告"_s);
        QVERIFY(shownTexts().isEmpty());
        QCOMPARE(m_window->workspace()->buffer().text(), wideBlock); // the check changes nothing

        // In a Tmall shop the block fits; F7 checks again.
        orv::test::choose(*m_window, u"rg1"_s, 1);
        QTest::keyClick(m_window.get(), Qt::Key_F7);
        QCOMPARE(rows(), QStringList{u"占位链接 警告  2"_s});
        QCOMPARE(badge()->text(), u"0 错误 · 1 警告"_s);
        QVERIFY(child<QLabel>(*m_window, u"findingsTitle"_s)->text().contains(u"790"_s));

        // A double-click shows the line.
        const QModelIndex first = findingsList()->model()->index(0, 0);
        const QPoint at = findingsList()->visualRect(first).center();
        QTest::mouseClick(findingsList()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(findingsList()->viewport(), Qt::LeftButton, {}, at);
        const QStringList shown = shownTexts();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().startsWith(u"第 2 行第 10 列：链接是占位地址：#\n\n<a href=\"#\">buy</a>"_s),
                 qPrintable(shown.first()));
    }

    // The window names every rule in Chinese, one name per rule id (the
    // command line and JSON keep the ids).
    void rulesHaveChineseNames()
    {
        QHash<QString, QString> nameOf;
        QList<orv::check::Finding> findings;
        for (const orv::check::Rule &r : orv::check::rules()) {
            QVERIFY2(
                std::any_of(r.name.cbegin(), r.name.cend(), [](QChar c) { return c.script() == QChar::Script_Han; }),
                qPrintable(r.id));
            QCOMPARE(nameOf.value(r.id, r.name), r.name);
            nameOf.insert(r.id, r.name);
            orv::check::Finding f;
            f.kind = r.kind;
            f.rule = r.id;
            findings.append(f);
        }
        QCOMPARE(QSet<QString>(nameOf.cbegin(), nameOf.cend()).size(), nameOf.size()); // no two alike
        orv::FindingsModel model;
        model.setFindings(findings);
        for (int row = 0; row < model.rowCount(); ++row)
            QCOMPARE(model.index(row, orv::FindingsModel::RuleColumn).data().toString(),
                     orv::check::rules().at(row).name);
    }

    // A fragment is checked at the width its page lays out for: the size
    // table is 750 wide in a Tmall shop too.
    void fragmentAtItsPageWidth()
    {
        orv::test::choose(*m_window, u"rg1"_s, 1);
        for (const auto &[navigation, generate, width] :
             {std::tuple(u"btnchima"_s, u"btn19"_s, 750), std::tuple(u"btnfengetiao"_s, u"btn15"_s, 790)}) {
            orv::test::click(*m_window, navigation);
            orv::test::click(*m_window, generate);
            QVERIFY(m_window->workspace()->buffer().source());
            orv::test::click(*m_window, u"btnCheck"_s);
            QCOMPARE(badge()->text(), u"0 错误 · 0 警告"_s);
            QVERIFY(child<QLabel>(*m_window, u"findingsTitle"_s)->text().contains(u"页面宽 %1 像素"_s.arg(width)));
        }
    }

    // In a summary every finding names its entry; selecting it selects the
    // entry in the module list, wherever the entry has moved since.
    void findingSelectsItsEntry()
    {
        orv::test::click(*m_window, u"btnfengetiao"_s);
        orv::test::click(*m_window, u"btn15"_s);
        orv::test::click(*m_window, u"btn8"_s);
        orv::test::click(*m_window, u"btnchima"_s);
        orv::test::click(*m_window, u"btn19"_s);
        orv::test::click(*m_window, u"btn6"_s);
        orv::test::click(*m_window, u"btnzidingyi"_s);
        m_window->workspace()->buffer().setText(u"<table width=\"900\"><tr><td>x</td></tr></table>"_s);
        orv::test::click(*m_window, u"btn13"_s);
        orv::test::click(*m_window, u"btn2"_s);
        dialogs::takeShown();

        orv::test::click(*m_window, u"btnCheck"_s);
        // Its line counts the entries' lines before it.
        const QString summary = m_window->workspace()->buffer().text();
        const int line = int(summary.first(summary.indexOf(u"<table width=\"900\""_s)).count(u"\r\n"_s)) + 1;
        QCOMPARE(rows(), QStringList{u"超宽 错误 3 [ 自定义 ] %1"_s.arg(line)});
        findingsList()->selectRow(0);
        QCOMPARE(moduleList()->selectionModel()->selectedRows().value(0).row(), 2);

        // Moving entries changes no buffer: the finding still finds its entry.
        child<QAction>(*m_window, u"N2"_s)->trigger(); // the selection stays, the entry moves
        moduleList()->selectRow(1);
        child<QAction>(*m_window, u"N2"_s)->trigger();
        moduleList()->clearSelection();
        findingsList()->clearSelection();
        findingsList()->selectRow(0);
        QCOMPARE(moduleList()->selectionModel()->selectedRows().value(0).row(), 0);
        QVERIFY(badge()->isVisible());
    }

    // The badge stays until the buffer holds another text.
    void badgeGoesWhenTheBufferChanges()
    {
        m_window->workspace()->buffer().setText(wideBlock);
        orv::test::click(*m_window, u"btnCheck"_s);
        m_window->workspace()->buffer().setText(wideBlock); // written again, the same
        QTest::qWait(50);
        QVERIFY(badge()->isVisible());
        QCOMPARE(rows().size(), 2);

        orv::test::click(*m_window, u"btnfengetiao"_s);
        orv::test::click(*m_window, u"btn15"_s);
        QTRY_VERIFY(!badge()->isVisible());
        QCOMPARE(rows(), QStringList());
        QCOMPARE(child<QLabel>(*m_window, u"findingsTitle"_s)->text(), u"代码已改变，请重新检查"_s);
        QVERIFY(!child<QPushButton>(*m_window, u"btnCheckPictures"_s)->isEnabled());
        QVERIFY(m_window->pageCheck()->shownFindings().isEmpty());
    }

    // 提取代码 on a page with errors shows them and asks; 仍然复制 copies,
    // 取消 does not. A page without errors is copied at once, as before.
    void copyAsksOnErrors()
    {
        const QString question = u"检查发现代码中有 1 个错误，详见预览区下方的检查结果。仍然复制代码吗？"_s;
        QGuiApplication::clipboard()->setText(u"before"_s);
        m_window->workspace()->buffer().setText(wideBlock);

        dialogs::queueAnswer(QMessageBox::Cancel);
        orv::test::click(*m_window, u"btntiqu"_s);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"before"_s);
        QVERIFY(panel()->isVisible());
        QCOMPARE(badge()->text(), u"1 错误 · 1 警告"_s);
        const QList<dialogs::Shown> asked = dialogs::takeShown();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.first().text, question);
        QCOMPARE(asked.first().icon, QMessageBox::Warning);

        dialogs::queueAnswer(QMessageBox::Yes);
        orv::test::click(*m_window, u"btntiqu"_s);
        QCOMPARE(QGuiApplication::clipboard()->text(), wideBlock);
        QCOMPARE(shownTexts(), (QStringList{question, u"代码提取完毕！"_s}));

        // Without errors: no question, and the panel stays as it was.
        m_window->workspace()->buffer().setText(u"<p>好的描述</p><a href=\"#\">x</a>"_s);
        QTRY_VERIFY(!badge()->isVisible());
        panel()->hide();
        orv::test::click(*m_window, u"btntiqu"_s);
        QCOMPARE(QGuiApplication::clipboard()->text(), m_window->workspace()->buffer().text());
        QCOMPARE(shownTexts(), QStringList{u"代码提取完毕！"_s});
        QVERIFY(!panel()->isVisible());
        QVERIFY(!badge()->isVisible());
    }

    // Once the preview shows the checked text, its rendered width is checked
    // too: padding, which the static check cannot see, makes it too wide.
    void renderedWidth()
    {
        QCOMPARE(previewAndWait(u"<div style=\"padding-left:800px\">x</div>"_s), QString());
        orv::test::click(*m_window, u"btnCheck"_s);
        QTRY_COMPARE_WITH_TIMEOUT(rows().size(), 1, 20000);
        QVERIFY2(rows().first().startsWith(u"超宽 错误"_s), qPrintable(rows().first()));
        QVERIFY(m_window->pageCheck()->shownFindings().first().message.startsWith(u"页面显示宽 80"_s));
        QCOMPARE(badge()->text(), u"1 错误 · 0 警告"_s);

        // A check before the preview has loaded gets it when it has.
        m_window->workspace()->buffer().setText(u"<p style=\"margin-left:760px\">x</p>"_s);
        QSignalSpy loaded(m_window->browser(), &QWebEngineView::loadFinished);
        m_window->preview();
        orv::test::click(*m_window, u"btnCheck"_s);
        QVERIFY(loaded.wait(30000) || !loaded.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(badge()->text(), u"1 错误 · 0 警告"_s, 20000);
    }

    // Once the preview shows the checked text, its links are measured too: a
    // link too low for a hot area and links that overlap are warned of, at
    // their lines.
    void linksLostOnThePhone()
    {
        const QString text = u"<p>x</p>\r\n<a href=\"https://shop.taobao.com/\" style=\"font-size:6px\">小</a>\r\n"
                             "<div style=\"position:relative;height:100px\"><a href=\"https://a.taobao.com/\" "
                             "style=\"display:block;height:100px\">A</a>\r\n<a href=\"https://b.taobao.com/\" "
                             "style=\"display:block;height:50px;margin-top:-50px\">B</a></div>"_s;
        QCOMPARE(previewAndWait(text), QString());
        orv::test::click(*m_window, u"btnCheck"_s);
        QTRY_COMPARE_WITH_TIMEOUT(rows().filter(u"手机链接"_s).size(), 2, 20000);
        QCOMPARE(rows().filter(u"手机链接"_s), (QStringList{u"手机链接 警告  2"_s, u"手机链接 警告  4"_s}));
    }

    // The measuring script: what a 750-pixel column holds, as the platform
    // shows it, leaving the page as it was.
    void renderedWidthScript_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<int>("width");
        QTest::newRow("full width table") << u"<table width=\"100%\"><tr><td>x</td></tr></table>"_s << 750;
        QTest::newRow("wide box clipped")
            << u"<div style=\"width:750px;overflow:hidden\"><div style=\"width:850px\">x</div></div>"_s << 750;
        QTest::newRow("overlay moved right")
            << u"<div style=\"width:350px;position:relative;left:500px\">x</div>"_s << 850;
        QTest::newRow("padding") << u"<div style=\"width:700px;padding:0 40px\">x</div>"_s << 780;
        QTest::newRow("a long word") << u"<p>"_s + QString(400, u'W') + u"</p>"_s << 0;
    }
    void renderedWidthScript()
    {
        QFETCH(QString, html);
        QFETCH(int, width);
        QCOMPARE(previewAndWait(html), QString());
        const int measured = scriptValue(orv::PageCheckController::renderedWidthScript(750));
        if (width > 0)
            QCOMPARE(measured, width);
        else
            QVERIFY2(measured > 750, qPrintable(QString::number(measured)));
        QCOMPARE(scriptValue(u"document.body.hasAttribute('style') || document.documentElement.hasAttribute('style')"
                             " || document.querySelectorAll('style').length"_s),
                 0);
    }

    // 检查图片 fetches every picture once and adds its findings.
    void pictures()
    {
        Server server;
        server.route("/wide.png", Server::Behaviour::Reply, Server::response(200, orv::test::png(790, 400)));
        server.route("/fits.jpg", Server::Behaviour::Reply, Server::response(200, orv::test::makeJpeg(750, 900)));
        const QString page = u"<p><img src=\"%1\"><img src=\"%2\">\r\n<img src=\"%3\"><img src=\"%1\"></p>"_s.arg(
            server.url(u"/wide.png"_s), server.url(u"/fits.jpg"_s), server.url(u"/gone.jpg"_s));
        m_window->workspace()->buffer().setText(page);
        orv::test::click(*m_window, u"btnCheck"_s);
        const int before = int(rows().size());
        orv::test::click(*m_window, u"btnCheckPictures"_s);
        QStringList pictureRows;
        for (const QString &row : rows()) {
            if (row.startsWith(u"图片超宽"_s) || row.startsWith(u"图片失效"_s))
                pictureRows.append(row);
        }
        QCOMPARE(pictureRows, (QStringList{u"图片超宽 警告  1"_s, u"图片失效 错误  2"_s, u"图片超宽 警告  2"_s}));
        QCOMPARE(rows().size(), before + 3);
        QCOMPARE(server.requests("/wide.png"), 1);
        QVERIFY(badge()->text().startsWith(u"1 错误"_s));
        QVERIFY(!child<QPushButton>(*m_window, u"btnCheckPictures"_s)->isEnabled());
        QVERIFY(shownTexts().isEmpty());
    }

    // After half a second the progress shows "正在检查图片 i / N"; 取消 ends
    // the fetch and adds nothing.
    void cancelPictures()
    {
        Server server;
        server.route("/silent.jpg", Server::Behaviour::Silent, {});
        m_window->workspace()->buffer().setText(u"<p><img src=\"%1\"></p>"_s.arg(server.url(u"/silent.jpg"_s)));
        orv::test::click(*m_window, u"btnCheck"_s);
        const QStringList before = rows();

        QString label;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            auto *progress = m_window->findChild<QProgressDialog *>(u"fetchProgress"_s);
            if (progress && progress->isVisible()) {
                label = progress->labelText();
                progress->findChild<QPushButton *>()->click();
            }
        });
        watch.start(50);
        QElapsedTimer clock;
        clock.start();
        orv::test::click(*m_window, u"btnCheckPictures"_s);
        watch.stop();
        QCOMPARE(label, u"正在检查图片 0 / 1"_s);
        QVERIFY2(clock.elapsed() >= 500 && clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(rows(), before);
        QVERIFY(child<QPushButton>(*m_window, u"btnCheckPictures"_s)->isEnabled());
    }
};

QTEST_MAIN(TstCheckWindow)
#include "tst_checkwindow.moc"
