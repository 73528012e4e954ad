// Reading product sheets: every encoding, layout and format a seller's sheet
// comes in, cells as the spreadsheet shows them, and what is refused.

#include "sheetfiles.h"
#include "sheets/numberformat.h"
#include "support/files.h"

#include "core/failure.h"

#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace orv::sheets;
using orv::test::content;
using orv::test::encoded;
using orv::test::Rows;

Q_DECLARE_METATYPE(orv::sheets::ReadOptions)

namespace {

// The file's form as read: "UTF-16LE+bom tab listing", "xlsx 宝贝".
QString form(const Sheet &sheet)
{
    if (sheet.format != Format::Csv) {
        return (sheet.format == Format::Xlsx ? u"xlsx "_s : u"ods "_s) + sheet.sheetName
               + (sheet.listingLayout ? u" listing"_s : QString());
    }
    return encodingName(sheet.csv.encoding) + (sheet.csv.byteOrderMark ? u"+bom"_s : QString())
           + (sheet.csv.separator == u'\t' ? u" tab"_s : QString(u' ') + sheet.csv.separator)
           + (sheet.listingLayout ? u" listing"_s : QString());
}

QByteArray workbook(const QString &name)
{
    return orv::test::readFile(orv::test::sheetDataDir() + u'/' + name);
}

ReadOptions encoding(const char *name)
{
    return {encodingFromName(QString::fromLatin1(name)), {}, {}};
}

const QString plain = u"商家编码,宝贝名称,价格\r\nA001,纯棉T恤,99.9\r\nA002,亚麻衬衫,59\r\n"_s;
const Rows plainRows{{u"商家编码"_s, u"宝贝名称"_s, u"价格"_s},
                     {u"A001"_s, u"纯棉T恤"_s, u"99.9"_s},
                     {u"A002"_s, u"亚麻衬衫"_s, u"59"_s}};

const QString listing = orv::test::listingExport();
const Rows listingRows{{u"title/宝贝名称"_s, u"outer_id/商家编码"_s, u"price/宝贝价格"_s, u"description/宝贝描述"_s},
                       {u"纯棉T恤"_s, u"A001"_s, u"99.9"_s, u"<p>多行\r\n描述</p>"_s},
                       {u"亚麻衬衫"_s, u"A002"_s, u"59"_s, u""_s}};

const Rows productColumns{{u"商家编码"_s, u"宝贝名称"_s, u"价格"_s, u"数量"_s, u"折扣"_s, u"上架日期"_s, u"备注"_s}};

} // namespace

class TestSheetRead : public QObject {
    Q_OBJECT

private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<ReadOptions>("options");
        QTest::addColumn<QString>("form");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QList<int>>("lines");

        QTest::newRow("UTF-8") << plain.toUtf8() << ReadOptions{} << u"UTF-8 ,"_s << plainRows << QList<int>{2, 3};
        QTest::newRow("UTF-8 with BOM") << "\xEF\xBB\xBF" + plain.toUtf8() << ReadOptions{} << u"UTF-8+bom ,"_s
                                        << plainRows << QList<int>{2, 3};
        QTest::newRow("UTF-16LE listing") << encoded(listing, "UTF-16LE", "\xFF\xFE") << ReadOptions{}
                                          << u"UTF-16LE+bom tab listing"_s << listingRows << QList<int>{4, 6};
        QTest::newRow("UTF-16BE listing") << encoded(listing, "UTF-16BE", "\xFE\xFF") << ReadOptions{}
                                          << u"UTF-16BE+bom tab listing"_s << listingRows << QList<int>{4, 6};
        // "商家编码,价格" CR LF "A001,99.9" CR LF in GBK, as Excel saves "CSV" on a Chinese system.
        QTest::newRow("GBK") << QByteArray("\xC9\xCC\xBC\xD2\xB1\xE0\xC2\xEB,\xBC\xDB\xB8\xF1\r\nA001,99.9\r\n")
                             << ReadOptions{} << u"GB18030 ,"_s
                             << Rows{{u"商家编码"_s, u"价格"_s}, {u"A001"_s, u"99.9"_s}} << QList<int>{2};
        QTest::newRow("GB18030 beyond GBK")
            << encoded(u"名称,图标\r\n笑脸,😀𠀀\r\n"_s, "GB18030") << ReadOptions{} << u"GB18030 ,"_s
            << Rows{{u"名称"_s, u"图标"_s}, {u"笑脸"_s, u"😀𠀀"_s}} << QList<int>{2};
        QTest::newRow("UTF-8 listing, commas after the version")
            << QString(listing).replace(u'\t', u',').replace(u"version 1.00"_s, u"version 1.00,,,"_s).toUtf8()
            << ReadOptions{} << u"UTF-8 , listing"_s << listingRows << QList<int>{4, 6};
        QTest::newRow("tabs and no commas") << "a\tb\n1\t2,3\n"_ba << ReadOptions{} << u"UTF-8 tab"_s
                                            << Rows{{u"a"_s, u"b"_s}, {u"1"_s, u"2,3"_s}} << QList<int>{2};
        QTest::newRow("a comma outside quotes wins") << "a,\"b\tc\"\td\r\n1,2\r\n"_ba << ReadOptions{} << u"UTF-8 ,"_s
                                                     << Rows{{u"a"_s, u"b\tc\td"_s}, {u"1"_s, u"2"_s}} << QList<int>{2};
        QTest::newRow("UTF-16LE without BOM, encoding given")
            << encoded(u"a\tb\r\n1\t二\r\n"_s, "UTF-16LE") << encoding("utf-16le") << u"UTF-16LE tab"_s
            << Rows{{u"a"_s, u"b"_s}, {u"1"_s, u"二"_s}} << QList<int>{2};
        QTest::newRow("GBK given") << "a,b\r\n1,\xB6\xFE\r\n"_ba << encoding("GBK") << u"GB18030 ,"_s
                                   << Rows{{u"a"_s, u"b"_s}, {u"1"_s, u"二"_s}} << QList<int>{2};
        QTest::newRow("separator given") << "a;b,c\n1;2\n"_ba << ReadOptions{Encoding::Detect, u';', {}} << u"UTF-8 ;"_s
                                         << Rows{{u"a"_s, u"b,c"_s}, {u"1"_s, u"2"_s}} << QList<int>{2};
        QTest::newRow("quoted cells")
            << "id,text\r\n1,\"a,b\r\nc\"\"d\te\"\r\n2,\"x\"y\r\n3,say \"hi\"\r\n"_ba << ReadOptions{} << u"UTF-8 ,"_s
            << Rows{{u"id"_s, u"text"_s}, {u"1"_s, u"a,b\r\nc\"d\te"_s}, {u"2"_s, u"xy"_s}, {u"3"_s, u"say \"hi\""_s}}
            << QList<int>{2, 4, 5};
        QTest::newRow("blank lines and empty records")
            << "a,b\n\n1,2\n,\n\n3,4"_ba << ReadOptions{} << u"UTF-8 ,"_s
            << Rows{{u"a"_s, u"b"_s}, {u"1"_s, u"2"_s}, {u"3"_s, u"4"_s}} << QList<int>{3, 6};
        QTest::newRow("CR line breaks") << "a,b\r1,2\r3,4\r"_ba << ReadOptions{} << u"UTF-8 ,"_s
                                        << Rows{{u"a"_s, u"b"_s}, {u"1"_s, u"2"_s}, {u"3"_s, u"4"_s}}
                                        << QList<int>{2, 3};
        QTest::newRow("names trimmed") << "  id ,名称\xE3\x80\x80\r\n1,2\r\n"_ba << ReadOptions{} << u"UTF-8 ,"_s
                                       << Rows{{u"id"_s, u"名称"_s}, {u"1"_s, u"2"_s}} << QList<int>{2};

        QTest::newRow("XLSX, cells as shown")
            << workbook(u"products.xlsx"_s) << ReadOptions{} << u"xlsx 宝贝"_s
            << productColumns
                   + Rows{{u"A001"_s, u"纯棉T恤"_s, u"99.9"_s, u"100"_s, u"85%"_s, u"2024-01-01"_s,
                           u"含,逗号\n和换行"_s},
                          {u"A002"_s, u"亚麻衬衫"_s, u"59.00"_s, u"200"_s, u"13%"_s, u"2025年1月1日"_s, u"TRUE"_s},
                          {u"A003"_s, u"羊毛围巾"_s, u"1,234.50"_s, u"12345678901"_s, u"0.1"_s, u"0.0000003"_s, u""_s},
                          {u""_s, u"无编码"_s, u"¥99.90"_s, u"-5"_s, u""_s, u""_s, u"空编码"_s}}
            << QList<int>{2, 3, 5, 6};
        QTest::newRow("XLSX, a sheet by name")
            << workbook(u"products.xlsx"_s) << ReadOptions{Encoding::Detect, {}, u" 库存 "_s} << u"xlsx 库存"_s
            << Rows{{u"编号"_s, u"库存"_s}, {u"K1"_s, u"7"_s}} << QList<int>{2};
        QTest::newRow("XLSX listing") << workbook(u"listing.xlsx"_s) << ReadOptions{} << u"xlsx Sheet1 listing"_s
                                      << Rows{{u"title/宝贝名称"_s, u"outer_id/商家编码"_s, u"price/宝贝价格"_s,
                                               u"description/宝贝描述"_s},
                                              {u"纯棉T恤"_s, u"A001"_s, u"99.9"_s, u"<p>旧\r\n行</p>"_s},
                                              {u"亚麻衬衫"_s, u"A002"_s, u"59"_s, u""_s}}
                                      << QList<int>{4, 5};
        QTest::newRow("ODS, cells as shown")
            << workbook(u"products.ods"_s) << ReadOptions{} << u"ods 宝贝"_s
            << productColumns
                   + Rows{{u"A001"_s, u"纯棉T恤"_s, u"99.9"_s, u"100"_s, u"85%"_s, u"2024-01-01"_s,
                           u"含,逗号\n和换行"_s},
                          {u"A002"_s, u"亚麻衬衫"_s, u"59.00"_s, u"200"_s, u"12%"_s, u"2025-01-01T12:00:00"_s,
                           u"TRUE"_s},
                          {u"A003"_s, u"羊毛围巾"_s, u"1234.50"_s, u"12345678901"_s, u"0.1"_s, u""_s, u""_s},
                          {u"A004"_s, u"a   b\tc\nd 粗"_s, u"¥99.90"_s, u"12:30"_s, u"0"_s, u"0"_s, u"ab"_s},
                          {u"A005"_s, u"同款"_s, u"10"_s, u""_s, u""_s, u""_s, u""_s},
                          {u"A005"_s, u"同款"_s, u"10"_s, u""_s, u""_s, u""_s, u""_s}}
            << QList<int>{2, 3, 4, 5, 6, 7};
        QTest::newRow("ODS, a sheet by name")
            << workbook(u"products.ods"_s) << ReadOptions{Encoding::Detect, {}, u"库存"_s} << u"ods 库存"_s
            << Rows{{u"编号"_s, u"库存"_s}, {u"K1"_s, u"7"_s}} << QList<int>{2};
    }

    void read()
    {
        QFETCH(QByteArray, data);
        QFETCH(ReadOptions, options);
        QFETCH(QString, form);
        QFETCH(Rows, rows);
        QFETCH(QList<int>, lines);
        const Sheet sheet = parseSheet(data, u"in"_s, options);
        QCOMPARE(::form(sheet), form);
        QCOMPARE(content(sheet), rows);
        QCOMPARE(orv::test::lines(sheet), lines);
    }

    // Both names of a listing-tool column find it, trimmed; nothing else does.
    void columnByEitherName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("column");
        QTest::newRow("English") << u"outer_id"_s << 1;
        QTest::newRow("Chinese") << u"商家编码"_s << 1;
        QTest::newRow("blanks around") << u" \t宝贝描述\u3000"_s << 3;
        QTest::newRow("another case") << u"Outer_ID"_s << -1;
        QTest::newRow("empty") << u""_s << -1;
        QTest::newRow("blank, where a column has no name") << u" "_s << -1;
    }

    void columnByEitherName()
    {
        QFETCH(QString, name);
        QFETCH(int, column);
        const QString unnamed = QString(listing).replace(u"\tdescription"_s, u"\t"_s);
        QCOMPARE(parseSheet(unnamed.toUtf8(), u"in"_s).column(name), column);
    }

    void refuse_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<ReadOptions>("options");
        QTest::addColumn<QString>("message");

        QByteArray bomb = workbook(u"products.xlsx"_s);
        bomb.replace(bomb.indexOf("PK\x01\x02") + 24, 4, "\x00\x00\x00\x70"_ba);

        QTest::newRow("more cells") << "a,b\r\n1,2,3\r\n"_ba << ReadOptions{}
                                    << u"line 2: 3 cells where the column names are 2"_s;
        QTest::newRow("fewer cells after a quoted line break")
            << "a,b\r\n\"x\r\ny\",1\r\n2\r\n"_ba << ReadOptions{} << u"line 4: 1 cell where the column names are 2"_s;
        QTest::newRow("unclosed quote") << "a,b\r\n1,2\r\n3,\"never\r\nclosed\r\n"_ba << ReadOptions{}
                                        << u"line 3: a quote opened here is never closed"_s;
        QTest::newRow("not UTF-8 as given")
            << "a,b\r\n1,\xFF\r\n"_ba << encoding("utf-8") << u"line 2: the text is not valid UTF-8"_s;
        QTest::newRow("neither UTF-8 nor GB18030")
            << "a,b\r\n1,2\r\n\x80,3\r\n"_ba << ReadOptions{}
            << u"line 3: the text is neither UTF-8 nor GB18030 (GBK); give its encoding"_s;
        QTest::newRow("odd UTF-16") << "\xFF\xFE"
                                       "a\x00\t\x00"
                                       "b\x00\n\x00\x31"_ba
                                    << ReadOptions{} << u"line 2: the text is not valid UTF-16LE"_s;
        QTest::newRow("lone surrogate in UTF-16")
            << encoded(u"a\tb\r\n1\t2\r\n3\t"_s + QChar(0xDEDE), "UTF-16LE", "\xFF\xFE") << ReadOptions{}
            << u"line 3: the text is not valid UTF-16LE"_s;
        QTest::newRow("too large") << QByteArray(maxSheetBytes + 1, 'a') << ReadOptions{} << u"larger than 64 MiB"_s;
        QTest::newRow("empty") << "\r\n,\r\n"_ba << ReadOptions{} << u"the file holds no column names"_s;
        QTest::newRow("version line alone")
            << "version 1.00\r\n"_ba << ReadOptions{} << u"line 1: the version line is followed by no column names"_s;
        QTest::newRow("fewer Chinese names") << "version 1.00\r\na,b\r\n甲\r\n"_ba << ReadOptions{}
                                             << u"line 3: 1 Chinese column name for 2 English ones on line 2"_s;
        QTest::newRow("a quote as separator") << "a,b\r\n"_ba << ReadOptions{Encoding::Detect, u'"', {}}
                                              << u"a quote or a line break cannot separate cells"_s;
        QTest::newRow("sheet of a CSV file") << plain.toUtf8() << ReadOptions{Encoding::Detect, {}, u"x"_s}
                                             << u"a CSV file has no sheets to choose from (\"x\" was asked for)"_s;
        QTest::newRow("XLS") << "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 and more"_ba << ReadOptions{}
                             << u"an Excel 97-2003 workbook (.xls), which is not read; save it as XLSX or CSV"_s;
        QTest::newRow("empty zip") << "PK\x05\x06"_ba + QByteArray(18, '\0') << ReadOptions{}
                                   << u"a zip archive that is neither an XLSX nor an ODS workbook"_s;
        QTest::newRow("zip bomb") << bomb << ReadOptions{} << u"it unpacks to more than 1024 MiB"_s;
        QTest::newRow("damaged XLSX") << workbook(u"products.xlsx"_s).left(1500) << ReadOptions{}
                                      << u"a damaged zip archive (no readable central directory)"_s;
        QTest::newRow("XLSX, unknown sheet")
            << workbook(u"products.xlsx"_s) << ReadOptions{Encoding::Detect, {}, u"无此表"_s}
            << u"it has no sheet \"无此表\" (its sheets: \"宝贝\", \"库存\")"_s;
        QTest::newRow("ODS, unknown sheet")
            << workbook(u"products.ods"_s) << ReadOptions{Encoding::Detect, {}, u"无此表"_s}
            << u"it has no sheet \"无此表\" (its sheets: \"宝贝\", \"库存\")"_s;
        QTest::newRow("XLSX, inline strings")
            << workbook(u"inline.xlsx"_s) << ReadOptions{}
            << u"xl/worksheets/sheet1.xml holds text in a form this program cannot read (inline strings)"_s;
    }

    // Each refusal names the file and what is wrong where.
    void refuse()
    {
        QFETCH(QByteArray, data);
        QFETCH(ReadOptions, options);
        QFETCH(QString, message);
        try {
            parseSheet(data, u"货品.csv"_s, options);
            QFAIL("read");
        } catch (const orv::Failure &failure) {
            QVERIFY2(failure.message().startsWith(u"Cannot read sheet \"货品.csv\": "_s),
                     qPrintable(failure.message()));
            QVERIFY2(failure.message().contains(message), qPrintable(failure.message()));
        }
    }

    void refuseFoldersAndMissingFiles()
    {
        QTemporaryDir dir;
        QVERIFY_THROWS_EXCEPTION(orv::Failure, readSheet(dir.path()));
        QVERIFY_THROWS_EXCEPTION(orv::Failure, readSheet(dir.filePath(u"none.csv"_s)));
        QVERIFY_THROWS_EXCEPTION(orv::Failure, encodingFromName(u"big5"_s));
    }

    void numbers_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("shown");
        QTest::newRow("general, shortest") << 99.9 << u""_s << u"99.9"_s;
        QTest::newRow("general, whole") << 100.0 << u"General"_s << u"100"_s;
        QTest::newRow("general, small") << 1e-7 << u""_s << u"0.0000001"_s;
        QTest::newRow("general, huge") << 1e22 << u""_s << u"1e+22"_s;
        QTest::newRow("barcode") << 6901234567892.0 << u"0"_s << u"6901234567892"_s;
        QTest::newRow("leading zeros") << 123.0 << u"000000"_s << u"000123"_s;
        QTest::newRow("places") << 59.0 << u"0.00"_s << u"59.00"_s;
        QTest::newRow("half up on 15 digits") << 2.675 << u"0.00"_s << u"2.68"_s;
        QTest::newRow("carry") << 9.999 << u"0.00"_s << u"10.00"_s;
        QTest::newRow("optional places") << 1.5 << u"0.##"_s << u"1.5"_s;
        QTest::newRow("no whole digit") << 0.5 << u"#.00"_s << u".50"_s;
        QTest::newRow("grouping") << 1234567.891 << u"#,##0.00"_s << u"1,234,567.89"_s;
        QTest::newRow("thousands") << 1234567.0 << u"#,##0,\"千\""_s << u"1,235千"_s;
        QTest::newRow("negative") << -5.0 << u"0.00"_s << u"-5.00"_s;
        QTest::newRow("negative rounds to zero") << -0.001 << u"0.00"_s << u"0.00"_s;
        QTest::newRow("negative section") << -5.0 << u"0.00;(0.00)"_s << u"(5.00)"_s;
        QTest::newRow("zero section") << 0.0 << u"0.00;-0.00;\"-\""_s << u"-"_s;
        QTest::newRow("percent") << 0.85 << u"0%"_s << u"85%"_s;
        QTest::newRow("percent, places") << 0.125 << u"0.00%"_s << u"12.50%"_s;
        QTest::newRow("currency text") << 99.9 << u"\"¥\"#,##0.00"_s << u"¥99.90"_s;
        QTest::newRow("currency tag") << 99.9 << u"[$¥-804]#,##0.00;[Red]-[$¥-804]#,##0.00"_s << u"¥99.90"_s;
        QTest::newRow("accounting") << 1234.0 << u"_ ￥* #,##0.00_ ;_ ￥* -#,##0.00_ ;_ ￥* \"-\"??_ ;_ @_ "_s
                                    << u"￥1,234.00"_s;
        QTest::newRow("date") << 45292.0 << u"yyyy\\-mm\\-dd"_s << u"2024-01-01"_s;
        QTest::newRow("Chinese date") << 45658.5 << builtInFormat(31) << u"2025年1月1日"_s;
        QTest::newRow("short date and time") << 45658.75 << builtInFormat(22) << u"2025/1/1 18:00"_s;
        QTest::newRow("minutes, not months") << 0.5208333333 << u"hh:mm:ss"_s << u"12:30:00"_s;
        QTest::newRow("12 hours") << 0.75 << u"h:mm AM/PM"_s << u"6:00 PM"_s;
        QTest::newRow("Chinese 12 hours") << 0.25 << builtInFormat(34) << u"上午6时00分"_s;
        QTest::newRow("month name") << 45292.0 << u"d-mmm-yy"_s << u"1-Jan-24"_s;
        QTest::newRow("exponent: shortest") << 1500.0 << u"0.00E+00"_s << u"1500"_s;
        QTest::newRow("fraction: shortest") << 1.5 << u"# ?/?"_s << u"1.5"_s;
        QTest::newRow("text: shortest") << 42.0 << u"@"_s << u"42"_s;
        QTest::newRow("condition: shortest") << 42.0 << u"[>100]0;0.0"_s << u"42"_s;
    }

    void numbers()
    {
        QFETCH(double, value);
        QFETCH(QString, code);
        QFETCH(QString, shown);
        QCOMPARE(formatNumber(value, code, QDate(1899, 12, 30)), shown);
    }
};

QTEST_GUILESS_MAIN(TestSheetRead)
#include "tst_sheetread.moc"
