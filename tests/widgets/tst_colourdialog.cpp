// The real colour dialog behind the colour fields: Qt's texts in Chinese, and
// custom colours that last for the run only (Qt's settings file in a scratch
// folder keeps what it held before).

#include "app/application.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "support/windowtest.h"
#include "widgets/dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace orv;

namespace {

QString qtSettingsFile()
{
    return QSettings(QSettings::UserScope, u"QtProject"_s).fileName();
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TstColourDialog : public QObject {
    Q_OBJECT

private:
    QStringList m_buttons;
    QStringList m_labels;

    // Opens the dialog from a colour field; while it shows, notes its texts,
    // adds a custom colour and confirms red.
    void useDialog(MainWindow &window)
    {
        m_buttons.clear();
        m_labels.clear();
        QTimer::singleShot(0, this, [this] {
            auto *dialog = qobject_cast<QColorDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            for (const QPushButton *button : dialog->findChildren<QPushButton *>())
                m_buttons << button->text();
            for (const QLabel *label : dialog->findChildren<QLabel *>())
                m_labels << label->text();
            QColorDialog::setCustomColor(1, QColor(0x12, 0x34, 0x56));
            dialog->setCurrentColor(Qt::red);
            dialog->accept();
        });
        test::click(window, u"btnfengetiao"_s);
        QTest::mouseDClick(test::child<QLineEdit>(window, u"edt1"_s), Qt::LeftButton);
        QCOMPARE(test::child<QLineEdit>(window, u"edt1"_s)->text(), u"#FF0000"_s);
    }

private slots:
    void initTestCase() { dialogs::setTestMode(true); }

    void dialogSpeaksChinese()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        useDialog(window);
        for (const QString &text : {u"确定"_s, u"取消"_s, u"拾取屏幕颜色(&P)"_s, u"添加到自定义颜色(&A)"_s})
            QVERIFY2(m_buttons.contains(text), qPrintable(m_buttons.join(u", "_s)));
        for (const QString &text : {u"基本颜色(&B)"_s, u"自定义颜色(&C)"_s})
            QVERIFY2(m_labels.contains(text), qPrintable(m_labels.join(u", "_s)));
    }

    void customColoursLastForTheRun_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("other settings only") << QByteArray("[FileDialog]\nshortcuts=file:///srv\n");
        QTest::newRow("earlier custom colours")
            << QByteArray("[FileDialog]\nshortcuts=file:///home\n\n[Qt]\ncustomColors\\0=4278255360\n"
                          "customColors\\5=4294901760\n");
    }

    void customColoursLastForTheRun()
    {
        QFETCH(QByteArray, before);
        const QString file = qtSettingsFile();
        QFile::remove(file);
        if (!before.isEmpty()) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(before);
        }
        {
            MainWindow window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            useDialog(window);
            useDialog(window);
        }
        if (before.isEmpty()) {
            QVERIFY2(!QFile::exists(file), readAll(file).constData());
            return;
        }
        {
            QFile f(file + u".before"_s);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(before);
        }
        QSettings now(QSettings::UserScope, u"QtProject"_s);
        QSettings was(file + u".before"_s, QSettings::IniFormat);
        QCOMPARE(now.allKeys(), was.allKeys());
        for (const QString &key : was.allKeys())
            QCOMPARE(now.value(key), was.value(key));
    }
};

int main(int argc, char *argv[])
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    prepareBrowserEnvironment();
    QApplication app(argc, argv);
    if (!installQtTranslation())
        qWarning("Qt's Chinese translation is missing: install qt6-translations-l10n");
    TstColourDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_colourdialog.moc"
