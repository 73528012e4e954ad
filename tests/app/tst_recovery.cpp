// Unsaved work outlives a crash: a child program (this executable, started
// with --child) makes changes and is killed with SIGKILL once its recovery
// file is written; the next window offers that work and restores it exactly,
// while another running window's file is left alone.

#include "app/mainwindow.h"
#include "app/startup.h"
#include "core/modulelistmodel.h"
#include "modules/catalog.h"
#include "support/windowtest.h"
#include "widgets/dialogs.h"
#include "widgets/modulelistpanel.h"
#include "widgets/modulepage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace orv;

namespace {

QStringList recoveryFiles(const QString &folder)
{
    return QDir(folder).entryList({u"*.orvanta"_s}, QDir::Files);
}

// Work of every kind, made as a user makes it.
void makeWork(MainWindow &w)
{
    test::choose(w, u"rg1"_s, 1);
    test::click(w, u"btnfengetiao"_s);
    w.page(u"tsfengetiao"_s)->setValue(u"title"_s, u"崩溃之前"_s);
    test::click(w, u"btn15"_s);
    test::click(w, u"btn8"_s);
    w.buffer().setText(u"<p>自己的\r\n代码</p>"_s);
    test::click(w, u"btn8"_s);
    w.page(u"tsyouhuiquan"_s)->setValue(u"amounts"_s, u"1|2\r\n3"_s);
    // A change the user types, which the document notices.
    QTest::keyClicks(test::child<QLineEdit>(w, u"edt25"_s), u"!"_s);
}

// The child: makes the work, waits for its recovery file, tells the parent
// what it holds, and waits to be killed.
int runChild(const QString &folder, const QString &report)
{
    dialogs::setTestMode(true);
    MainWindow w(nullptr, folder);
    w.show();
    makeWork(w);
    const QString own = w.document()->recovery().filePath();
    if (!QTest::qWaitFor([&] { return QFile::exists(own); }, 10000))
        return 3;
    w.document()->recovery().wait();
    QSaveFile out(report);
    const QByteArray expected = projectJson(w.project());
    if (!out.open(QIODevice::WriteOnly) || out.write(expected) != expected.size() || !out.commit())
        return 4;
    for (;;)
        QTest::qWait(1000);
}

} // namespace

class TstRecovery : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { dialogs::setTestMode(true); }

    void killedWorkIsRestoredExactly()
    {
        QTemporaryDir folder;
        QTemporaryDir scratch;
        const QString report = scratch.filePath(u"expected.json"_s);

        // Another window runs at the same time and has unsaved work of its own.
        MainWindow other(nullptr, folder.path());
        test::click(other, u"btnfengetiao"_s);
        test::click(other, u"btn8"_s);
        other.document()->autosaveNow();
        const QString otherFile = QFileInfo(other.document()->recovery().filePath()).fileName();
        QVERIFY(recoveryFiles(folder.path()).contains(otherFile));

        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {u"--child"_s, folder.path(), report});
        QVERIFY(child.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(report), 60000);
        child.kill(); // SIGKILL: no chance to clean up
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(recoveryFiles(folder.path()).size(), 2);

        QFile reportFile(report);
        QVERIFY(reportFile.open(QIODevice::ReadOnly));
        const Project expected = parseProject(reportFile.readAll(), catalog::pages(), report);

        dialogs::takeShown();
        MainWindow w(nullptr, folder.path());
        dialogs::queueAnswer(QMessageBox::Yes); // 恢复
        w.document()->offerRecovery();
        const QList<dialogs::Shown> shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 1); // the other window's live file is not offered
        QVERIFY2(shown.first().text.contains(u"2 个版块"_s), qPrintable(shown.first().text));
        QCOMPARE(w.project(), expected);
        QVERIFY(w.isWindowModified());
        QCOMPARE(w.metrics().totalWidth, 790);
        QCOMPARE(w.moduleList()->model()->code(1), u"<p>自己的\r\n代码</p>"_s);

        // The killed window's file is taken over; the other window's stays.
        QCOMPARE(recoveryFiles(folder.path()), QStringList{otherFile});
        w.document()->autosaveNow();
        QCOMPARE(recoveryFiles(folder.path()).size(), 2);

        // A normal close removes the window's own file.
        dialogs::queueAnswer(QMessageBox::Discard);
        w.close();
        QCOMPARE(dialogs::takeShown().size(), 1);
        QCOMPARE(recoveryFiles(folder.path()), QStringList{otherFile});
        // Nothing is offered twice.
        MainWindow again(nullptr, folder.path());
        again.document()->offerRecovery();
        QVERIFY(dialogs::takeShown().isEmpty());
    }

    // 丢弃 deletes the orphan; the next start offers nothing.
    void discardDeletesIt()
    {
        QTemporaryDir folder;
        {
            // A window that goes away without closing leaves its file, as a
            // crash would; its lock goes with it.
            MainWindow gone(nullptr, folder.path());
            test::click(gone, u"btnfengetiao"_s);
            test::click(gone, u"btn8"_s);
            gone.document()->autosaveNow();
        }
        QCOMPARE(recoveryFiles(folder.path()).size(), 1);
        MainWindow w(nullptr, folder.path());
        dialogs::takeShown();
        dialogs::queueAnswer(QMessageBox::No); // 丢弃
        w.document()->offerRecovery();
        QCOMPARE(dialogs::takeShown().size(), 1);
        QCOMPARE(w.moduleList()->model()->count(), 0);
        QVERIFY(recoveryFiles(folder.path()).isEmpty());
    }
};

int main(int argc, char *argv[])
{
    prepareBrowserEnvironment();
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 4 && arguments.at(1) == u"--child"_s)
        return runChild(arguments.at(2), arguments.at(3));
    TstRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recovery.moc"
