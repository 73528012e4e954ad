// orvanta-cli merge through orv::cli::run: the folder it writes (and what it
// never touches), the index, write-back and its refusals.

#include "cli/cli.h"
#include "core/project.h"
#include "core/sharedvalues.h"
#include "modules/catalog.h"
#include "sheets/sheetfiles.h"
#include "support/files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;

namespace {

// The design: a divider bar titled by the sheet, and code of its own.
Project design()
{
    Project project;
    FieldValues divider{{u"title"_s, u"{{宝贝名称}}"_s}};
    project.entries = {
        {1, u"[ 分隔条 ] "_s, {}, EntrySource{u"tsfengetiao"_s, divider, Metrics::forShop(Shop::Taobao)}},
        {2, u"价格"_s, u"<p>¥{{price}}</p>"_s, std::nullopt},
    };
    return project;
}

const QString plainSheet = u"商家编码,宝贝名称,price,详情\r\nA1,纯棉 T恤,99.9,旧一\r\nA2,亚麻衬衫,<script>,旧二\r\n"
                           "A3,\"逗号,衫\",5,\r\n"_s;

// index.csv without its byte-order mark, its lines without CR LF.
QStringList indexLines(const QString &folder)
{
    const QByteArray bytes = test::readFile(folder + u"/index.csv"_s);
    if (!bytes.startsWith("\xEF\xBB\xBF"))
        return {u"<no byte-order mark>"_s};
    return QString::fromUtf8(bytes.mid(3)).split(u"\r\n"_s, Qt::SkipEmptyParts);
}

// Every file in the folder with its bytes, for "left as it was".
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : test::listing(folder))
        files.insert(name, test::readFile(folder + u'/' + name));
    return files;
}

} // namespace

class TstMergeCommand : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_project;
    QString m_sheet;
    QString m_out;

    cli::Result merge(const QStringList &more, const cli::Context &context = {})
    {
        return cli::run(QStringList{u"merge"_s, m_project, m_sheet, u"--out"_s, m_out} + more, context);
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        const QString dir = m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + u'-'
                                           + QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(dir));
        m_project = dir + u"/design.orvanta"_s;
        m_sheet = dir + u"/products.csv"_s;
        m_out = dir + u"/pages"_s;
        writeProjectFile(m_project, design());
        test::writeFile(m_sheet, plainSheet.toUtf8());
    }

    // Each row's page is what build --regenerate makes with its values; a
    // row the check fails is listed with its message and the others go on.
    void pagesAndIndex()
    {
        const cli::Result result = merge({u"--check"_s});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err.left(40), "orvanta-cli: row 2 (A2): the page check "_ba);
        QCOMPARE(result.out, QByteArray());
        QVERIFY(result.err.endsWith((u"\n3 rows merged into "_s + m_out + u": 2 pages, 1 failed\n"_s).toUtf8()));
        QCOMPARE(test::listing(m_out), (QStringList{u"A1.html"_s, u"A3.html"_s, u"index.csv"_s}));
        const QStringList lines = indexLines(m_out);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], u"row,key,file,characters,errors,warnings,message,pictures"_s);
        const QByteArray page = test::readFile(m_out + u"/A1.html"_s);
        QVERIFY2(lines[1].startsWith(u"1,A1,A1.html,%1,0,"_s.arg(QString::fromUtf8(page).size())),
                 qPrintable(lines[1]));
        QVERIFY2(lines[2].startsWith(u"2,A2,,"_s) && lines[2].contains(u",\"the page check found 1 error(s);"_s),
                 qPrintable(lines[2]));

        Project project = design();
        project.entries[0].source->fields[u"title"_s] = u"纯棉 T恤"_s;
        project.entries[1].code = u"<p>¥99.9</p>"_s;
        const QString filled = m_dir.filePath(u"filled.orvanta"_s);
        writeProjectFile(filled, project);
        QCOMPARE(page, cli::run(QStringList{u"build"_s, filled, u"--regenerate"_s}).out);
    }

    // The sheet written back: every cell as it was but the pages' column,
    // which holds each merged row's page; in the sheet's own encoding.
    void writeBack_data()
    {
        QTest::addColumn<QByteArray>("sheet");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("column");
        QTest::newRow("listing tool, UTF-16")
            << test::encoded(test::listingExport(), "UTF-16LE", "\xFF\xFE") << u"listing.csv"_s << QStringList{} << 3;
        QTest::newRow("plain, GB18030, --column")
            << test::encoded(plainSheet, "GB18030") << u"plain.csv"_s << QStringList{u"--column"_s, u" 详情"_s} << 3;
        QTest::newRow("workbook as CSV") << test::readFile(test::sheetDataDir() + u"/listing.xlsx"_s)
                                         << u"listing.xlsx"_s << QStringList{} << 3;
    }
    void writeBack()
    {
        QFETCH(QByteArray, sheet);
        QFETCH(QString, name);
        QFETCH(QStringList, options);
        QFETCH(int, column);
        m_sheet = QFileInfo(m_sheet).dir().filePath(name);
        test::writeFile(m_sheet, sheet);
        const QString back = m_out + u"-back.csv"_s;
        const cli::Result result = merge(QStringList{u"--rows"_s, u"2"_s, u"--write-sheet"_s, back} + options);
        QCOMPARE(result.exitCode, 0);

        const sheets::Sheet before = sheets::readSheet(m_sheet);
        const sheets::Sheet after = sheets::readSheet(back);
        QCOMPARE(after.columns.size(), before.columns.size());
        QCOMPARE(after.listingLayout, before.listingLayout);
        QCOMPARE(after.csv.encoding,
                 before.format == sheets::Format::Csv ? before.csv.encoding : sheets::Encoding::Utf8);
        QCOMPARE(after.rows.size(), before.rows.size());
        const QString key = sheets::fileKeys(before, {}).value(1);
        for (qsizetype row = 0; row < before.rows.size(); ++row) {
            QStringList expected = before.rows[row].cells;
            if (row == 1)
                expected[column] = QString::fromUtf8(test::readFile(m_out + u'/' + key + u".html"_s));
            QCOMPARE(after.rows[row].cells, expected);
        }
    }

    // Without --overwrite nothing of an earlier set (or a file the run
    // writes) is replaced; with it the earlier set goes as a whole; the
    // user's other files stay either way.
    void overwrite_data()
    {
        QTest::addColumn<QStringList>("first");  // an earlier run's options; empty: none
        QTest::addColumn<QStringList>("stray");  // files put into the folder before
        QTest::addColumn<QStringList>("second"); // this run's options
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("after"); // the folder's files; empty: as before
        const QStringList all{u"A1.html"_s, u"A2.html"_s, u"A3.html"_s, u"index.csv"_s};
        QTest::newRow("earlier merge") << QStringList{u"--rows=1"_s} << QStringList{} << QStringList{u"--rows=3"_s} << 2
                                       << QStringList{};
        QTest::newRow("a page of the user's")
            << QStringList{} << QStringList{u"A2.html"_s} << QStringList{} << 2 << QStringList{};
        QTest::newRow("other files") << QStringList{} << QStringList{u"notes.txt"_s, u"B.html"_s} << QStringList{} << 0
                                     << all + QStringList{u"B.html"_s, u"notes.txt"_s};
        QTest::newRow("replaced as a whole") << QStringList{u"--rows=1-2"_s} << QStringList{u"notes.txt"_s}
                                             << QStringList{u"--rows=3"_s, u"--overwrite"_s} << 0
                                             << QStringList{u"A3.html"_s, u"index.csv"_s, u"notes.txt"_s};
        QTest::newRow("a page of the user's, --overwrite")
            << QStringList{} << QStringList{u"A2.html"_s, u"notes.txt"_s} << QStringList{u"--overwrite"_s} << 0
            << all + QStringList{u"notes.txt"_s};
        QTest::newRow("an index of no merge") << QStringList{} << QStringList{u"A1.html"_s, u"index.csv"_s}
                                              << QStringList{u"--overwrite"_s, u"--rows=1"_s} << 2 << QStringList{};
    }
    void overwrite()
    {
        QFETCH(QStringList, first);
        QFETCH(QStringList, stray);
        QFETCH(QStringList, second);
        QFETCH(int, exitCode);
        QFETCH(QStringList, after);
        if (!first.isEmpty())
            QCOMPARE(merge(first).exitCode, 0);
        QVERIFY(QDir().mkpath(m_out));
        for (const QString &name : stray)
            test::writeFile(m_out + u'/' + name, "mine");
        const auto before = snapshot(m_out);
        const cli::Result result = merge(second);
        QCOMPARE(result.exitCode, exitCode);
        if (after.isEmpty()) {
            QCOMPARE(snapshot(m_out), before);
        } else {
            after.sort();
            QCOMPARE(test::listing(m_out), after);
            for (const QString &name : stray) {
                const bool written = name.endsWith(u".html"_s) && name.startsWith(u'A');
                QCOMPARE(test::readFile(m_out + u'/' + name) == "mine", !written);
            }
        }
    }

    // A run that cannot finish, or is interrupted, leaves the folder as it
    // was and no staging folder beside it.
    void failedRunLeavesTheFolder_data()
    {
        QTest::addColumn<bool>("interrupt");
        QTest::newRow("write-back fails") << false;
        QTest::newRow("interrupted") << true;
    }
    void failedRunLeavesTheFolder()
    {
        QFETCH(bool, interrupt);
        QCOMPARE(merge({u"--rows=1-2"_s}).exitCode, 0);
        test::writeFile(m_out + u"/notes.txt"_s, "mine");
        const auto before = snapshot(m_out);
        const QStringList beside = test::listing(m_out + u"/.."_s);

        std::atomic<bool> interrupted{false};
        cli::Context context;
        context.catchInterrupt = [&] { return &interrupted; };
        context.progress = [&](const QString &) { interrupted = interrupt; };
        const QStringList more = interrupt ? QStringList{u"--overwrite"_s}
                                           : QStringList{u"--overwrite"_s, u"--write-sheet"_s, m_out + u"/x/y.csv"_s,
                                                         u"--column"_s, u"详情"_s};
        const cli::Result result = merge(more, context);
        QCOMPARE(result.exitCode, interrupt ? int(cli::Interrupted) : 1);
        QVERIFY2(result.err.contains(interrupt ? "interrupted after 1 of 3 rows" : "Cannot write sheet"),
                 result.err.constData());
        QCOMPARE(snapshot(m_out), before);
        QCOMPARE(test::listing(m_out + u"/.."_s), beside);
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("message");
        QTest::newRow("rows past the end") << QStringList{u"--rows"_s, u"2-4"_s}
                                           << u"the rows \"2-4\": row 4 is past the sheet's last product row, 3"_s;
        QTest::newRow("key column") << QStringList{u"--key"_s, u"sku"_s} << u"has no key column \"sku\""_s;
        QTest::newRow("column alone") << QStringList{u"--column"_s, u"详情"_s}
                                      << u"--column only applies with --write-sheet"_s;
        QTest::newRow("no such column") << QStringList{u"--write-sheet"_s, u"b.csv"_s, u"--column"_s, u"描述"_s}
                                        << u"has no column \"描述\""_s;
        QTest::newRow("no description column")
            << QStringList{u"--write-sheet"_s, u"b.csv"_s} << u"name the column that is to hold the pages"_s;
        QTest::newRow("over the input") << QStringList{u"--write-sheet"_s, u"SHEET"_s, u"--column"_s, u"详情"_s}
                                        << u"is the sheet that was read"_s;
        QTest::newRow("encoding") << QStringList{u"--encoding"_s, u"latin-9"_s} << u"latin-9"_s;
        QTest::newRow("unknown option") << QStringList{u"--pictures"_s} << u"unknown option '--pictures' for merge"_s;
        QTest::newRow("picture option alone") << QStringList{u"--width"_s, u"750"_s} << u"only apply with --render"_s;
    }
    void usageErrors()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, message);
        options.replaceInStrings(u"SHEET"_s, m_sheet);
        const cli::Result result = merge(options);
        QCOMPARE(result.exitCode, 2);
        QVERIFY2(QString::fromUtf8(result.err).contains(message), result.err.constData());
        QVERIFY(!QFileInfo::exists(m_out));
    }

    // A style file's values over the project's shared values, and a sheet
    // column over both: merge and build --regenerate fill what the page
    // shows from them; a slot nothing fills is named before anything is made.
    void style()
    {
        Project project = design();
        project.values = {{u"主色"_s, u"#111111"_s}, {u"宝贝名称"_s, u"默认名"_s}, {u"price"_s, u"1"_s}};
        project.entries[0].source->fields[u"highlight_colour"_s] = u"{{主色}}"_s;
        writeProjectFile(m_project, project);
        const QString style = m_dir.filePath(u"shop.orvanta-style"_s);
        writeStyleFile(style, {{u"主色"_s, u"#222222"_s}, {u"宝贝名称"_s, u"样式名"_s}});

        // What build --regenerate makes of the design with these values typed in.
        const auto typed = [&](const QString &title, const QString &price) {
            Project filled = design();
            filled.entries[0].source->fields[u"title"_s] = title;
            filled.entries[0].source->fields[u"highlight_colour"_s] = u"#222222"_s;
            filled.entries[1].code = u"<p>¥%1</p>"_s.arg(price);
            const QString path = m_dir.filePath(u"typed.orvanta"_s);
            writeProjectFile(path, filled);
            return cli::run(QStringList{u"build"_s, path, u"--regenerate"_s}).out;
        };
        QCOMPARE(merge({u"--style"_s, style}).exitCode, 0);
        QCOMPARE(test::readFile(m_out + u"/A1.html"_s), typed(u"纯棉 T恤"_s, u"99.9"_s));
        const cli::Result built = cli::run({u"build"_s, m_project, u"--regenerate"_s, u"--style="_s + style});
        QCOMPARE(built.out, typed(u"样式名"_s, u"1"_s));

        project.values.removeLast();
        writeProjectFile(m_project, project);
        const cli::Result missing = cli::run({u"build"_s, m_project, u"--regenerate"_s});
        QCOMPARE(missing.exitCode, 2);
        QVERIFY2(missing.err.contains(u"entry 2 (价格), code: no value for the slot {{price}}\n(the shared "
                                      "values: 主色, 宝贝名称)"_s.toUtf8()),
                 missing.err.constData());
        QCOMPARE(cli::run({u"build"_s, m_project, u"--style"_s, style}).exitCode, 2);
    }

    // A slot naming no column of the sheet: nothing is written.
    void missingColumn()
    {
        Project project = design();
        project.entries[1].code = u"{{库存}}"_s;
        writeProjectFile(m_project, project);
        const cli::Result result = merge({});
        QCOMPARE(result.exitCode, 2);
        QVERIFY2(result.err.contains(
                     u"entry 2 (价格), code: the sheet has no column \"库存\" for the slot {{库存}}"_s.toUtf8()),
                 result.err.constData());
        QVERIFY(!QFileInfo::exists(m_out));
    }
};

QTEST_GUILESS_MAIN(TstMergeCommand)
#include "tst_mergecommand.moc"
