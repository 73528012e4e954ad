// orvanta-cli merge as a user runs it: the built executable, its streams
// when standard error is no terminal, and a stop by signal midway.
#include "core/project.h"
#include "modules/catalog.h"
#include "support/files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A design of a divider bar and code, and a sheet of so many rows.
void writeInputs(const QString &dir, int rows)
{
    orv::Project project;
    project.entries
        = {{1,
            u"[ 分隔条 ] "_s,
            {},
            orv::EntrySource{
                u"tsfengetiao"_s, {{u"title"_s, u"{{宝贝名称}}"_s}}, orv::Metrics::forShop(orv::Shop::Taobao)}},
           {2, u"价格"_s, u"<p>¥{{price}}</p>"_s, std::nullopt}};
    orv::writeProjectFile(dir + u"/design.orvanta"_s, project);
    QString sheet = u"outer_id,宝贝名称,price\r\n"_s;
    for (int i = 1; i <= rows; ++i)
        sheet += u"K%1,商品%1,%1.5\r\n"_s.arg(i);
    orv::test::writeFile(dir + u"/products.csv"_s, sheet.toUtf8());
}

QStringList mergeArguments(const QString &dir)
{
    return {u"merge"_s, dir + u"/design.orvanta"_s, dir + u"/products.csv"_s, u"--out"_s, dir + u"/pages"_s};
}

} // namespace

class TstMergeProcess : public QObject {
    Q_OBJECT

private slots:
    void noProgressWithoutTerminal()
    {
        QTemporaryDir dir;
        writeInputs(dir.path(), 3);
        QProcess process;
        process.start(QStringLiteral(ORVANTA_CLI_PATH), mergeArguments(dir.path()));
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(process.readAllStandardError(), QByteArray());
        QCOMPARE(process.readAllStandardOutput(),
                 (u"3 rows merged into %1/pages: 3 pages, 0 failed\n"_s.arg(dir.path())).toUtf8());
        QCOMPARE(orv::test::listing(dir.filePath(u"pages"_s)),
                 (QStringList{u"K1.html"_s, u"K2.html"_s, u"K3.html"_s, u"index.csv"_s}));
    }

#ifdef Q_OS_UNIX
    // Stopped while the pages are being made (SIGTERM, as Ctrl+C's SIGINT):
    // no folder, no staging folder left.
    void stoppedBySignal()
    {
        QTemporaryDir dir;
        writeInputs(dir.path(), 20000);
        const QStringList before = orv::test::listing(dir.path());
        QProcess process;
        process.start(QStringLiteral(ORVANTA_CLI_PATH), mergeArguments(dir.path()));
        QVERIFY(process.waitForStarted());
        QElapsedTimer timer;
        timer.start();
        while (orv::test::listing(dir.path()) == before && timer.elapsed() < 30000)
            QTest::qWait(1);
        process.terminate();
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 130);
        QVERIFY(process.readAllStandardError().contains("merge interrupted after"));
        QCOMPARE(orv::test::listing(dir.path()), before);
    }
#endif
};

QTEST_GUILESS_MAIN(TstMergeProcess)
#include "tst_merge_process.moc"
