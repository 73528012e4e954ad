// The window on a 1366×768 laptop screen: it opens within the screen, can be
// made shorter than its pages without losing a button (they scroll), the
// settings panel narrows to what its fields need, and an opened project's
// module list shows its entries and buttons beside the page's form.

#include "app/mainwindow.h"
#include "app/startup.h"
#include "core/modulelistmodel.h"
#include "modules/catalog.h"
#include "support/golden.h"
#include "support/windowtest.h"
#include "widgets/dialogs.h"
#include "widgets/modulelistpanel.h"
#include "widgets/modulepage.h"
#include "widgets/scrollcolumn.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;
using orv::test::child;

class TstSmallScreen : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> m_window;

    QWidget *panel() const { return child(*m_window, u"pnl4"_s); }

    // Scrolls a button into view where it sits in a scrolling column; then
    // the whole of it must show in the window.
    void verifyReachable(QWidget *button)
    {
        for (QWidget *w = button->parentWidget(); w; w = w->parentWidget()) {
            if (auto *column = qobject_cast<ScrollColumn *>(w)) {
                column->ensureWidgetVisible(button, 0, 0);
                const QRect inViewport(button->mapTo(column->viewport(), QPoint()), button->size());
                QVERIFY2(column->viewport()->rect().contains(inViewport), qPrintable(button->objectName()));
            }
        }
        QVERIFY2(button->isVisible(), qPrintable(button->objectName()));
        const QRect inWindow(button->mapTo(m_window.get(), QPoint()), button->size());
        QVERIFY2(m_window->rect().contains(inWindow), qPrintable(button->objectName()));
    }

private slots:
    void initTestCase() { dialogs::setTestMode(true); }

    void init()
    {
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup() { m_window.reset(); }

    void opensWithinTheScreen()
    {
        const QRect available = m_window->screen()->availableGeometry();
        QCOMPARE(available.size(), QSize(1366, 768));
        QVERIFY2(
            available.contains(m_window->frameGeometry()),
            qPrintable(
                u"%1,%2 %3x%4"_s.arg(m_window->x()).arg(m_window->y()).arg(m_window->width()).arg(m_window->height())));
        QVERIFY(m_window->width() > 1000); // and uses it
    }

    // Every button of the window can be brought into view, also in a window
    // much shorter than the old minimum of about 790 pixels.
    void everyButtonReachable_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("as opened") << QSize();
        QTest::newRow("short") << QSize(1024, 480);
    }

    void everyButtonReachable()
    {
        QFETCH(QSize, size);
        if (size.isValid()) {
            m_window->resize(size);
            QTRY_COMPARE(m_window->size(), size);
        }
        for (const PageSpec *page : catalog::pages()) {
            QWidget *navigation = child(*m_window, page->navButton);
            verifyReachable(navigation);
            QTest::mouseClick(navigation, Qt::LeftButton);
            QCoreApplication::processEvents();
            for (const QString &name : {page->generateButton, page->addButton})
                verifyReachable(child(*m_window->page(page->id), name));
        }
        for (const QString &name : {u"btn2"_s, u"btntiqu"_s, u"pnl18"_s})
            verifyReachable(child(*m_window, name));
        // A column cut short shows its scroll bar beside its content.
        for (const ScrollColumn *column : m_window->findChildren<ScrollColumn *>()) {
            const bool cut = column->widget()->height() > column->viewport()->height();
            QCOMPARE(column->verticalScrollBar()->isVisible(), cut);
            if (cut)
                QVERIFY(column->viewport()->width() >= column->widget()->minimumSizeHint().width());
        }
    }

    // A project of nine entries opened as the window opens: six entries and
    // the list's buttons show without scrolling anything, also while an entry
    // is edited (its bar over the form).
    void moduleListShowsWithoutScrolling_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::newRow("opened") << false;
        QTest::newRow("editing") << true;
    }

    void moduleListShowsWithoutScrolling()
    {
        QFETCH(bool, editing);
        dialogs::queueFileName(test::dataPath(u"../../examples/sample.orvanta"_s));
        child<QAction>(*m_window, u"actionOpen"_s)->trigger();
        QCOMPARE(m_window->moduleList()->model()->count(), 9);
        auto *list = child<QTableView>(*m_window, u"lv1"_s);
        if (editing) {
            list->selectRow(2);
            child<QAction>(*m_window, u"editEntry"_s)->trigger();
            QVERIFY(child(*m_window, u"editBar"_s)->isVisible());
        }
        QCoreApplication::processEvents();
        const QRect sixth = list->visualRect(list->model()->index(5, 0));
        QVERIFY2(list->viewport()->rect().contains(sixth),
                 qPrintable(u"%1 rows"_s.arg(double(list->viewport()->height()) / sixth.height())));
        for (const QString &name : {u"btn2"_s, u"btntiqu"_s, u"btnCheck"_s, u"lv1"_s}) {
            QWidget *widget = child(*m_window, name);
            for (QWidget *w = widget->parentWidget(); w; w = w->parentWidget()) {
                if (auto *column = qobject_cast<ScrollColumn *>(w)) {
                    const QRect inViewport(widget->mapTo(column->viewport(), QPoint()), widget->size());
                    QVERIFY2(column->viewport()->rect().contains(inViewport), qPrintable(name));
                }
            }
            QVERIFY(m_window->rect().contains(QRect(widget->mapTo(m_window.get(), QPoint()), widget->size())));
        }
        // The form over the list scrolls to its buttons.
        const auto *shown = qobject_cast<ModulePage *>(child<QStackedWidget>(*m_window, u"pgc1"_s)->currentWidget());
        verifyReachable(child(*shown, shown->pageSpec().generateButton));
    }

    // The splitter narrows the panel to the width its fields need, no further,
    // and the toggle still hides and shows it at that width.
    void panelNarrowsToItsContent()
    {
        test::click(*m_window, u"btnfengetiao"_s);
        QCOMPARE(panel()->width(), 287);
        auto *splitter = child<QSplitter>(*m_window, u"middle"_s);
        splitter->setSizes({40, splitter->width() - 40});
        const int narrowest = panel()->width();
        QVERIFY2(narrowest < 287, qPrintable(QString::number(narrowest)));
        QCOMPARE(narrowest, panel()->minimumSizeHint().width());

        for (const PageSpec *page : catalog::pages()) {
            test::click(*m_window, page->navButton);
            QCoreApplication::processEvents();
            QCOMPARE(panel()->width(), narrowest);
            for (const FieldSpec &f : page->fields) {
                QWidget *field = m_window->page(page->id)->fieldWidget(f.key);
                QVERIFY2(field->width() >= field->minimumSizeHint().width(), qPrintable(f.name));
            }
        }

        test::click(*m_window, u"pnl18"_s); // 》: the panel is shown already
        test::click(*m_window, u"pnl18"_s); // 《 hides it
        QVERIFY(!panel()->isVisible());
        test::click(*m_window, u"pnl18"_s);
        QVERIFY(panel()->isVisible());
        QCOMPARE(panel()->width(), narrowest);
    }
};

int main(int argc, char *argv[])
{
    // A laptop's screen, and settings in a scratch folder.
    QTemporaryDir scratch;
    const QString screens = scratch.filePath(u"screens.json"_s);
    {
        QFile file(screens);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write("{ \"screens\": [ { \"name\": \"laptop\", \"x\": 0, \"y\": 0, \"width\": 1366,"
                   " \"height\": 768, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1 } ] }");
    }
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.path()));
    prepareBrowserEnvironment();
    QApplication app(argc, argv);
    TstSmallScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_smallscreen.moc"
