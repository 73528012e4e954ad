#include "app/dialogs.h"
#include "app/mainwindow.h"

#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace orv;
using namespace Qt::StringLiterals;

// The generate actions of these pages as the window runs them: the buffer, the
// preview file, the fields written back and the error box.
class TstModuleWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        dialogs::setTestMode(true);
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void customHtmlSetsBufferOnly()
    {
        const QString file = m_window->privateFolder() + u"/file.html"_s;
        QFile::remove(file);
        click(u"btnzidingyi"_s);
        m_window->findChild<QPlainTextEdit *>(u"mmo34"_s)->setPlainText(u"<p>a\nb\n"_s);
        click(u"btn23"_s);
        QCOMPARE(m_window->buffer().text(),
                 u"<table width=\"750\" border=\"0\" cellpadding=\"0\" cellspacing=\"0\"><tr><td><p>a\r\nb\r\n"
                 "</td></tr></table>"_s);
        QVERIFY(!QFile::exists(file));

        click(u"btnjiaoliu"_s);
        click(u"btn22"_s);
        QVERIFY(m_window->buffer().text().startsWith(u"<div style=\"width:750px;\">"_s));
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(written.readAll()), m_window->buffer().text());
        QVERIFY(dialogs::takeShown().isEmpty());
    }

    void displayFailureKeepsBuffer()
    {
        m_window->buffer().setText(u"previous"_s);
        click(u"btnzhanshi"_s);
        auto *memo = m_window->findChild<QPlainTextEdit *>(u"mmozhanshi"_s);
        memo->setPlainText(u"\n  a|b  \n\n"_s);
        m_window->findChild<QComboBox *>(u"cbb3"_s)->setEditText(u"abc"_s);
        click(u"btn1"_s);
        const QList<dialogs::Shown> shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().text, u"'abc' is not a valid integer value."_s);
        QCOMPARE(m_window->buffer().text(), u"previous"_s);
        QCOMPARE(memo->toPlainText(), u"a|b"_s);

        m_window->findChild<QComboBox *>(u"cbb3"_s)->setEditText(u"0"_s);
        click(u"btn1"_s);
        QVERIFY(dialogs::takeShown().isEmpty());
        QCOMPARE(m_window->buffer().text(), QString());
    }

private:
    void click(const QString &button)
    {
        auto *b = m_window->findChild<QPushButton *>(button);
        QVERIFY2(b, qPrintable(button));
        QTest::mouseClick(b, Qt::LeftButton);
    }

    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(TstModuleWindow)
#include "tst_modulewindow.moc"
