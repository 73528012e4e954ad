// orvanta-cli as a user runs it: the built executable, its exit code and the
// bytes it writes, compared with the generators of the core library.
#include "app/text/linelist.h"
#include "core/failure.h"
#include "core/pages.h"
#include "modules/header/fengetiao/fengetiao.h"
#include "support/loopbackserver.h"
#include "support/testjpeg.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runCli(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(ORVANTA_CLI_PATH), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// What the command line must show for a page's generator on this state.
Run expectedRun(const orv::PageSpec &page, orv::PageState state)
{
    QTemporaryDir privateDir;
    orv::Services services;
    services.privateDir = privateDir.path();
    services.displayedLines = [](const QString &, const QString &text) { return orv::SplitLines(text); };
    Run run;
    try {
        const orv::Generated generated = page.generate(state, services);
        if (generated.reminder.isEmpty()) {
            run.exitCode = 0;
            run.out = generated.fragment.toUtf8();
        } else {
            run.exitCode = 1;
            run.err = (generated.reminder + u'\n').toUtf8();
        }
    } catch (const orv::Failure &failure) {
        run.exitCode = 1;
        run.err = (orv::errorBoxText(failure.message()) + u'\n').toUtf8();
    }
    return run;
}

QByteArray dividerBar(int shopType, const orv::FieldValues &changes = {})
{
    orv::PageState state = orv::fengetiao::page().defaultState(orv::Metrics::forShop(shopType));
    for (auto it = changes.cbegin(); it != changes.cend(); ++it)
        state.setField(it.key(), it.value());
    return orv::fengetiao::btn15Click(state, {}).fragment.toUtf8();
}

} // namespace

class TstCliProcess : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Every page that is built, with its start-up fields and either shop,
    // gives what its generator gives: the fragment, the reminder or the failure.
    void everyBuiltPage_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("shopType");
        for (const orv::PageSpec *page : orv::modulePages()) {
            if (!page->generate)
                continue;
            QTest::addRow("%s taobao", qPrintable(page->name)) << page->name << 0;
            QTest::addRow("%s tmall", qPrintable(page->name)) << page->name << 1;
        }
    }

    void everyBuiltPage()
    {
        QFETCH(QString, page);
        QFETCH(int, shopType);
        const orv::PageSpec *pageSpec = orv::findPage(page);
        const Run run = runCli({u"generate"_s, page, u"--shop"_s, shopType == 1 ? u"tmall"_s : u"taobao"_s});
        const Run expected = expectedRun(*pageSpec, pageSpec->defaultState(orv::Metrics::forShop(shopType)));
        QCOMPARE(run.exitCode, expected.exitCode);
        QCOMPARE(run.out, expected.out);
        QCOMPARE(run.err, expected.err);
    }

    // --set and a UTF-8 file with CR LF and a byte-order mark reach the generator.
    void dividerBarSetAndSetFile()
    {
        const QString path = m_dir.filePath(u"value.txt"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write("\xEF\xBB\xBF" + u"第一行\r\n第二行\r\n"_s.toUtf8()) > 0);
        file.close();
        const Run run = runCli({u"generate"_s, u"tsfengetiao"_s, u"--shop"_s, u"tmall"_s, u"--set"_s,
                                u"edt3=新品 上市"_s, u"--set"_s, u"cbb1=19"_s, u"--set=edt1=#F30"_s,
                                u"--set-file"_s, u"edt25="_s + path});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.out, dividerBar(1, {{u"edt3"_s, u"新品 上市"_s}, {u"cbb1"_s, u"19"_s}, {u"edt1"_s, u"#F30"_s},
                                         {u"edt25"_s, u"第一行\r\n第二行\r\n"_s}}));
    }

    // The argument checks themselves are covered in tst_cli; here only the
    // exit code and the streams of the executable.
    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("no arguments") << QStringList{} << u"--help"_s;
        QTest::newRow("unknown field") << QStringList{u"generate"_s, u"tsfengetiao"_s, u"--set"_s, u"mmojine=5"_s}
                                       << u"edt1, edt24, cbb2, edt2, edt3, edt4, cbb1, edt25, edt28"_s;
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, mentions);
        const Run run = runCli(arguments);
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(QString::fromUtf8(run.err).contains(mentions), run.err.constData());
    }

    void fieldsAsJson()
    {
        const Run run = runCli({u"fields"_s, u"tsfengetiao"_s});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QByteArray());
        const QJsonArray array = QJsonDocument::fromJson(run.out).array();
        const orv::PageSpec &page = orv::fengetiao::page();
        QCOMPARE(array.size(), page.fields.size());
        for (qsizetype i = 0; i < array.size(); ++i) {
            const QJsonObject object = array.at(i).toObject();
            const orv::FieldSpec &field = page.fields.at(i);
            QCOMPARE(object.value(u"name"_s).toString(), field.name);
            QCOMPARE(object.value(u"kind"_s).toString(), orv::fieldKindName(field.kind));
            QCOMPARE(object.value(u"default"_s).toString(), field.defaultText);
            QCOMPARE(object.value(u"items"_s).toArray(), QJsonArray::fromStringList(field.items));
        }
    }

    void helpAndVersion()
    {
        const Run help = runCli({u"--help"_s});
        QCOMPARE(help.exitCode, 0);
        QCOMPARE(help.err, QByteArray());
        const QString text = QString::fromUtf8(help.out);
        QVERIFY(text.startsWith(u"Usage: orvanta-cli generate PAGE [--shop taobao|tmall]"_s));
        for (const orv::PageSpec *page : orv::modulePages())
            QVERIFY2(text.contains(u"  "_s + page->name + u' '), qPrintable(page->name));
        const Run version = runCli({u"--version"_s});
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, QByteArray("orvanta-cli " ORVANTA_VERSION "\n"));
        QCOMPARE(version.err, QByteArray());
    }

    // The overlay style fetches its pictures from the network, as the window does.
    void detailsOverlayFetchesAndMeasures()
    {
        orv::test::LoopbackServer server;
        server.route("/tall.jpg", orv::test::LoopbackServer::Behaviour::Reply,
                     orv::test::LoopbackServer::response(200, orv::test::makeJpeg(750, 1000)));
        server.route("/low.jpg", orv::test::LoopbackServer::Behaviour::Reply,
                     orv::test::LoopbackServer::response(200, orv::test::makeJpeg(100, 40)));
        const QString pictures = server.url(u"/tall.jpg"_s) + u"|\n"_s + server.url(u"/low.jpg"_s);
        const Run run = runCli({u"generate"_s, u"tsxijie"_s, u"--set"_s, u"rg2=1"_s, u"--set"_s, u"cbb4=2"_s,
                                u"--set"_s, u"mmoxijietupian="_s + pictures});
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains("px; height:990px;overflow:hidden\">"));
        QVERIFY(run.out.contains("top:-950px; left:60px;"));
        QVERIFY(run.out.contains("px; height:30px;overflow:hidden\">"));
        QVERIFY(run.out.contains("top:--10px; left:60px;"));

        const QString missing = server.url(u"/missing.jpg"_s);
        const Run failed = runCli({u"generate"_s, u"tsxijie"_s, u"--set"_s, u"rg2=1"_s, u"--set"_s, u"cbb4=1"_s,
                                   u"--set"_s, u"mmoxijietupian="_s + missing});
        QCOMPARE(failed.exitCode, 1);
        QCOMPARE(failed.out, QByteArray());
        QVERIFY2(failed.err.startsWith((u"Cannot download \""_s + missing + u"\""_s).toUtf8()), failed.err);
    }
};

QTEST_GUILESS_MAIN(TstCliProcess)
#include "tst_cli_process.moc"
