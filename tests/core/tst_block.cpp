// Saved blocks: the file reads back what was saved and refuses anything
// else naming the place; a block of three entries goes into another project
// numbered on, laid out for that project's shop and filled with its shared
// values; the library keeps one file per block and never loses one.

#include "cli/cli.h"
#include "core/blocklibrary.h"
#include "modules/catalog.h"
#include "support/files.h"
#include "support/generated.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;

namespace {

const QByteArray png("\x89PNG\r\n\x1a\n-picture-", 17);

ModuleEntry entryOf(int number, const QString &page, const FieldValues &fields)
{
    return {number, u"[ %1 ] "_s.arg(page), u"old"_s, EntrySource{page, fields, Metrics::forShop(Shop::Taobao)}};
}

// A Taobao project whose three entries (of three kinds, one without a page)
// use two of its three shared values.
Project source()
{
    Project project;
    project.values = {{u"主色"_s, u"#FF0000"_s}, {u"辅色"_s, u"#EEEEEE"_s}, {u"店铺名称"_s, u"甲店"_s}};
    project.entries = {
        entryOf(3, u"tsfengetiao"_s, {{u"highlight_colour"_s, u"{{主色}}"_s}, {u"title"_s, u"{{店铺名称}}"_s}}),
        entryOf(4, u"tsjiaoliu"_s, {{u"label_colour"_s, u"{{主色}}"_s}}),
        {5, u"汇总"_s, u"<p style=\"color:{{主色}}\">{{店铺名称}}</p>"_s, std::nullopt},
    };
    return project;
}

} // namespace

class TstBlock : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // The desktop's trash of this test, not the user's.
        QVERIFY(QDir().mkpath(m_dir.filePath(u"data"_s)));
    }

    void roundTrip()
    {
        Block block = makeBlock(u" 页头 "_s, source().entries, source());
        QCOMPARE(block.name, u"页头"_s);
        QCOMPARE(block.values, (SharedValues{{u"主色"_s, u"#FF0000"_s}, {u"店铺名称"_s, u"甲店"_s}}));
        block.preview = png;
        const QString path = m_dir.filePath(u"b.orvanta-block"_s);
        writeBlockFile(path, block);
        QCOMPARE(readBlockFile(path, catalog::pages()), block);
    }

    // Strict, as project files are: the message names the file and the place.
    void refused_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("message");
        QTest::newRow("newer") << "\"version\": 1"_ba
                               << "\"version\": 2"_ba << u"written by a newer version"_s;
        QTest::newRow("project") << "orvanta-block"_ba
                                 << "orvanta-project"_ba
                                 << u"not an Orvanta block (\"format\" is not \"orvanta-block\")"_s;
        QTest::newRow("unknown member") << "\"name\""_ba
                                        << "\"nom\""_ba << u"unknown member \"nom\""_s;
        QTest::newRow("unknown field") << "\"label_colour\""_ba
                                       << "\"colour\""_ba
                                       << u"entries[1].fields: \"colour\" is no field of page tsjiaoliu"_s;
        QTest::newRow("preview") << "\"preview\": \""_ba
                                 << "\"preview\": \"*"_ba << u"preview: a PNG picture in base64 is expected"_s;
        QTest::newRow("name") << "\"name\": \"页头\""_ba
                              << "\"name\": \" \""_ba << u"name: a name is expected"_s;
        QTest::newRow("shop") << "\"shop\": \"taobao\",\n  \"entries\""_ba
                              << "\"shop\": \"jd\",\n  \"entries\""_ba
                              << u"shop: \"taobao\" or \"tmall\" is expected"_s;
    }
    void refused()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, message);
        Block block = makeBlock(u"页头"_s, source().entries, source());
        block.preview = png;
        QByteArray json = blockJson(block);
        QVERIFY2(json.contains(from), from.constData());
        json.replace(from, to);
        const QString failure = test::failureOf([&] { parseBlock(json, catalog::pages(), u"a.orvanta-block"_s); });
        QVERIFY2(failure.startsWith(u"Cannot open block \"a.orvanta-block\": "_s) && failure.contains(message),
                 qPrintable(failure));
    }

    // Into a Tmall project with its own main colour but no shop name: the
    // entries follow its last number, its shop and its values; the block's
    // value of the name it lacks fills in and is reported.
    void insertIntoAnotherProject()
    {
        const Block block = makeBlock(u"页头"_s, source().entries, source());
        Project target;
        target.metrics = Metrics::forShop(Shop::Tmall);
        target.values = {{u"主色"_s, u"#0000FF"_s}};
        target.entries = {{7, u"a"_s, u"<p>a</p>"_s, std::nullopt}, {2, u"b"_s, u"<p>b</p>"_s, std::nullopt}};
        const BlockInsertion insertion = insertBlock(block, target, catalog::pages(), {});
        QCOMPARE(insertion.failures, QStringList());
        QCOMPARE(insertion.missingValues, (SharedValues{{u"店铺名称"_s, u"甲店"_s}}));
        QCOMPARE(insertion.entries.size(), 3);
        const SlotValues values = firstOf(slotValues(target.values), slotValues(insertion.missingValues));
        for (qsizetype i = 0; i < 3; ++i) {
            const ModuleEntry &entry = insertion.entries[i];
            QCOMPARE(entry.number, int(8 + i));
            if (!entry.source) {
                QCOMPARE(entry.code, block.entries[i].code); // filled on the page, kept with its slots
                QCOMPARE(pageCodes({entry}, values, SlotMode::Strict),
                         QStringList{u"<p style=\"color:#0000FF\">甲店</p>"_s});
                continue;
            }
            QCOMPARE(entry.source->fields, block.entries[i].source->fields);
            QCOMPARE(entry.source->metrics.shop, Shop::Tmall);
            QStringList arguments{u"generate"_s, entry.source->page, u"--shop"_s, u"tmall"_s};
            for (auto it = entry.source->fields.cbegin(); it != entry.source->fields.cend(); ++it)
                arguments << u"--set"_s << it.key() + u'=' + fillSlots(it.value(), values);
            QCOMPARE(entry.code, QString::fromUtf8(cli::run(arguments).out));
        }
    }

    void library()
    {
        const QString folder = m_dir.filePath(u"library"_s);
        BlockLibrary library(folder, catalog::pages());
        QVERIFY(library.list().isEmpty());
        Block block = makeBlock(u"页头/促销"_s, source().entries, source());
        const QString first = library.save(block);
        QCOMPARE(QFileInfo(first).fileName(), u"页头_促销.orvanta-block"_s);
        QVERIFY(!test::failureOf([&] { library.save(block); }).isEmpty());
        QCOMPARE(library.uniqueName(u"页头/促销"_s), u"页头/促销 (2)"_s);

        // A file it cannot read is listed with its problem and never written over.
        test::writeFile(folder + u"/页头_促销 (2).orvanta-block"_s, "{}");
        block.name = u"页头:促销"_s;
        const QString second = library.save(block);
        QCOMPARE(QFileInfo(second).fileName(), u"页头_促销 (3).orvanta-block"_s);
        QCOMPARE(test::readFile(folder + u"/页头_促销 (2).orvanta-block"_s), "{}"_ba);

        const QString renamed = library.rename(second, u"尾部"_s);
        QCOMPARE(QFileInfo(renamed).fileName(), u"尾部.orvanta-block"_s);
        QVERIFY(!QFileInfo::exists(second));
        QVERIFY(!test::failureOf([&] { library.rename(renamed, u"页头/促销"_s); }).isEmpty());

        const QString exported = m_dir.filePath(u"exported.orvanta-block"_s);
        library.exportTo(renamed, exported);
        const QString imported = library.importFrom(exported);
        QCOMPARE(library.read(imported).name, u"尾部 (2)"_s);

        QStringList names;
        for (const BlockLibrary::Item &item : library.list())
            names.append(item.name + (item.problem.isEmpty() ? QString() : u" !"_s));
        names.sort(); // the list's own order is the locale's
        QCOMPARE(names, (QStringList{u"尾部"_s, u"尾部 (2)"_s, u"页头/促销"_s, u"页头_促销 (2).orvanta-block !"_s}));

        // To the trash; where there is none (here: no data folder to hold it),
        // nothing is removed, whatever Qt does in the working folder.
        QDir::setCurrent(m_dir.path());
        qputenv("XDG_DATA_HOME", m_dir.filePath(u"none"_s).toUtf8());
        QVERIFY(!test::failureOf([&] { library.moveToTrash(imported); }).isEmpty());
        QVERIFY(QFileInfo::exists(imported));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(u"files"_s)));
        qputenv("XDG_DATA_HOME", m_dir.filePath(u"data"_s).toUtf8());
        library.moveToTrash(imported);
        QVERIFY(!QFileInfo::exists(imported));
        QVERIFY(!test::failureOf([&] { library.moveToTrash(exported); }).isEmpty());
        QVERIFY(QFileInfo::exists(exported));
    }
};

QTEST_GUILESS_MAIN(TstBlock)
#include "tst_block.moc"
