#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "app/modulepage.h"
#include "app/radiogroup.h"
#include "app/startup.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;

// The header module pages inside the main window: the style choice and the
// metrics it shares with the shop type and the combo offer.
class TstHeaderPages : public QObject {
    Q_OBJECT

private:
    QString label(const QString &name) const { return m_window->findChild<QLabel *>(name)->text(); }
    QStringList metricLabels() const
    {
        return {label(u"lblzongkuan"_s), label(u"lblzonggao"_s), label(u"lbltukuan"_s), label(u"lbltugao"_s)};
    }
    void click(const QString &buttonName)
    {
        auto *button = m_window->findChild<QPushButton *>(buttonName);
        QVERIFY2(button, qPrintable(buttonName));
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // Chooses an item of a radio group as the user does, by clicking it.
    void choose(const QString &groupName, int item)
    {
        auto *group = m_window->findChild<RadioGroup *>(groupName);
        QVERIFY(group);
        const QList<QRadioButton *> buttons = group->findChildren<QRadioButton *>();
        QVERIFY(item < buttons.size());
        QTest::mouseClick(buttons.at(item), Qt::LeftButton);
    }
    ModulePage *guanlian() const { return m_window->page(u"tsguanlian"_s); }

    std::unique_ptr<MainWindow> m_window;

private slots:
    void init()
    {
        dialogs::setTestMode(true);
        dialogs::takeShown();
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        click(u"btnguanlian"_s);
    }

    void cleanup() { m_window.reset(); }

    void styleChoiceAndShopTypeWriteMetrics()
    {
        QCOMPARE(guanlian()->value(u"rgleixing"_s), u"-1"_s);
        QCOMPARE(metricLabels(), (QStringList{u"750"_s, u"0"_s, u"0"_s, u"0"_s}));
        choose(u"rgleixing"_s, 0);
        QCOMPARE(metricLabels(), (QStringList{u"750"_s, u"310"_s, u"180"_s, u"270"_s}));
        choose(u"rgleixing"_s, 1);
        QCOMPARE(metricLabels(), (QStringList{u"750"_s, u"360"_s, u"243"_s, u"320"_s}));
        // The shop type clears the style and its metrics.
        choose(u"rg1"_s, 1);
        QCOMPARE(metricLabels(), (QStringList{u"790"_s, u"0"_s, u"0"_s, u"0"_s}));
        QCOMPARE(guanlian()->value(u"rgleixing"_s), u"-1"_s);
        QCOMPARE(guanlian()->entryNameSuffix(), QString());

        choose(u"rgleixing"_s, 1);
        QCOMPARE(metricLabels(), (QStringList{u"790"_s, u"360"_s, u"256"_s, u"270"_s}));
    }

    void generateWithoutStyleReminds()
    {
        m_window->buffer().setText(u"earlier"_s);
        auto *links = m_window->findChild<QPlainTextEdit *>(u"mmothree"_s);
        links->setPlainText(u"\n  #|#|#|#  \n"_s);
        click(u"btn14"_s);

        const QList<dialogs::Shown> shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().text, u"请选择生成类型后再生成代码！"_s);
        QCOMPARE(shown.first().caption, u"提示信息"_s);
        QCOMPARE(shown.first().icon, QMessageBox::NoIcon);
        QCOMPARE(m_window->buffer().text(), u"earlier"_s);
        QCOMPARE(links->toPlainText(), u"#|#|#|#"_s);
        QCOMPARE(metricLabels(), (QStringList{u"750"_s, u"0"_s, u"0"_s, u"0"_s}));
    }

    void comboOfferWidthAndRelatedSalesAfterIt()
    {
        choose(u"rgleixing"_s, 0);
        click(u"btndapei"_s);
        click(u"btn7"_s);
        QCOMPARE(label(u"lbltukuan"_s), u"220"_s);
        QVERIFY(m_window->buffer().text().startsWith(u"<div style=\"width:750px;"_s));

        // The related-sales cards keep the width of their style.
        click(u"btnguanlian"_s);
        click(u"btn14"_s);
        QVERIFY(dialogs::takeShown().isEmpty());
        QCOMPARE(metricLabels(), (QStringList{u"750"_s, u"310"_s, u"180"_s, u"270"_s}));
        QCOMPARE(m_window->buffer().text().count(u"<li style=\"width:180px;"_s), 4);
    }

    void addSteps()
    {
        QCOMPARE(guanlian()->addConfirmation(), u"确定要添加该板块？"_s);
        QCOMPARE(guanlian()->entryNameSuffix(), QString());
        choose(u"rgleixing"_s, 0);
        QCOMPARE(guanlian()->entryNameSuffix(), u"图文四列"_s);
        choose(u"rgleixing"_s, 1);
        QCOMPARE(guanlian()->entryNameSuffix(), u"图文三列"_s);
    }
};

int main(int argc, char *argv[])
{
    prepareBrowserEnvironment();
    QApplication app(argc, argv);
    TstHeaderPages test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_headerpages.moc"
