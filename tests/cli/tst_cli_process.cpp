// orvanta-cli as a user runs it: the built executable, its exit code and the
// bytes it writes, compared with the generators of the core library.
#include "core/failure.h"
#include "core/generation.h"
#include "core/linelist.h"
#include "core/project.h"
#include "modules/catalog.h"
#include "modules/header/divider/divider.h"
#include "support/files.h"
#include "support/generated.h"
#include "support/golden.h"
#include "support/loopbackserver.h"
#include "support/testjpeg.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Standard input is a pipe; with pauseAfter, its first bytes come alone, the
// rest a moment later, as a slow writer would give them.
Run runCli(const QStringList &arguments, const QByteArray &input = {}, qsizetype pauseAfter = 0)
{
    QProcess process;
    process.start(QStringLiteral(ORVANTA_CLI_PATH), arguments);
    if (pauseAfter > 0) {
        process.write(input.first(pauseAfter));
        process.waitForBytesWritten();
        QThread::msleep(300);
    }
    process.write(input.sliced(pauseAfter));
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// What the command line must show for a page's generator on this state.
Run expectedRun(const orv::PageSpec &page, const orv::PageState &state)
{
    orv::Services services;
    services.displayedLines = [](const QString &, const QString &text) { return orv::splitLines(text); };
    const orv::Generation generation = orv::generate(page, state, services);
    switch (generation.outcome) {
    case orv::Generation::Outcome::Fragment:
        return {0, generation.text.toUtf8(), {}};
    case orv::Generation::Outcome::Reminder:
        return {1, {}, (generation.text + u'\n').toUtf8()};
    default:
        return {1, {}, (orv::errorBoxText(generation.text) + u'\n').toUtf8()};
    }
}

QByteArray dividerBar(orv::Shop shop, const orv::FieldValues &changes = {})
{
    orv::PageState state = orv::divider::pageSpec().defaultState(orv::Metrics::forShop(shop));
    for (auto it = changes.cbegin(); it != changes.cend(); ++it)
        state.setField(it.key(), it.value());
    return orv::divider::generate(state, {}).fragment.toUtf8();
}

} // namespace

class TstCliProcess : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Every page, with its start-up fields and either shop, gives what its
    // generator gives: the fragment, the reminder or the failure.
    void everyPage_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<orv::Shop>("shop");
        for (const orv::PageSpec *page : orv::catalog::pages()) {
            QTest::addRow("%s taobao", qPrintable(page->id)) << page->id << orv::Shop::Taobao;
            QTest::addRow("%s tmall", qPrintable(page->id)) << page->id << orv::Shop::Tmall;
        }
    }

    void everyPage()
    {
        QFETCH(QString, page);
        QFETCH(orv::Shop, shop);
        const orv::PageSpec *pageSpec = orv::catalog::findPage(page);
        const Run run = runCli({u"generate"_s, page, u"--shop"_s, orv::shopName(shop)});
        const Run expected = expectedRun(*pageSpec, pageSpec->defaultState(orv::Metrics::forShop(shop)));
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
        const Run run
            = runCli({u"generate"_s, u"tsfengetiao"_s, u"--shop"_s, u"tmall"_s, u"--set"_s, u"edt3=新品 上市"_s,
                      u"--set"_s, u"cbb1=19"_s, u"--set=edt1=#F30"_s, u"--set-file"_s, u"edt25="_s + path});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.out, dividerBar(orv::Shop::Tmall, {{u"title"_s, u"新品 上市"_s},
                                                        {u"font_size"_s, u"19"_s},
                                                        {u"background_colour"_s, u"#F30"_s},
                                                        {u"remark"_s, u"第一行\r\n第二行\r\n"_s}}));
    }

    // The argument checks themselves are covered in tst_cli; here only the
    // exit code and the streams of the executable.
    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("no arguments") << QStringList{} << u"--help"_s;
        QTest::newRow("unknown field") << QStringList{u"generate"_s, u"tsfengetiao"_s, u"--set"_s, u"mmojine=5"_s}
                                       << u"background_colour (edt1), highlight_colour (edt24)"_s;
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
        const orv::PageSpec &page = orv::divider::pageSpec();
        QCOMPARE(array.size(), page.fields.size());
        for (qsizetype i = 0; i < array.size(); ++i) {
            const QJsonObject object = array.at(i).toObject();
            const orv::FieldSpec &field = page.fields.at(i);
            QCOMPARE(object.value(u"name"_s).toString(), field.name);
            QCOMPARE(object.value(u"kind"_s).toString(), orv::fieldKindName(field.kind));
            QCOMPARE(object.value(u"default"_s).toString(), field.defaultText);
            QCOMPARE(object.value(u"items"_s).toArray(), QJsonArray::fromStringList(field.items));
            QCOMPARE(object.value(u"key"_s).toString(), field.key);
            QCOMPARE(object.value(u"label"_s).toString(), field.label);
        }
    }

    void helpAndVersion()
    {
        const Run help = runCli({u"--help"_s});
        QCOMPARE(help.exitCode, 0);
        QCOMPARE(help.err, QByteArray());
        const QString text = QString::fromUtf8(help.out);
        QVERIFY(text.startsWith(u"Usage: orvanta-cli generate PAGE [--shop taobao|tmall]"_s));
        for (const orv::PageSpec *page : orv::catalog::pages())
            QVERIFY2(text.contains(u"  "_s + page->id + u' '), qPrintable(page->id));
        const Run version = runCli({u"--version"_s});
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, QByteArray("orvanta-cli " ORVANTA_VERSION "\n"));
        QCOMPARE(version.err, QByteArray());
    }

    // build writes the page as 汇总 would; the sample project's codes are
    // what its stored fields generate, so --regenerate changes nothing but
    // what --shop asks for.
    void buildTheSampleProject()
    {
        const QString sample = orv::test::dataPath(u"../../examples/sample.orvanta"_s);
        const orv::Project project = orv::readProjectFile(sample, orv::catalog::pages());
        QString summary;
        for (const orv::ModuleEntry &entry : project.entries)
            summary += entry.code + u"\r\n"_s;

        const Run built = runCli({u"build"_s, sample});
        QCOMPARE(built.err, QByteArray());
        QCOMPARE(built.exitCode, 0);
        QCOMPARE(built.out, summary.toUtf8());
        const Run again = runCli({u"build"_s, sample, u"--regenerate"_s});
        QCOMPARE(again.exitCode, 0);
        QCOMPARE(again.out, built.out);

        const Run tmall = runCli({u"build"_s, u"--regenerate"_s, u"--shop=tmall"_s, sample});
        QCOMPARE(tmall.exitCode, 0);
        QVERIFY(tmall.out.contains("width:790px"));
        QVERIFY(!built.out.contains("width:790px"));
    }

    void buildFailures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString sample = orv::test::dataPath(u"../../examples/sample.orvanta"_s);
        QTest::newRow("no project") << QStringList{u"build"_s} << 2 << u"build needs a PROJECT file"_s;
        QTest::newRow("two projects") << QStringList{u"build"_s, sample, sample} << 2 << u"build takes one PROJECT"_s;
        QTest::newRow("shop alone") << QStringList{u"build"_s, sample, u"--shop"_s, u"tmall"_s} << 2
                                    << u"--shop only applies with --regenerate"_s;
        QTest::newRow("unknown option") << QStringList{u"build"_s, sample, u"--fast"_s} << 2
                                        << u"the options are --regenerate, --shop and --style"_s;
        QTest::newRow("missing style") << QStringList{u"build"_s, sample, u"--regenerate"_s, u"--style"_s,
                                                      u"/nonexistent.orvanta-style"_s}
                                       << 2 << u"Cannot open style \"/nonexistent.orvanta-style\": "_s;
        QTest::newRow("missing file") << QStringList{u"build"_s, u"/nonexistent.orvanta"_s} << 2
                                      << u"Cannot open project \"/nonexistent.orvanta\": "_s;
    }
    void buildFailures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const Run run = runCli(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
    }

    // An entry whose stored fields fail fails the command and is named.
    void buildNamesTheFailingEntry()
    {
        orv::Project project;
        project.metrics = orv::Metrics::forShop(orv::Shop::Taobao);
        const orv::PageSpec &display = *orv::catalog::findPage(u"tszhanshi"_s);
        orv::FieldValues bad = display.defaultState().fields;
        bad[u"count"_s] = u"abc"_s;
        project.entries
            = {{1, u"[ 分隔条 ] "_s, u"<p>1</p>"_s, std::nullopt},
               {2, u"[ 产品展示 ] "_s, u"<p>old</p>"_s, orv::EntrySource{display.id, bad, project.metrics}}};
        const QString path = m_dir.filePath(u"failing.orvanta"_s);
        orv::writeProjectFile(path, project);
        QCOMPARE(runCli({u"build"_s, path}).out, QByteArray("<p>1</p>\r\n<p>old</p>\r\n"));
        const Run run = runCli({u"build"_s, path, u"--regenerate"_s});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(QString::fromUtf8(run.err), u"entry 2 ([ 产品展示 ]): 'abc' is not a valid integer value.\n"_s);
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
        const Run run = runCli({u"generate"_s, u"tsxijie"_s, u"--set"_s, u"style=1"_s, u"--set"_s, u"count=2"_s,
                                u"--set"_s, u"pictures="_s + pictures});
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

    // check reads standard input: the sample project's page, as build writes
    // it, has no error; its links are placeholders.
    void checkThePageOfAProject()
    {
        const QString sample = orv::test::dataPath(u"../../examples/sample.orvanta"_s);
        const Run page = runCli({u"build"_s, sample});
        QCOMPARE(page.exitCode, 0);
        for (const QString &shop : {u"taobao"_s, u"tmall"_s}) {
            const Run run = runCli({u"check"_s, u"-"_s, u"--shop"_s, shop}, page.out);
            QCOMPARE(run.err, QByteArray());
            QCOMPARE(run.exitCode, 0);
            const QStringList lines = QString::fromUtf8(run.out).split(u'\n', Qt::SkipEmptyParts);
            QVERIFY(!lines.isEmpty());
            for (const QString &line : lines)
                QVERIFY2(line.contains(u" warning placeholder-link "_s), qPrintable(line));
        }
        const Run wide = runCli({u"check"_s}, "<table width=\"790\"><tr><td>x</td></tr></table>");
        QCOMPARE(wide.exitCode, 1);
        QCOMPARE(wide.out, u"1:1 error overflow 宽 790 像素，超出页面宽度 750 像素\n"_s.toUtf8());
        const Run notUtf8 = runCli({u"check"_s, u"-"_s}, "<p>\xB5\xEA</p>");
        QCOMPARE(notUtf8.exitCode, 2);
        QCOMPARE(notUtf8.err, QByteArray("orvanta-cli: standard input is not valid UTF-8 at byte 4\n"));
    }

    // A page through a real pipe is read to its end, as the same page from a
    // file is, however the writer hands it over (here cut in the middle of a
    // character).
    void checkReadsAPipeToItsEnd_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("70,000 characters") << u"<div>"_s + QString(70000 - 11, u'x') + u"</div>"_s;
        QTest::newRow("200 KiB of Chinese") << u"<p>"_s + QString(200 * 1024 / 3, u'商') + u"</p>"_s;
    }
    void checkReadsAPipeToItsEnd()
    {
        QFETCH(QString, page);
        const QString file = m_dir.filePath(u"long.html"_s);
        orv::test::writeFile(file, page.toUtf8());
        const Run piped = runCli({u"check"_s, u"-"_s}, page.toUtf8(), 30001);
        QCOMPARE(piped.err, QByteArray());
        QCOMPARE(piped.exitCode, 1); // over the length limit
        const QString length = u"代码共 %1 个字符（UTF-8 编码 %2 字节）"_s.arg(page.size()).arg(page.toUtf8().size());
        QVERIFY2(piped.out.contains(length.toUtf8()), piped.out.constData());
        QCOMPARE(piped.out, runCli({u"check"_s, file}).out);
    }

    // --pictures fetches every picture from the network, each address once.
    void checkPictures()
    {
        orv::test::LoopbackServer server;
        server.route("/page.jpg", orv::test::LoopbackServer::Behaviour::Reply,
                     orv::test::LoopbackServer::response(200, orv::test::makeJpeg(750, 1000)));
        server.route("/phone.jpg", orv::test::LoopbackServer::Behaviour::Reply,
                     orv::test::LoopbackServer::response(200, orv::test::makeJpeg(300, 200)));
        const QString page = u"<img src=\"%1\"><img src=\"%2\">\n<img src=\"%1\">"_s.arg(server.url(u"/page.jpg"_s),
                                                                                         server.url(u"/phone.jpg"_s));
        const QString file = m_dir.filePath(u"pictures.html"_s);
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(page.toUtf8()) > 0);
        out.close();

        const Run run = runCli({u"check"_s, file, u"--pictures"_s, u"--json"_s});
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.exitCode, 0); // http and a foreign host warn, a narrow picture informs
        QStringList rules;
        for (const QJsonValue &finding : QJsonDocument::fromJson(run.out).array())
            rules.append(finding[u"rule"_s].toString() + u' ' + finding[u"severity"_s].toString());
        QCOMPARE(rules.count(u"mobile-fit info"_s), 1);
        QCOMPARE(rules.count(u"http warning"_s), 3);
        QCOMPARE(server.requests("/page.jpg"), 1);

        server.route("/page.jpg", orv::test::LoopbackServer::Behaviour::Reply,
                     orv::test::LoopbackServer::response(404, "gone"));
        const Run dead = runCli({u"check"_s, file, u"--pictures"_s});
        QCOMPARE(dead.exitCode, 1);
        QVERIFY2(dead.out.contains(" error picture-dead "), dead.out.constData());
    }
};

QTEST_GUILESS_MAIN(TstCliProcess)
#include "tst_cli_process.moc"
