// The fields of the module pages as the user meets them: pasted text kept as
// it is, combo boxes that step from the item they show and keep their items,
// and Tab through every field in the form's order.

#include "app/mainwindow.h"
#include "app/startup.h"
#include "core/linelist.h"
#include "modules/catalog.h"
#include "support/windowtest.h"
#include "widgets/dialogs.h"
#include "widgets/modulepage.h"
#include "widgets/radiogroup.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;
using orv::test::child;

namespace {

const QChar nbsp(0x00A0);

// Where a widget sits on its page, for reading order: top to bottom, and left
// to right within a row.
struct Place {
    int y;
    int x;
};

bool readsBefore(const Place &a, const Place &b)
{
    return a.y + 4 < b.y || (qAbs(a.y - b.y) <= 4 && a.x <= b.x);
}

} // namespace

class TstModulePageFields : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> m_window;

    ModulePage *page(const QString &id) const { return m_window->page(id); }
    void show(const QString &id)
    {
        test::click(*m_window, catalog::findPage(id)->navButton);
        QCOMPARE(child<QStackedWidget>(*m_window, u"pgc1"_s)->currentWidget()->objectName(), id);
    }

    // The field, tab bar or button a focus stop belongs to on the page.
    static QWidget *stopOf(const ModulePage &modulePage, QWidget *focus)
    {
        for (QWidget *w = focus; w && w != &modulePage; w = w->parentWidget()) {
            for (const FieldSpec &f : modulePage.pageSpec().fields) {
                if (w == modulePage.fieldWidget(f.key))
                    return w;
            }
            if (qobject_cast<QTabBar *>(w) || qobject_cast<QPushButton *>(w))
                return w;
        }
        return nullptr;
    }

    // Presses Tab from the focus until it leaves the page or comes round
    // again; the stops in the order reached.
    QList<QWidget *> tabWalk(const ModulePage &modulePage)
    {
        QList<QWidget *> stops;
        for (int presses = 0; presses < 100; ++presses) {
            QWidget *stop = stopOf(modulePage, QApplication::focusWidget());
            if (!stop || (stops.contains(stop) && stops.last() != stop))
                break;
            if (stops.isEmpty() || stops.last() != stop) // the items of a radio group are one field
                stops << stop;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        return stops;
    }

private slots:
    void initTestCase() { dialogs::setTestMode(true); }

    void init()
    {
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        dialogs::takeShown();
    }

    void cleanup() { m_window.reset(); }

    // Pasted no-break spaces stay what they are: in the field, in its value
    // and through a generation that writes the cleaned text back.
    void memosKeepNoBreakSpaces()
    {
        show(u"tsguanlian"_s);
        ModulePage *related = page(u"tsguanlian"_s);
        auto *titles = child<QPlainTextEdit>(*m_window, u"mmoone"_s);
        const QString pasted = u"春季"_s + nbsp + u"新款|夏装|秋装|冬装"_s;
        titles->setPlainText(pasted);
        QCOMPARE(related->value(u"titles"_s), pasted);

        test::choose(*m_window, u"rgleixing"_s, 0);
        test::click(*related, u"btn14"_s);
        QVERIFY(dialogs::takeShown().isEmpty());
        QCOMPARE(titles->document()->toRawText(), pasted);
        const QString fragment = m_window->workspace()->buffer().text();
        const QString firstTitle = u">春季"_s + nbsp + u"新款</div>"_s;
        QVERIFY2(fragment.contains(firstTitle), qPrintable(fragment));
        QVERIFY(fragment.indexOf(u">夏装</div>"_s) > fragment.indexOf(firstTitle));
        QVERIFY(!fragment.contains(u">新款</div>"_s));

        // Line and paragraph separators are line breaks, and only they.
        titles->setPlainText(u"a"_s + QChar(QChar::LineSeparator) + u"b"_s + nbsp + u"c\nd"_s);
        QCOMPARE(related->value(u"titles"_s), u"a\r\nb"_s + nbsp + u"c\r\nd"_s);
        related->setValue(u"titles"_s, u"x"_s + nbsp + u"\r\ny"_s);
        QCOMPARE(titles->document()->toRawText(), u"x"_s + nbsp + QChar(QChar::ParagraphSeparator) + u"y"_s);
    }

    // Every combo box starts at the item its text shows, so Down steps to
    // the next item; a text set later moves the current item with it.
    void combosStepFromTheirText()
    {
        int combos = 0;
        for (const PageSpec *pageSpec : catalog::pages()) {
            for (const FieldSpec &f : pageSpec->fields) {
                if (f.kind != FieldKind::Combo)
                    continue;
                ++combos;
                auto *combo = qobject_cast<QComboBox *>(page(pageSpec->id)->fieldWidget(f.key));
                QVERIFY(combo);
                const int at = f.items.indexOf(f.defaultText);
                QCOMPARE(combo->currentIndex(), at);
                QCOMPARE(combo->currentText(), f.defaultText);
                QCOMPARE(combo->insertPolicy(), QComboBox::NoInsert);
                if (at < 0 || at + 1 >= f.items.size())
                    continue;
                show(pageSpec->id);
                combo->setFocus();
                QTest::keyClick(combo, Qt::Key_Down);
                QCOMPARE(page(pageSpec->id)->value(f.key), f.items.at(at + 1));
            }
        }
        QVERIFY(combos >= 5);

        ModulePage *display = page(u"tszhanshi"_s);
        auto *count = child<QComboBox>(*m_window, u"cbb3"_s);
        display->setValue(u"count"_s, u"9"_s);
        QCOMPARE(count->currentIndex(), count->findText(u"9"_s));
        display->setValue(u"count"_s, u"13"_s); // no such item
        QCOMPARE(count->currentIndex(), -1);
        QCOMPARE(display->value(u"count"_s), u"13"_s);
        display->setValue(u"count"_s, u"3"_s);
        QCOMPARE(count->currentIndex(), 0);
        QCOMPARE(display->value(u"count"_s), u"3"_s);
    }

    // Return takes the typed text without adding it to the items.
    void typedComboTextsDoNotPileUp()
    {
        show(u"tszhanshi"_s);
        auto *count = child<QComboBox>(*m_window, u"cbb3"_s);
        const int items = count->count();
        count->setFocus();
        for (const QString &typed : {u"2"_s, u"20"_s, u"2"_s}) {
            count->lineEdit()->selectAll();
            QTest::keyClicks(count->lineEdit(), typed);
            QTest::keyClick(count, Qt::Key_Return);
            QCOMPARE(page(u"tszhanshi"_s)->value(u"count"_s), typed);
        }
        QCOMPARE(count->count(), items);
    }

    // Tab reaches every field of every page, in the form's reading order,
    // then the page's buttons; a tabbed page's other tabs are one arrow key
    // away on its tab bar.
    void tabReachesEveryField()
    {
        for (const PageSpec *pageSpec : catalog::pages()) {
            show(pageSpec->id);
            ModulePage *modulePage = page(pageSpec->id);
            QWidget *first = modulePage->nextInFocusChain();
            while (first != modulePage
                   && !(first->isVisible() && first->focusPolicy() & Qt::TabFocus && modulePage->isAncestorOf(first)))
                first = first->nextInFocusChain();
            QVERIFY2(first != modulePage, qPrintable(pageSpec->id));
            first->setFocus(Qt::TabFocusReason);

            QSet<QWidget *> reached;
            QList<QWidget *> stops = tabWalk(*modulePage);
            for (;;) {
                // Reading order within the walk.
                for (qsizetype i = 1; i < stops.size(); ++i) {
                    const QPoint a = stops.at(i - 1)->mapTo(modulePage, QPoint());
                    const QPoint b = stops.at(i)->mapTo(modulePage, QPoint());
                    QVERIFY2(readsBefore({a.y(), a.x()}, {b.y(), b.x()}),
                             qPrintable(pageSpec->id + u": "_s + stops.at(i - 1)->objectName() + u" before "_s
                                        + stops.at(i)->objectName()));
                }
                for (QWidget *stop : stops)
                    reached.insert(stop);
                QVERIFY2(!stops.isEmpty() && qobject_cast<QPushButton *>(stops.last()), qPrintable(pageSpec->id));
                // The next tab of a tab widget, chosen from its tab bar.
                QTabBar *bar = nullptr;
                for (QWidget *stop : stops) {
                    if (auto *b = qobject_cast<QTabBar *>(stop); b && b->currentIndex() + 1 < b->count())
                        bar = b;
                }
                if (!bar)
                    break;
                bar->setFocus(Qt::TabFocusReason);
                QTest::keyClick(bar, Qt::Key_Right);
                stops = tabWalk(*modulePage);
            }
            for (const FieldSpec &f : pageSpec->fields)
                QVERIFY2(reached.contains(modulePage->fieldWidget(f.key)), qPrintable(pageSpec->id + u' ' + f.name));
            QVERIFY(reached.contains(child(*modulePage, pageSpec->generateButton)));
            QVERIFY(reached.contains(child(*modulePage, pageSpec->addButton)));
        }
    }
};

int main(int argc, char *argv[])
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    prepareBrowserEnvironment();
    QApplication app(argc, argv);
    TstModulePageFields test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_modulepagefields.moc"
