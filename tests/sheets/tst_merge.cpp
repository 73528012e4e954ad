// The merge run: every page kind gives what `generate --set` gives with the
// row's value, a failing row does not stop the others, and a design that
// does not fit the sheet fails before any row.

#include "cli/cli.h"
#include "core/failure.h"
#include "modules/catalog.h"
#include "modules/pagewidth.h"
#include "sheets/merge.h"
#include "support/generated.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;

namespace {

// Fails with the text of its field "fail"; else gives its field "text".
Generated probeGenerate(PageState &state, const Services &)
{
    if (!state.field(u"fail"_s).isEmpty())
        throw Failure(state.field(u"fail"_s));
    return {u"<p>"_s + state.field(u"text"_s) + u"</p>"_s};
}

const PageSpec &probePage()
{
    static const PageSpec page{.id = u"tsprobe"_s,
                               .fields = {{u"text"_s, u"edt1"_s, u"文字"_s}, {u"fail"_s, u"edt2"_s, u"失败"_s}},
                               .generate = &probeGenerate};
    return page;
}

sheets::Sheet csvSheet(const QString &text)
{
    return sheets::parseSheet(text.toUtf8(), u"products.csv"_s);
}

struct Run {
    QList<sheets::MergedRow> rows;
    sheets::MergeTotals totals;
};

Run merge(const Project &project, const QList<const PageSpec *> &pages, const sheets::Sheet &sheet,
          const sheets::MergeOptions &options = {}, const std::atomic<bool> *cancel = nullptr)
{
    Run run;
    run.totals = sheets::mergeSheet(
        project, pages, sheet, options, Services{}, [&](const sheets::MergedRow &row) { run.rows.append(row); },
        cancel);
    return run;
}

// The field of the page the slot stands in: its first multi-line field
// (whose text the generator cleans), else its first that is no radio group.
const FieldSpec *slotField(const PageSpec &page)
{
    const FieldSpec *found = nullptr;
    for (const FieldSpec &field : page.fields) {
        if (field.kind == FieldKind::Memo)
            return &field;
        if (!found && field.kind != FieldKind::Radio)
            found = &field;
    }
    return found;
}

} // namespace

class TstMerge : public QObject {
    Q_OBJECT

private slots:
    // A design of one entry whose field holds a slot: each row's page is
    // `generate --set FIELD=CELL` of the command line, followed by CR LF.
    void everyPageKind_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<Shop>("shop");
        for (const PageSpec *page : catalog::pages()) {
            QTest::addRow("%s taobao", qPrintable(page->id)) << page->id << Shop::Taobao;
            QTest::addRow("%s tmall", qPrintable(page->id)) << page->id << Shop::Tmall;
        }
    }
    void everyPageKind()
    {
        QFETCH(QString, page);
        QFETCH(Shop, shop);
        const PageSpec &pageSpec = *catalog::findPage(page);
        // A page of radio groups alone (the size table) holds no slot: its
        // page is the same for every row.
        const FieldSpec *field = slotField(pageSpec);
        bool numeric = false;
        if (field)
            field->defaultText.toInt(&numeric);
        const QStringList values
            = numeric ? QStringList{u"4"_s, u"6"_s} : QStringList{u"新品 \"上市\""_s, u"第一行\n第二行 二"_s};
        const sheets::Sheet sheet = csvSheet(
            u" 值 ,other\r\n\"%1\",x\r\n\"%2\",y\r\n"_s.arg(QString(values[0]).replace(u"\""_s, u"\"\""_s), values[1]));

        Project project;
        project.entries = {{1, pageSpec.moduleName, u"old"_s, EntrySource{page, {}, Metrics::forShop(Shop::Taobao)}}};
        // A radio group that starts without a choice gets its first item.
        QStringList choices;
        for (const FieldSpec &radio : pageSpec.fields) {
            if (radio.kind == FieldKind::Radio && radio.defaultText == u"-1"_s) {
                project.entries[0].source->fields.insert(radio.key, u"0"_s);
                choices << u"--set"_s << radio.key + u"=0"_s;
            }
        }
        // The slot takes the place of a pipe list's first item, so that
        // lists of pictures keep their length.
        const qsizetype pipe = field ? field->defaultText.indexOf(u'|') : -1;
        const QString rest = pipe < 0 ? QString() : field->defaultText.mid(pipe);
        if (field)
            project.entries[0].source->fields.insert(field->key, u"{{值}}"_s + rest);
        sheets::MergeOptions options;
        options.shop = shop;
        options.entryWidth = pagewidth::entryWidth;
        const Run run = merge(project, catalog::pages(), sheet, options);
        QCOMPARE(run.rows.size(), 2);
        for (qsizetype i = 0; i < 2; ++i) {
            QStringList arguments = QStringList{u"generate"_s, page, u"--shop"_s, shopName(shop)} + choices;
            if (field)
                arguments << u"--set"_s << field->key + u'=' + values[i] + rest;
            const cli::Result expected = cli::run(arguments);
            const sheets::MergedRow &row = run.rows[i];
            QCOMPARE(expected.exitCode, int(cli::Success));
            QCOMPARE(row.failure, QString());
            QCOMPARE(row.page, QString::fromUtf8(expected.out) + u"\r\n"_s);
            QCOMPARE(row.characters, row.page.size());
            QCOMPARE(row.codes, QStringList{QString::fromUtf8(expected.out)});
            QCOMPARE(row.pageWidth, pagewidth::fragmentWidth(page, Metrics::forShop(shop)));
        }
    }

    // A row whose generator fails, or (with check) whose page has an error,
    // is reported and the next one is made; a sheet column wins over another
    // source of the same name.
    void failingRowsGoOn_data()
    {
        QTest::addColumn<bool>("check");
        QTest::addColumn<QStringList>("outcomes");
        QTest::newRow("without check") << false
                                       << QStringList{u"A1 <p>a</p>|<b>店</b>店"_s,
                                                      u"A2 failed: entry 1 (探针): boom."_s,
                                                      u"A3 <p>c</p>|<script>x</script>店"_s};
        QTest::newRow("with check") << true
                                    << QStringList{u"A1 e0 <p>a</p>|<b>店</b>店"_s,
                                                   u"A2 failed: entry 1 (探针): boom."_s,
                                                   u"A3 e1 failed: the page check found 1 error(s)"_s};
    }
    void failingRowsGoOn()
    {
        QFETCH(bool, check);
        QFETCH(QStringList, outcomes);
        const sheets::Sheet sheet = csvSheet(u"outer_id,text,fail,html\r\nA1,a,,<b>店</b>\r\nA2,b,boom,\r\n"
                                             "A3,c,,<script>x</script>\r\n"_s);
        Project project;
        project.entries = {
            {1, u"探针"_s, {}, EntrySource{u"tsprobe"_s, {{u"text"_s, u"{{text}}"_s}, {u"fail"_s, u"{{fail}}"_s}}, {}}},
            {2, u"代码"_s, u"{{html}}{{店铺}}"_s, std::nullopt}};
        sheets::MergeOptions options;
        options.check = check;
        options.entryWidth = pagewidth::entryWidth;
        options.otherValues = [](const QString &name) -> std::optional<QString> {
            return name == u"店铺"_s ? std::optional(u"店"_s) : std::optional(u"never"_s);
        };
        const Run run = merge(project, {&probePage()}, sheet, options);
        QStringList got;
        for (const sheets::MergedRow &row : run.rows) {
            QString text = row.key + u' ';
            if (row.checked)
                text += u"e%1 "_s.arg(row.errors);
            if (row.failed())
                text += u"failed: "_s + row.failure.section(u';', 0, 0);
            else
                text += QString(row.page).replace(u"\r\n"_s, u"|"_s).chopped(1);
            got.append(text);
        }
        QCOMPARE(got, outcomes);
        QCOMPARE(run.totals.rows, 3);
        QCOMPARE(run.totals.failed, check ? 2 : 1);
    }

    // Nothing is made when the design does not fit the sheet or the options.
    void failsBeforeAnyRow_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("keyColumn");
        QTest::addColumn<qsizetype>("row");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing columns")
            << u"{{ 价格 }}{{title}}{{库存}}"_s << QString() << qsizetype(0)
            << u"Cannot merge sheet \"products.csv\": entry 7 (汇总), code: the sheet has no column \"价格\" for the "
               "slot {{ 价格 }}\nentry 7 (汇总), code: the sheet has no column \"库存\" for the slot {{库存}}\n"
               "(the sheet's columns: title, outer_id)"_s;
        QTest::newRow("unclosed") << u"{{title"_s << QString() << qsizetype(0)
                                  << u"Cannot merge sheet \"products.csv\": entry 7 (汇总), code: the slot {{title "
                                     "is not closed"_s;
        QTest::newRow("key column") << u"x"_s << u"sku"_s << qsizetype(0)
                                    << u"Sheet \"products.csv\" has no key column \"sku\""_s;
        QTest::newRow("row") << u"x"_s << QString() << qsizetype(2)
                             << u"Cannot merge sheet \"products.csv\": it has no row 3 (its rows: 1 to 2)"_s;
    }
    void failsBeforeAnyRow()
    {
        QFETCH(QString, code);
        QFETCH(QString, keyColumn);
        QFETCH(qsizetype, row);
        QFETCH(QString, message);
        Project project;
        project.entries = {{7, u"汇总"_s, code, std::nullopt}};
        sheets::MergeOptions options;
        options.keyColumn = keyColumn;
        options.rows = {row};
        Run run;
        const QString failure = test::failureOf(
            [&] { run = merge(project, {}, csvSheet(u"title,outer_id\r\na,1\r\nb,2\r\n"_s), options); });
        QVERIFY2(failure.startsWith(message), qPrintable(failure));
        QVERIFY(run.rows.isEmpty());
    }

    void cancel()
    {
        Project project;
        project.entries = {{1, u"代码"_s, u"{{t}}"_s, std::nullopt}};
        std::atomic<bool> cancelled{false};
        QList<qsizetype> done;
        const sheets::MergeTotals totals = sheets::mergeSheet(
            project, {}, csvSheet(u"t\r\na\r\nb\r\nc\r\n"_s), {}, {},
            [&](const sheets::MergedRow &row) {
                done.append(row.row);
                cancelled = true;
            },
            &cancelled);
        QCOMPARE(done, QList<qsizetype>{0});
        QVERIFY(totals.cancelled);
    }

    void rowsFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("rows"); // the indexes, or the failure's end
        QTest::newRow("one") << u"3"_s << u"2"_s;
        QTest::newRow("ranges") << u" 1-3 , 5 ,4-5"_s << u"0 1 2 3 4"_s;
        QTest::newRow("sorted once") << u"5,2,2-3"_s << u"1 2 4"_s;
        QTest::newRow("last row") << u"10"_s << u"9"_s;
        QTest::newRow("past the end") << u"1-11"_s << u"row 11 is past the sheet's last product row, 10"_s;
        QTest::newRow("zero") << u"0-2"_s << u"rows count from 1"_s;
        QTest::newRow("empty range") << u"5-3"_s << u"the range 5-3 is empty"_s;
        QTest::newRow("empty item") << u"1,,2"_s
                                    << u"\"\" is no row number or range such as 1-20 (rows count from 1)"_s;
        QTest::newRow("word") << u"all"_s << u"\"all\" is no row number or range such as 1-20 (rows count from 1)"_s;
        QTest::newRow("negative") << u"-2"_s << u"\"-2\" is no row number"_s;
        QTest::newRow("open range") << u"3-"_s << u"\"3-\" is no row number"_s;
    }
    void rowsFromText()
    {
        QFETCH(QString, text);
        QFETCH(QString, rows);
        QStringList got;
        const QString failure = test::failureOf([&] {
            for (const qsizetype row : sheets::rowsFromText(text, 10))
                got.append(QString::number(row));
        });
        if (failure.isEmpty())
            QCOMPARE(got.join(u' '), rows);
        else
            QVERIFY2(failure.contains(rows), qPrintable(failure));
    }
};

QTEST_GUILESS_MAIN(TstMerge)
#include "tst_merge.moc"
