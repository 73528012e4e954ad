// Unsaved work outlives a crash: a child program (this executable, started
// with --child) makes changes and is killed with SIGKILL; the next window
// offers that work and restores it exactly, while another running window's
// file is left alone. Nothing but a confirmed 丢弃 deletes crashed work, and
// the window never waits for the disk.

#include "app/mainwindow.h"
#include "app/startup.h"
#include "core/failure.h"
#include "core/modulelistmodel.h"
#include "modules/catalog.h"
#include "support/files.h"
#include "support/windowtest.h"
#include "widgets/dialogs.h"
#include "widgets/modulelistpanel.h"
#include "widgets/modulepage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSaveFile>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
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
    orv::test::enter(*w.page(u"tsfengetiao"_s), u"title"_s, u"崩溃之前"_s);
    test::click(w, u"btn15"_s);
    test::click(w, u"btn8"_s);
    w.workspace()->buffer().setText(u"<p>自己的\r\n代码</p>"_s);
    test::click(w, u"btn8"_s);
    orv::test::enter(*w.page(u"tsyouhuiquan"_s), u"amounts"_s, u"1|2\r\n3"_s);
    // A change the user types, which the document notices.
    QTest::keyClicks(test::child<QLineEdit>(w, u"edt25"_s), u"!"_s);
}

// An entry of its own code, added to the list.
void addCode(MainWindow &w, const QString &code)
{
    w.workspace()->buffer().setText(code);
    test::click(*w.page(u"tsfengetiao"_s), u"btn8"_s);
}

QStringList codes(const MainWindow &w)
{
    QStringList out;
    for (const ModuleEntry &entry : w.moduleList()->model()->entries())
        out << entry.code;
    return out;
}

QString code(const QString &text)
{
    return u"<p>"_s + text + u"</p>"_s;
}

// The child: carries out its steps, says "ready" and waits to be killed.
//   work         makeWork()
//   add:TEXT     adds an entry of code <p>TEXT</p>
//   recover      answers 恢复 to what is offered
//   sleep:MS     lets the window run
//   report:PATH  waits for the recovery file, then writes the work to PATH
int runChild(const QString &folder, const QStringList &steps)
{
    dialogs::setTestMode(true);
    MainWindow w(nullptr, folder);
    w.show();
    for (const QString &step : steps) {
        const QString argument = step.section(u':', 1);
        if (step == u"work"_s) {
            makeWork(w);
        } else if (step.startsWith(u"add:"_s)) {
            addCode(w, code(argument));
        } else if (step == u"recover"_s) {
            dialogs::queueAnswer(QMessageBox::Yes);
            w.document()->offerRecovery();
        } else if (step.startsWith(u"sleep:"_s)) {
            QTest::qWait(argument.toInt());
        } else if (step.startsWith(u"report:"_s)) {
            if (!QTest::qWaitFor([&] { return QFile::exists(w.document()->recovery().filePath()); }, 10000))
                return 3;
            w.document()->recovery().wait();
            QSaveFile out(argument);
            const QByteArray expected = projectJson(w.project());
            if (!out.open(QIODevice::WriteOnly) || out.write(expected) != expected.size() || !out.commit())
                return 4;
        } else {
            return 2;
        }
    }
    std::puts("ready");
    std::fflush(stdout);
    for (;;)
        QTest::qWait(1000);
}

// Runs the child with these steps and kills it with SIGKILL (no chance to
// clean up) as soon as it has done them.
void killAfter(const QString &folder, const QStringList &steps)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), QStringList{u"--child"_s, folder} + steps);
    QVERIFY(child.waitForStarted());
    QByteArray out;
    while (!out.contains("ready\n") && child.waitForReadyRead(60000))
        out += child.readAllStandardOutput();
    QVERIFY2(out.contains("ready\n"), out.constData());
    child.kill();
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
}

// The codes of what the next start offers first, taken over with 恢复 by a
// window that then goes away without closing, as if killed too.
QStringList offeredCodes(const QString &folder)
{
    MainWindow w(nullptr, folder);
    dialogs::setTestMode(true);
    dialogs::queueAnswer(QMessageBox::Yes);
    w.document()->offerRecovery();
    const bool offered = !dialogs::takeShown().isEmpty();
    dialogs::setTestMode(true);
    return offered ? codes(w) : QStringList{u"<nothing offered>"_s};
}

// A window that goes away without closing leaves its file, as a crash
// would; its lock goes with it.
void leaveOrphan(const QString &folder, const QString &text)
{
    MainWindow gone(nullptr, folder);
    addCode(gone, code(text));
    gone.document()->autosaveNow();
}

// What a user does on a message box.
enum Gesture { PressEscape, CloseBox, Click丢弃, Click恢复 };

void perform(QMessageBox &box, Gesture gesture)
{
    switch (gesture) {
    case PressEscape:
        QTest::keyClick(&box, Qt::Key_Escape);
        break;
    case CloseBox:
        box.close(); // as the title bar's close button does
        break;
    case Click丢弃:
        for (QAbstractButton *button : box.buttons()) {
            if (button->text() == u"丢弃"_s)
                button->click();
        }
        break;
    case Click恢复:
        box.button(QMessageBox::Yes)->click();
        break;
    }
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

        killAfter(folder.path(), {u"work"_s, u"report:"_s + report});
        QCOMPARE(recoveryFiles(folder.path()).size(), 2);
        const Project expected = parseProject(test::readFile(report), catalog::pages(), report);

        dialogs::takeShown();
        MainWindow w(nullptr, folder.path());
        dialogs::queueAnswer(QMessageBox::Yes); // 恢复
        w.document()->offerRecovery();
        const QList<dialogs::Shown> shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 1); // the other window's live file is not offered
        QVERIFY2(shown.first().text.contains(u"2 个版块"_s), qPrintable(shown.first().text));
        QCOMPARE(w.project(), expected);
        QVERIFY(w.isWindowModified());
        QCOMPARE(w.workspace()->metrics().totalWidth, 790);
        QCOMPARE(w.moduleList()->model()->code(1), u"<p>自己的\r\n代码</p>"_s);

        // The killed window's file is taken over; the other window's stays.
        w.document()->recovery().wait();
        const QString ownFile = QFileInfo(w.document()->recovery().filePath()).fileName();
        QCOMPARE(recoveryFiles(folder.path()).size(), 2);
        QVERIFY(recoveryFiles(folder.path()).contains(ownFile));

        // A normal close removes the window's own file.
        dialogs::queueAnswer(QMessageBox::Discard);
        w.close();
        QCOMPARE(dialogs::takeShown().size(), 1);
        w.document()->recovery().wait();
        QCOMPARE(recoveryFiles(folder.path()), QStringList{otherFile});
        // Nothing is offered twice.
        MainWindow again(nullptr, folder.path());
        again.document()->offerRecovery();
        QVERIFY(dialogs::takeShown().isEmpty());
    }

    // Killed at moments after changes and after 恢复: the next start offers
    // every change older than the autosave delay (1.5 s), and perhaps newer
    // ones. Each start takes over what the one before left.
    void killedAtAnyMomentKeepsWhatIsOlderThanTheDelay()
    {
        struct Stage {
            const char *moment;
            QStringList steps;
            QStringList settled;   // changes older than the delay when killed
            QStringList unsettled; // changes within it
        };
        const QList<Stage> stages{
            {"after a change, past the delay", {u"add:一"_s, u"sleep:3000"_s}, {code(u"一"_s)}, {}},
            {"at once after 恢复", {u"recover"_s}, {}, {}},
            {"after 恢复 and changes, the last within the delay",
             {u"recover"_s, u"add:二"_s, u"sleep:3000"_s, u"add:三"_s},
             {code(u"二"_s)},
             {code(u"三"_s)}},
            {"after 恢复, past the delay", {u"recover"_s, u"sleep:3000"_s}, {}, {}},
            {"after 恢复 and a change within the delay", {u"recover"_s, u"add:四"_s}, {}, {code(u"四"_s)}},
        };
        QTemporaryDir folder;
        QStringList work;
        for (const Stage &stage : stages) {
            killAfter(folder.path(), stage.steps);
            const QStringList offered = offeredCodes(folder.path());
            const QStringList settled = work + stage.settled;
            QVERIFY2(offered == settled || offered == settled + stage.unsettled,
                     qPrintable(u"%1: offered %2"_s.arg(QString::fromUtf8(stage.moment), offered.join(u' '))));
            work = offered;
        }
    }

    // Esc and the close button keep the crashed work for the next start, and
    // the window says so; only 丢弃, confirmed, deletes it. The real message
    // boxes answer.
    void onlyConfirmedDiscardDeletes_data()
    {
        QTest::addColumn<QList<int>>("gestures");
        QTest::addColumn<bool>("kept");
        QTest::newRow("Esc") << QList<int>{PressEscape} << true;
        QTest::newRow("close button") << QList<int>{CloseBox} << true;
        QTest::newRow("丢弃, then Esc on the confirmation, then Esc")
            << QList<int>{Click丢弃, PressEscape, PressEscape} << true;
        QTest::newRow("丢弃, confirmed") << QList<int>{Click丢弃, Click丢弃} << false;
    }
    void onlyConfirmedDiscardDeletes()
    {
        QFETCH(QList<int>, gestures);
        QFETCH(bool, kept);
        QTemporaryDir folder;
        leaveOrphan(folder.path(), u"崩溃之前"_s);
        const QStringList before = recoveryFiles(folder.path());
        QCOMPARE(before.size(), 1);

        MainWindow w(nullptr, folder.path());
        dialogs::setTestMode(true);
        for (const int gesture : gestures)
            dialogs::queueAction([gesture](QMessageBox &box) { perform(box, Gesture(gesture)); });
        w.document()->offerRecovery();
        QCOMPARE(dialogs::takeShown().size(), gestures.size());
        QCOMPARE(w.moduleList()->model()->count(), 0);
        QVERIFY(!w.isWindowModified());
        QCOMPARE(recoveryFiles(folder.path()), kept ? before : QStringList());
        const QString status = test::labelText(w, u"lblrecovery"_s);
        QVERIFY2(status.contains(u"保留"_s) == kept, qPrintable(status));
        if (kept)
            QCOMPARE(offeredCodes(folder.path()), QStringList{code(u"崩溃之前"_s)});
    }

    // A file that cannot be read is never deleted: the message says where it
    // is and opens its folder.
    void unreadableFileIsKept_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("why");
        QByteArray newer = projectJson(Project{}, nullptr);
        newer.replace("\"version\": 1", "\"version\": 9");
        QTest::newRow("from a newer version") << newer << u"newer version"_s;
        QTest::newRow("over the size limit") << QByteArray() << u"larger than 64 MiB"_s;
        QTest::newRow("damaged") << QByteArray("{\"format\": \"orvanta-pro") << u"not JSON"_s;
    }
    void unreadableFileIsKept()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, why);
        QTemporaryDir folder;
        const QString path = folder.filePath(u"left.orvanta"_s);
        test::writeFile(path, content);
        if (content.isEmpty())
            QVERIFY(QFile(path).resize(maxProjectBytes + 1));
        const QByteArray before = test::readFile(path);

        MainWindow w(nullptr, folder.path());
        dialogs::setTestMode(true);
        w.document()->offerRecovery(); // 打开文件夹, the default
        const QList<dialogs::Shown> shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().text.contains(QDir::toNativeSeparators(path)), qPrintable(shown.first().text));
        QVERIFY2(shown.first().text.contains(why), qPrintable(shown.first().text));
        QCOMPARE(dialogs::takeOpenedUrls(), QList<QUrl>{QUrl::fromLocalFile(folder.path())});
        QCOMPARE(test::readFile(path), before);
    }

    // The question names the project as it is, whatever its name holds.
    void questionNamesTheProject()
    {
        QTemporaryDir folder;
        Project project;
        project.metrics = Metrics::forShop(Shop::Taobao);
        project.entries.append({1, u"一"_s, code(u"一"_s), std::nullopt});
        const QString recoveryOf = folder.filePath(u"七折%2优惠.orvanta"_s);
        writeProjectFile(folder.filePath(u"left.orvanta"_s), project, &recoveryOf);
        MainWindow w(nullptr, folder.path());
        dialogs::setTestMode(true);
        dialogs::queueAnswer(QMessageBox::Cancel); // 以后再说
        w.document()->offerRecovery();
        const QList<dialogs::Shown> shown = dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().text.contains(u"“七折%2优惠.orvanta”，1 个版块"_s), qPrintable(shown.first().text));
    }

    // While one window asks about crashed work, another one started at the
    // same time does not offer it too.
    void offeredWorkIsHeldUntilAnswered()
    {
        QTemporaryDir folder;
        leaveOrphan(folder.path(), u"只给一个"_s);
        MainWindow first(nullptr, folder.path());
        dialogs::setTestMode(true);
        qsizetype offeredMeanwhile = -1;
        dialogs::queueAction([&](QMessageBox &box) {
            dialogs::takeShown(); // this question
            MainWindow second(nullptr, first.document()->recovery().folder());
            second.document()->offerRecovery();
            offeredMeanwhile = dialogs::takeShown().size();
            perform(box, Click恢复);
        });
        first.document()->offerRecovery();
        QCOMPARE(offeredMeanwhile, 0);
        QCOMPARE(codes(first), QStringList{code(u"只给一个"_s)});
    }

    // A data folder that cannot be written shows in the status strip and
    // once as a message; the next change after it is mended writes the file.
    void failingAutosaveIsShownAndRetried()
    {
        QTemporaryDir scratch;
        const QString blocker = scratch.filePath(u"data"_s);
        test::writeFile(blocker, "a file where the folder would be");
        MainWindow w(nullptr, blocker + u"/recovery"_s);
        dialogs::setTestMode(true);
        QList<dialogs::Shown> errors;
        for (const QString &text : {u"一"_s, u"二"_s}) {
            addCode(w, code(text));
            w.document()->autosaveNow();
            QVERIFY(test::labelText(w, u"lblrecovery"_s).contains(u"自动保存失败"_s));
            for (const dialogs::Shown &shown : dialogs::takeShown()) {
                if (shown.icon == QMessageBox::Critical)
                    errors << shown;
            }
        }
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().text.contains(blocker), qPrintable(errors.first().text));

        QVERIFY(QFile::remove(blocker));
        addCode(w, code(u"三"_s));
        w.document()->autosaveNow();
        QVERIFY(QFile::exists(w.document()->recovery().filePath()));
        QCOMPARE(test::labelText(w, u"lblrecovery"_s), QString());
    }

    // With the writer stuck on a slow disk, the window's writes and discards
    // return at once; they are carried out afterwards, in order, the latest
    // request replacing one not yet taken.
    void windowNeverWaitsForTheWriter()
    {
        QTemporaryDir folder;
        Recovery recovery(folder.path());
        QSemaphore inWrite;
        QSemaphore release;
        bool releasedInTime = true;
        recovery.setWriteHook([&] {
            inWrite.release();
            releasedInTime = release.tryAcquire(1, 20000) && releasedInTime;
        });
        Project first;
        first.metrics = Metrics::forShop(Shop::Taobao);
        first.entries.append({1, u"一"_s, code(u"一"_s), std::nullopt});
        Project last = first;
        last.entries.append({2, u"二"_s, code(u"二"_s), std::nullopt});
        QString recoveryOf;

        recovery.write(first, {});
        inWrite.acquire();
        recovery.discard();
        recovery.write(last, {});
        release.release(2); // the write in progress, and the last one
        recovery.wait();
        QVERIFY(releasedInTime);
        QCOMPARE(readProjectFile(recovery.filePath(), catalog::pages(), &recoveryOf), last);

        recovery.write(first, {});
        inWrite.acquire();
        recovery.write(last, {});
        recovery.discard(); // after the write in progress
        release.release();
        recovery.wait();
        QVERIFY(releasedInTime);
        QVERIFY(!QFile::exists(recovery.filePath()));
    }
};

int main(int argc, char *argv[])
{
    prepareBrowserEnvironment();
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() >= 3 && arguments.at(1) == u"--child"_s)
        return runChild(arguments.at(2), arguments.mid(3));
    TstRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recovery.moc"
