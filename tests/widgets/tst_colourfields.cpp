#include "app/mainwindow.h"
#include "modules/catalog.h"
#include "widgets/colourfields.h"
#include "widgets/dialogs.h"
#include "widgets/modulepage.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestColourFields : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { orv::dialogs::setTestMode(true); }

    void init()
    {
        m_window = std::make_unique<orv::MainWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_offered.clear();
        m_window->colourFields()->setChooser([this](const QColor &initial) {
            m_offered.append(initial);
            return m_answer;
        });
    }

    void hexText_data()
    {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QString>("text");
        QTest::newRow("black") << QColor(0, 0, 0) << u"#000000"_s;
        QTest::newRow("white") << QColor(255, 255, 255) << u"#FFFFFF"_s;
        QTest::newRow("single digit byte") << QColor(0, 10, 0) << u"#000A00"_s;
        QTest::newRow("order red green blue") << QColor(128, 128, 255) << u"#8080FF"_s;
        QTest::newRow("grey") << QColor(243, 243, 243) << u"#F3F3F3"_s;
    }

    void hexText()
    {
        QFETCH(QColor, colour);
        QFETCH(QString, text);
        QCOMPARE(orv::colourToHexText(colour), text);
    }

    void everyColourFieldHasItsHandler()
    {
        int colourFields = 0;
        for (const orv::PageSpec *pageSpec : orv::catalog::pages()) {
            for (const orv::FieldSpec &f : pageSpec->fields) {
                if (f.kind != orv::FieldKind::Colour)
                    continue;
                ++colourFields;
                QLineEdit *edit = field(f.name);
                QVERIFY2(edit, qPrintable(f.name));
                QVERIFY2(edit->findChild<QObject *>(f.name + u"DblClick"_s), qPrintable(f.name));
            }
        }
        QVERIFY(colourFields >= 5);
    }

    void confirmedColourBecomesTextAndBackground()
    {
        QLineEdit *edit = field(u"edt28"_s);
        const QColor textColour = edit->palette().color(QPalette::Text);
        m_answer = QColor(0x12, 0xab, 0x0c);
        doubleClick(edit);
        QCOMPARE(m_offered, QList<QColor>{QColor(Qt::black)});
        QCOMPARE(edit->text(), u"#12AB0C"_s);
        QCOMPARE(edit->palette().color(QPalette::Base), QColor(0x12, 0xab, 0x0c));
        QCOMPARE(edit->palette().color(QPalette::Text), textColour);
        QVERIFY(m_window->workspace()->buffer().isEmpty());

        // Typing afterwards changes the text, not the background.
        edit->setText(u"red"_s);
        QCOMPARE(edit->palette().color(QPalette::Base), QColor(0x12, 0xab, 0x0c));
    }

    void cancelChangesNothing()
    {
        QLineEdit *edit = field(u"edt1"_s);
        const QColor background = edit->palette().color(QPalette::Base);
        m_answer.reset();
        doubleClick(edit);
        QCOMPARE(m_offered.size(), 1);
        QCOMPARE(edit->text(), u"#F3F3F3"_s);
        QCOMPARE(edit->palette().color(QPalette::Base), background);
        QCOMPARE(m_window->colourFields()->lastConfirmed(), QColor(Qt::black));
    }

    void secondFieldOpensPresetToLastColour()
    {
        m_answer = QColor(128, 128, 128);
        doubleClick(field(u"edt1"_s));
        m_answer = QColor(1, 2, 3);
        doubleClick(field(u"edt4"_s));
        m_answer.reset();
        doubleClick(field(u"edt2"_s));
        QCOMPARE(m_offered, (QList<QColor>{QColor(Qt::black), QColor(128, 128, 128), QColor(1, 2, 3)}));
        QCOMPARE(field(u"edt1"_s)->text(), u"#808080"_s);
        QCOMPARE(field(u"edt4"_s)->text(), u"#010203"_s);
        QCOMPARE(field(u"edt2"_s)->text(), u"#8080FF"_s);
    }

    // The double-click is told in the tool tip and the accessible
    // description; Alt+Down and F4 open the dialog as well.
    void keysOpenTheDialogAndHintsSaySo()
    {
        QLineEdit *edit = field(u"edt5"_s);
        QVERIFY(edit->toolTip().contains(u"双击"_s));
        QCOMPARE(edit->accessibleDescription(), edit->toolTip());
        m_answer = QColor(9, 8, 7);
        QTest::keyClick(edit, Qt::Key_Down); // moves nothing, opens nothing
        QCOMPARE(m_offered.size(), 0);
        QTest::keyClick(edit, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(m_offered.size(), 1);
        QCOMPARE(edit->text(), u"#090807"_s);
        m_answer = QColor(1, 1, 1);
        QTest::keyClick(edit, Qt::Key_F4);
        QCOMPARE(m_offered.size(), 2);
        QCOMPARE(edit->text(), u"#010101"_s);
    }

    // The pop-up menu offers the shared colours; choosing one binds the field
    // as typing would: its page hears it, and Ctrl+Z there takes it back.
    void sharedColoursInTheMenu()
    {
        m_window->colourFields()->setSharedColours(
            {{u"主色"_s, u"#FF6600"_s}, {u"店铺名称"_s, u"甲店"_s}, {u"辅色"_s, u" #eee"_s}});
        QLineEdit *edit = field(u"edt28"_s);
        QContextMenuEvent request(QContextMenuEvent::Keyboard, {2, 2}, edit->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(edit, &request);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu->objectName(), u"colourFieldMenu"_s);
        QList<QAction *> offered;
        QStringList texts;
        for (QAction *action : menu->actions()) {
            if (action->text().startsWith(u"使用 "_s)) {
                offered.append(action);
                texts.append(action->text());
            }
        }
        QCOMPARE(texts, (QStringList{u"使用 主色"_s, u"使用 辅色"_s}));

        auto *page = qobject_cast<orv::ModulePage *>(edit->parentWidget());
        for (QWidget *w = edit; !page && w; w = w->parentWidget())
            page = qobject_cast<orv::ModulePage *>(w);
        QVERIFY(page);
        QSignalSpy edited(page, &orv::ModulePage::edited);
        const QString before = edit->text();
        offered[0]->trigger();
        menu->close();
        QCOMPARE(edit->text(), u"{{主色}}"_s);
        QCOMPARE(edited.size(), 1);
        QCOMPARE(edit->palette().color(QPalette::Base), QColor(0xFF, 0x66, 0x00));
        edit->undo();
        QCOMPARE(edit->text(), before);
    }

private:
    // The field of this component name, on its page.
    QLineEdit *field(const QString &name)
    {
        for (const orv::PageSpec *pageSpec : orv::catalog::pages()) {
            for (const orv::FieldSpec &f : pageSpec->fields) {
                if (f.name == name)
                    return m_window->page(pageSpec->id)->findChild<QLineEdit *>(name);
            }
        }
        return nullptr;
    }
    void doubleClick(QLineEdit *edit) { QTest::mouseDClick(edit, Qt::LeftButton); }

    std::unique_ptr<orv::MainWindow> m_window;
    QList<QColor> m_offered;
    std::optional<QColor> m_answer;
};

QTEST_MAIN(TestColourFields)
#include "tst_colourfields.moc"
