// Writing a sheet back with its pages, and naming files by its keys.

#include "sheetfiles.h"
#include "sheets/filekeys.h"
#include "support/files.h"

#include "core/failure.h"

#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;
using namespace orv::sheets;
using orv::test::encoded;
using orv::test::readFile;

namespace {

QByteArray workbook(const QString &name)
{
    return readFile(orv::test::sheetDataDir() + u'/' + name);
}

// New cells with what needs quoting, and empty ones.
QStringList pages(qsizetype count)
{
    QStringList out;
    for (qsizetype i = 0; i < count; ++i) {
        out.append(i % 3 == 0   ? u"<p>第%1行\r\n\"引号\",逗号\t制表</p>😀"_s.arg(i)
                   : i % 3 == 1 ? QString()
                                : u"plain%1"_s.arg(i));
    }
    return out;
}

QStringList columnCells(const Sheet &sheet, int column)
{
    QStringList cells;
    for (const Row &row : sheet.rows)
        cells.append(row.cells[column]);
    return cells;
}

// The failure's message, or "" when none.
template<typename F>
QString failureOf(F action)
{
    try {
        action();
    } catch (const orv::Failure &failure) {
        return failure.message();
    }
    return {};
}

} // namespace

class TestSheetWrite : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("column");
        QTest::addColumn<bool>("sameBytes"); // writing the cells as they were gives the file again

        const QString listing = orv::test::listingExport();
        QTest::newRow("UTF-8") << "编码,描述,价格\r\nA1,旧,1\r\nA2,,2\r\n"_ba << u"描述"_s << true;
        QTest::newRow("UTF-8 with BOM, LF, no last line break")
            << "\xEF\xBB\xBF编码,描述\nA1,旧\nA2,\"引,号\""_ba << u"描述"_s << true;
        QTest::newRow("UTF-16LE listing") << encoded(listing, "UTF-16LE", "\xFF\xFE") << u""_s << true;
        QTest::newRow("UTF-16BE listing") << encoded(listing, "UTF-16BE", "\xFE\xFF") << u""_s << true;
        QTest::newRow("GBK") << "\xB1\xE0\xC2\xEB,\xC3\xE8\xCA\xF6\r\nA1,\xBE\xC9\r\nA2,\r\n"_ba << u"描述"_s << true;
        QTest::newRow("UTF-8 listing, commas")
            << QString(listing).replace(u'\t', u',').toUtf8() << u"宝贝描述"_s << true;
        QTest::newRow("blank lines, empty records, mixed breaks")
            << "a,描述\r\n\r\n1,x\n,\r\n2,y\r3,\"z\"\"\""_ba << u"描述"_s << true;
        QTest::newRow("cells quoted without need")
            << "a,描述\r\n\"1\",\"x\"\r\n\"\",\"y\"\r\n"_ba << u"描述"_s << false;
        QTest::newRow("XLSX as CSV") << workbook(u"products.xlsx"_s) << u"备注"_s << false;
        QTest::newRow("ODS as CSV") << workbook(u"products.ods"_s) << u"备注"_s << false;
        QTest::newRow("XLSX listing as CSV") << workbook(u"listing.xlsx"_s) << u""_s << false;
    }

    // The written sheet reads back in the same form, with every other cell as
    // it was and the new cells in the column.
    void roundTrip()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, column);
        QFETCH(bool, sameBytes);
        QTemporaryDir dir;
        const QString in = dir.filePath(u"in.data"_s);
        const QString out = dir.filePath(u"out.csv"_s);
        orv::test::writeFile(in, data);
        const Sheet sheet = readSheet(in);
        const int c = sheet.descriptionColumn(column);
        const QStringList values = pages(sheet.rows.size());

        writeSheet(sheet, c, values, out);
        const Sheet back = readSheet(out);
        const bool workbook = sheet.format != Format::Csv;
        QCOMPARE(back.format, Format::Csv);
        QCOMPARE(back.listingLayout, sheet.listingLayout);
        QCOMPARE(back.csv.encoding, workbook ? Encoding::Utf8 : sheet.csv.encoding);
        QCOMPARE(back.csv.byteOrderMark, workbook || sheet.csv.byteOrderMark);
        QCOMPARE(back.csv.separator, workbook ? u',' : sheet.csv.separator);
        if (!workbook)
            QCOMPARE(back.csv.head, sheet.csv.head);
        QCOMPARE(orv::test::content(back).first(), orv::test::content(sheet).first());
        QCOMPARE(back.rows.size(), sheet.rows.size());
        for (qsizetype i = 0; i < sheet.rows.size(); ++i) {
            QStringList expected = sheet.rows[i].cells;
            expected[c] = values[i];
            QCOMPARE(back.rows[i].cells, expected);
        }
        QCOMPARE(readFile(in), data);
        if (sameBytes)
            QCOMPARE(sheetBytes(sheet, c, columnCells(sheet, c)), data);
    }

    void refuse()
    {
        QTemporaryDir dir;
        const QString in = dir.filePath(u"in.csv"_s);
        const QByteArray data = "a,描述\r\n1,x\r\n"_ba;
        orv::test::writeFile(in, data);
        const Sheet sheet = readSheet(in);
        const QStringList one{u"新"_s};
        const auto write = [&](const QString &path, const QStringList &values = {u"新"_s}, int column = 1) {
            return failureOf([&] { writeSheet(sheet, column, values, path); });
        };
        const QString itself = u"it is the sheet that was read; choose another file"_s;
        QVERIFY(write(in).endsWith(itself));
        QDir(dir.path()).mkdir(u"sub"_s);
        QVERIFY(write(dir.path() + u"/sub/../in.csv"_s).endsWith(itself));
#ifdef Q_OS_UNIX
        QVERIFY(QFile::link(in, dir.filePath(u"link.csv"_s)));
        QVERIFY(write(dir.filePath(u"link.csv"_s)).endsWith(itself));
        QCOMPARE(::link(QFile::encodeName(in).constData(), QFile::encodeName(dir.filePath(u"hard.csv"_s)).constData()),
                 0);
        QVERIFY(write(dir.filePath(u"hard.csv"_s)).endsWith(itself));
#endif
        QVERIFY(write(dir.filePath(u"none/out.csv"_s)).startsWith(u"Cannot write sheet \""_s));
        QVERIFY(write(dir.filePath(u"out.csv"_s), {}).endsWith(u"0 texts for 1 rows"_s));
        QVERIFY(write(dir.filePath(u"out.csv"_s), {QString(QChar(0xD800))})
                    .endsWith(u"line 2: the new text is not valid Unicode"_s));
        QVERIFY(write(dir.filePath(u"out.csv"_s), one, 2).endsWith(u"it has no column 3"_s));
        QCOMPARE(readFile(in), data);
        QVERIFY(!orv::test::listing(dir.path()).contains(u"out.csv"_s));

        const Sheet xlsx = parseSheet(workbook(u"products.xlsx"_s), dir.filePath(u"p.xlsx"_s));
        QVERIFY(failureOf([&] {
                    writeSheet(xlsx, 6, pages(xlsx.rows.size()), dir.filePath(u"p2.xlsx"_s));
                }).endsWith(u"a workbook is written back as CSV: give a file name ending in .csv"_s));
        QStringList broken = pages(xlsx.rows.size());
        broken[1] = QString(QChar(0xDC00));
        QVERIFY(failureOf([&] {
                    sheetBytes(xlsx, 6, broken);
                }).endsWith(u"sheet 宝贝, row 3, column G: the new text is not valid Unicode"_s));

        QVERIFY(
            failureOf([&] { sheet.descriptionColumn({}); }).contains(u"name the column that is to hold the pages"_s));
        QVERIFY(failureOf([&] {
                    sheet.descriptionColumn(u"详情"_s);
                }).endsWith(u"has no column \"详情\" (its columns: a, 描述)"_s));
    }

    void keys_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QStringList>("keys");
        const QString long100 = QString(100, u'商');
        QTest::newRow("unique") << QStringList{u"A001"_s, u"A002"_s} << QStringList{u"A001"_s, u"A002"_s};
        QTest::newRow("duplicates, any case") << QStringList{u"A1"_s, u"a1"_s, u"A1"_s, u"A1-2"_s}
                                              << QStringList{u"A1"_s, u"a1-2"_s, u"A1-3"_s, u"A1-2-2"_s};
        QTest::newRow("separators, traversal, drives") << QStringList{u"../../etc/passwd"_s, u"a/b\\c"_s, u"C:\\x"_s}
                                                       << QStringList{u"_._.._etc_passwd"_s, u"a_b_c"_s, u"C__x"_s};
        QTest::newRow("dots") << QStringList{u"."_s, u".."_s, u"a."_s, u"a. ."_s, u".hidden"_s}
                              << QStringList{u"1"_s, u"2"_s, u"a"_s, u"a-2"_s, u"_hidden"_s};
        QTest::newRow("devices") << QStringList{u"CON"_s,    u"con.txt"_s, u"Nul .tar.gz"_s, u"COM1"_s,
                                                u"lpt9.x"_s, u"COM10"_s,   u"CONSOLE"_s}
                                 << QStringList{u"_CON"_s,    u"_con.txt"_s, u"_Nul .tar.gz"_s, u"_COM1"_s,
                                                u"_lpt9.x"_s, u"COM10"_s,    u"CONSOLE"_s};
        QTest::newRow("forbidden characters")
            << QStringList{u"a<b>c:d\"e|f?g*h"_s, u"tab\there"_s, u"零宽\u200B字"_s, u"\u202Egnp.exe"_s}
            << QStringList{u"a_b_c_d_e_f_g_h"_s, u"tab_here"_s, u"零宽_字"_s, u"_gnp.exe"_s};
        QTest::newRow("empty and blank") << QStringList{u""_s, u"  "_s, u"\u3000"_s}
                                         << QStringList{u"1"_s, u"2"_s, u"3"_s};
        QTest::newRow("bounded") << QStringList{long100, long100, u"😀"_s.repeated(40)}
                                 << QStringList{long100.left(40), long100.left(39) + u"-2"_s, u"😀"_s.repeated(30)};
    }

    void keys()
    {
        QFETCH(QStringList, cells);
        QFETCH(QStringList, keys);
        Sheet sheet;
        sheet.columns = {{u"outer_id"_s, {}}, {u"x"_s, {}}};
        for (const QString &cell : cells)
            sheet.rows.append({{cell, u"x"_s}, 0});
        QCOMPARE(fileKeys(sheet, {}), keys);
    }

    void keyColumn_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("keyColumn");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("listing: outer_id")
            << orv::test::listingExport().toUtf8() << u""_s << QStringList{u"A001"_s, u"A002"_s};
        QTest::newRow("商家编码") << "名称,商家编码\r\n甲,K1\r\n乙,K2\r\n"_ba << u""_s << QStringList{u"K1"_s, u"K2"_s};
        QTest::newRow("none: row numbers") << "名称\r\n甲\r\n乙\r\n"_ba << u""_s << QStringList{u"1"_s, u"2"_s};
        QTest::newRow("named") << "名称,商家编码\r\n甲,K1\r\n乙,K2\r\n"_ba << u" 名称 "_s
                               << QStringList{u"甲"_s, u"乙"_s};
    }

    void keyColumn()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, keyColumn);
        QFETCH(QStringList, keys);
        QCOMPARE(fileKeys(parseSheet(data, u"in.csv"_s), keyColumn), keys);
    }

    void unknownKeyColumn()
    {
        const Sheet sheet = parseSheet("名称\r\n甲\r\n"_ba, u"in.csv"_s);
        QCOMPARE(failureOf([&] { fileKeys(sheet, u"编号"_s); }),
                 u"Sheet \"in.csv\" has no key column \"编号\" (its columns: 名称)"_s);
    }
};

QTEST_GUILESS_MAIN(TestSheetWrite)
#include "tst_sheetwrite.moc"
