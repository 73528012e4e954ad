// The project file: what is written reads back the same, and every kind of
// bad file is refused whole with a message that names the file and the place.

#include "core/failure.h"
#include "core/project.h"
#include "modules/catalog.h"
#include "support/generated.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;

namespace {

// Work of every kind: both shops, fields with CR LF, quotes and non-ASCII,
// entries with and without a page.
Project sample()
{
    Project p;
    p.metrics = Metrics::forShop(Shop::Tmall);
    p.metrics.totalHeight = 360;
    p.metrics.imageWidth = 256;
    p.metrics.imageHeight = 270;
    for (const PageSpec *page : catalog::pages())
        p.pages.insert(page->id, page->defaultState().fields);
    p.pages[u"tsyouhuiquan"_s][u"amounts"_s] = u"5|\"6 元\"\r\n7\t\\"_s;
    FieldValues divider = catalog::findPage(u"tsfengetiao"_s)->defaultState().fields;
    divider[u"title"_s] = u"标题 \u00A0 \U0001F600"_s;
    p.entries = {
        {1, u"[ 分隔条 ] "_s, u"<div>\r\n一</div>"_s,
         EntrySource{u"tsfengetiao"_s, divider, Metrics::forShop(Shop::Taobao)}},
        {3, u"[ 自定义 ] "_s, u"<p>\"汇总\"</p>\r\n"_s, std::nullopt},
        {3, u"[ 关联销售 ] 图文三列"_s, QString(), EntrySource{u"tsguanlian"_s, {{u"style"_s, u"1"_s}}, p.metrics}},
    };
    p.values = {{u"主色"_s, u"#FF6600"_s}, {u"店铺名称"_s, u"小店 \"甲\"\r\n"_s}};
    return p;
}

QByteArray replaced(QByteArray json, const QByteArray &from, const QByteArray &to)
{
    if (!json.contains(from))
        qFatal("no %s in the sample", from.constData());
    return json.replace(from, to);
}

} // namespace

class TstProject : public QObject {
    Q_OBJECT

private slots:
    void roundTrip()
    {
        const Project p = sample();
        const QByteArray json = projectJson(p);
        QVERIFY(json.startsWith("{\n  \"format\": \"orvanta-project\",\n  \"version\": 1,\n  \"shop\": \"tmall\""));
        QCOMPARE(parseProject(json, catalog::pages(), u"x.orvanta"_s), p);
        QVERIFY(json.contains(R"("code": "<div>\r\n一</div>")"));

        QTemporaryDir dir;
        const QString path = dir.filePath(u"p.orvanta"_s);
        writeProjectFile(path, p);
        QCOMPARE(readProjectFile(path, catalog::pages()), p);

        // A recovery file says which file it recovers; a project file may not.
        const QString original = u"/home/店/a.orvanta"_s;
        QString recoveryOf;
        const QByteArray recovery = projectJson(p, &original);
        QCOMPARE(parseProject(recovery, catalog::pages(), u"r"_s, &recoveryOf), p);
        QCOMPARE(recoveryOf, original);
        QVERIFY(test::failureOf([&] {
                    parseProject(recovery, catalog::pages(), u"r"_s);
                }).contains(u"unknown member \"recoveryOf\""_s));
    }

    // The last sheet is kept relative to the project file, so that a folder
    // moved whole keeps it; a recovery file keeps it as it is.
    void sheetPath_data()
    {
        QTest::addColumn<QString>("sheet"); // relative to the temporary folder
        QTest::addColumn<QString>("stored");
        QTest::newRow("beside") << u"shop/商品.csv"_s << u"商品.csv"_s;
        QTest::newRow("below") << u"shop/sheets/p.xlsx"_s << u"sheets/p.xlsx"_s;
        QTest::newRow("above") << u"p.csv"_s << u"../p.csv"_s;
    }
    void sheetPath()
    {
        QFETCH(QString, sheet);
        QFETCH(QString, stored);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(u"shop"_s));
        Project p = sample();
        p.sheet = dir.filePath(sheet);
        const QString path = dir.filePath(u"shop/p.orvanta"_s);
        writeProjectFile(path, p);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains(u"\n  \"sheet\": \"%1\"\n}"_s.arg(stored).toUtf8()));
        QCOMPARE(readProjectFile(path, catalog::pages()), p);

        const QString original = path;
        writeProjectFile(path, p, &original);
        QString recoveryOf;
        QCOMPARE(readProjectFile(path, catalog::pages(), &recoveryOf).sheet, p.sheet);
        QVERIFY(!projectJson(sample()).contains("\"sheet\""));
    }

    // Fields a file leaves out keep their defaults when a page is set up;
    // the file itself holds only what it says.
    void missingPartsAreAllowed()
    {
        const QByteArray json = R"({"format": "orvanta-project", "version": 1, "shop": "taobao",
            "metrics": {"totalWidth": 750, "totalHeight": 0, "imageWidth": 0, "imageHeight": 0},
            "pages": {"tsfengetiao": {"title": "x"}}, "entries": []})";
        const Project p = parseProject(json, catalog::pages(), u"x"_s);
        QCOMPARE(p.pages.size(), 1);
        QCOMPARE(p.pages.value(u"tsfengetiao"_s), (FieldValues{{u"title"_s, u"x"_s}}));
        const PageState state = entryState(*catalog::findPage(u"tsfengetiao"_s),
                                           EntrySource{u"tsfengetiao"_s, {{u"title"_s, u"x"_s}}, Metrics{}});
        QCOMPARE(state.field(u"title"_s), u"x"_s);
        QCOMPARE(state.field(u"remark"_s), u"欢迎光临本店"_s);
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("message"); // after "Cannot open project "bad.orvanta": "
        const QByteArray good = projectJson(sample());
        QTest::newRow("empty") << QByteArray() << u"not JSON: illegal value at line 1, column 1"_s;
        QTest::newRow("not json") << QByteArray("{\n  \"format\": oops")
                                  << u"not JSON: illegal number at line 2, column 13"_s;
        QTest::newRow("cut short") << good.left(good.size() / 2) << u"not JSON:"_s;
        QTest::newRow("an array") << QByteArray("[1]") << u"not an Orvanta project (no JSON object)"_s;
        QTest::newRow("format") << replaced(good, "orvanta-project", "other") << u"not an Orvanta project"_s;
        QTest::newRow("newer") << replaced(good, "\"version\": 1", "\"version\": 2")
                               << u"written by a newer version of Orvanta (format version 2"_s;
        QTest::newRow("version text") << replaced(good, "\"version\": 1", "\"version\": \"1\"")
                                      << u"version: a whole number"_s;
        QTest::newRow("unknown member") << replaced(good, "\"version\": 1", "\"version\": 1, \"extra\": 0")
                                        << u"unknown member \"extra\""_s;
        QTest::newRow("shop") << replaced(good, "\"shop\": \"tmall\"", "\"shop\": \"jd\"")
                              << u"shop: \"taobao\" or \"tmall\" is expected"_s;
        QTest::newRow("width against shop") << replaced(good, "\"totalWidth\": 790", "\"totalWidth\": 750")
                                            << u"metrics.totalWidth: 750 is no page width of shop tmall"_s;
        QTest::newRow("negative metric") << replaced(good, "\"totalHeight\": 360", "\"totalHeight\": -1")
                                         << u"metrics.totalHeight: a whole number from 0"_s;
        QTest::newRow("fraction") << replaced(good, "\"imageWidth\": 256", "\"imageWidth\": 25.5")
                                  << u"metrics.imageWidth: a whole number"_s;
        QTest::newRow("unknown page") << replaced(good, "\"tsfengetiao\": {", "\"tsnothing\": {")
                                      << u"pages: unknown page \"tsnothing\""_s;
        QTest::newRow("unknown field") << replaced(good, "\"amounts\":", "\"mmojine\":")
                                       << u"pages.tsyouhuiquan: \"mmojine\" is no field of page tsyouhuiquan"_s;
        QTest::newRow("field not text") << replaced(good, "\"amounts\": \"5", "\"amounts\": 5, \"x\": \"5")
                                        << u"pages.tsyouhuiquan.amounts: a string is expected"_s;
        QTest::newRow("radio out of range") << replaced(good, "\"style\": \"1\"", "\"style\": \"7\"")
                                            << u"entries[2].fields.style: an item index from -1 to 1"_s;
        QTest::newRow("entries not a list")
            << replaced(good, "\"entries\": [", "\"entries\": {\"a\": [").replace("\n  ]\n}", "]}\n}")
            << u"entries: an array is expected"_s;
        QTest::newRow("number zero") << replaced(good, "\"number\": 1,", "\"number\": 0,")
                                     << u"entries[0].number: a whole number from 1"_s;
        QTest::newRow("code missing") << replaced(good, "\"code\": \"<p>", "\"kode\": \"<p>")
                                      << u"entries[1]: unknown member \"kode\""_s;
        QTest::newRow("page without fields") << replaced(good, "\"fields\": {\n        \"style\": \"1\"\n      },", "")
                                             << u"entries[2].fields: missing"_s;
        QTest::newRow("fields without page")
            << replaced(good, "\"name\": \"[ 自定义 ] \",", "\"name\": \"[ 自定义 ] \", \"fields\": {},")
            << u"entries[1]: \"fields\" belongs to an entry with a page"_s;
        QTest::newRow("sheet empty") << replaced(good, "\"version\": 1", "\"version\": 1, \"sheet\": \"\"")
                                     << u"sheet: a file path is expected"_s;
        QTest::newRow("sheet not text") << replaced(good, "\"version\": 1", "\"version\": 1, \"sheet\": 1")
                                        << u"sheet: a string is expected"_s;
        QJsonObject notAList = QJsonDocument::fromJson(good).object();
        notAList.insert(u"values"_s, 7);
        QTest::newRow("values not a list") << QJsonDocument(notAList).toJson() << u"values: an array is expected"_s;
        QTest::newRow("value named twice") << replaced(good, "\"name\": \"店铺名称\"", "\"name\": \" 主色\"")
                                           << u"values[1].name: \"主色\" is named twice"_s;
        QTest::newRow("value name a slot") << replaced(good, "\"name\": \"主色\"", "\"name\": \"{{主色}}\"")
                                           << u"values[0].name: a name holds no \"{{\" or \"}}\""_s;
        QTest::newRow("value not text") << replaced(good, "\"value\": \"#FF6600\"", "\"value\": 16")
                                        << u"values[0].value: a string is expected"_s;
    }
    void refusals()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, message);
        const QString failure = test::failureOf([&] { parseProject(json, catalog::pages(), u"bad.orvanta"_s); });
        const QString prefix = u"Cannot open project \"bad.orvanta\": "_s;
        QVERIFY2(failure.startsWith(prefix + message), qPrintable(failure));
    }

    // A style file carries a shop's values from one project to another.
    void styleFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"店.orvanta-style"_s);
        writeStyleFile(path, sample().values);
        QCOMPARE(readStyleFile(path), sample().values);
        QCOMPARE(
            withStyle({{u"主色"_s, u"#000"_s}, {u"辅色"_s, u"#111"_s}}, {{u"主色"_s, u"#F00"_s}, {u"字"_s, u"x"_s}}),
            SharedValues({{u"主色"_s, u"#F00"_s}, {u"辅色"_s, u"#111"_s}, {u"字"_s, u"x"_s}}));
        const QByteArray good = styleJson(sample().values);
        for (const auto &[json, message] : {
                 std::pair(replaced(good, "orvanta-style", "orvanta-project"), u"not an Orvanta style"_s),
                 std::pair(replaced(good, "\"version\": 1", "\"version\": 9"), u"written by a newer version"_s),
                 std::pair(replaced(good, "\"name\": \"店铺名称\"", "\"name\": \"主色\""),
                           u"values[1].name: \"主色\" is named twice"_s),
             }) {
            const QString failure = test::failureOf([&] { parseStyle(json, u"s"_s); });
            QVERIFY2(failure.startsWith(u"Cannot open style \"s\": "_s + message), qPrintable(failure));
        }
    }

    void unreadableFiles()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(u"missing.orvanta"_s);
        QVERIFY(test::failureOf([&] {
                    readProjectFile(missing, catalog::pages());
                }).startsWith(u"Cannot open project \"%1\": "_s.arg(missing)));
        QVERIFY(test::failureOf([&] { readProjectFile(dir.path(), catalog::pages()); }).endsWith(u"it is a folder"_s));

        // Larger than the limit: refused before it is read.
        const QString large = dir.filePath(u"large.orvanta"_s);
        QFile file(large);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(maxProjectBytes + 1));
        file.close();
        QCOMPARE(test::failureOf([&] { readProjectFile(large, catalog::pages()); }),
                 u"Cannot open project \"%1\": larger than 64 MiB"_s.arg(large));
    }

    // A save that fails leaves the old file as it was.
    void failedWriteKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"missing-folder/p.orvanta"_s);
        QVERIFY(test::failureOf([&] {
                    writeProjectFile(path, sample());
                }).startsWith(u"Cannot save project \"%1\": "_s.arg(path)));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(TstProject)
#include "tst_project.moc"
