// Product sheets of 1,000 and 10,000 rows (an SKU, a title, a price, a stock
// and a description with a comma, as in bench/sheets/CMakeLists.txt): read
// from a file as CSV in UTF-8, GB18030 and the listing tool's UTF-16 layout,
// as XLSX and as ODS; written back with a page of 2,000 characters a row;
// and their keys made file names. Reports the time per sheet and rows/s.
//
//   bench_sheets [benchmark options]

#include "sheets/sheet.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <stdexcept>

using namespace Qt::StringLiterals;
using namespace orv::sheets;

namespace {

QString csvText(int rows, bool listing)
{
    QString text = listing ? u"version 1.00\r\nouter_id\ttitle\tprice\tstock\tdescription\r\n"
                             "商家编码\t宝贝名称\t宝贝价格\t宝贝数量\t宝贝描述\r\n"_s
                           : u"outer_id,title,price,stock,description\r\n"_s;
    const QChar separator = listing ? u'\t' : u',';
    for (int i = 0; i < rows; ++i) {
        const QStringList cells{u"SKU%1"_s.arg(i, 5, 10, QLatin1Char('0')), u"商品 %1 纯棉短袖T恤 夏季新款"_s.arg(i),
                                QString::number(19.9 + i % 100), QString::number(i % 500),
                                u"\"<p>商品 %1 的描述，含,逗号</p>\""_s.arg(i)};
        text += cells.join(separator) + u"\r\n"_s;
    }
    return text;
}

QByteArray encoded(const QString &text, const char *encoding, const QByteArray &mark = {})
{
    QStringEncoder encoder(encoding);
    return mark + QByteArray(encoder(text));
}

// A file that lives as long as the program.
QString file(const QString &name, const QByteArray &bytes)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write the sheet");
    return path;
}

void report(benchmark::State &state, const Sheet &sheet)
{
    state.SetComplexityN(sheet.rows.size());
    state.counters["rows/s"]
        = benchmark::Counter(double(sheet.rows.size()), benchmark::Counter::kIsIterationInvariantRate);
}

void readFile(benchmark::State &state, const QString &path)
{
    Sheet sheet;
    for (auto _ : state)
        sheet = readSheet(path);
    if (sheet.rows.size() != state.range(0))
        state.SkipWithError("the sheet has another number of rows");
    report(state, sheet);
}

void ReadCsvUtf8(benchmark::State &state)
{
    readFile(state, file(u"utf8.csv"_s, csvText(int(state.range(0)), false).toUtf8()));
}

void ReadCsvGb18030(benchmark::State &state)
{
    readFile(state, file(u"gb18030.csv"_s, encoded(csvText(int(state.range(0)), false), "GB18030")));
}

void ReadListingUtf16(benchmark::State &state)
{
    readFile(state, file(u"listing.txt"_s, encoded(csvText(int(state.range(0)), true), "UTF-16LE", "\xFF\xFE")));
}

#ifdef ORVANTA_BENCH_WORKBOOKS
void ReadXlsx(benchmark::State &state)
{
    readFile(state, u"%1/products-%2.xlsx"_s.arg(QStringLiteral(ORVANTA_BENCH_WORKBOOKS)).arg(state.range(0)));
}

void ReadOds(benchmark::State &state)
{
    readFile(state, u"%1/products-%2.ods"_s.arg(QStringLiteral(ORVANTA_BENCH_WORKBOOKS)).arg(state.range(0)));
}

BENCHMARK(ReadXlsx)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(ReadOds)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
#endif

void WriteBack(benchmark::State &state)
{
    const Sheet sheet = parseSheet(encoded(csvText(int(state.range(0)), true), "UTF-16LE", "\xFF\xFE"), u"in"_s);
    const QString page = u"<div style=\"width:750px\"><img src=\"https://img.example.cn/a.jpg\"/>描述</div>\r\n"_s;
    const QStringList pages(sheet.rows.size(), page.repeated(2000 / int(page.size())));
    const int column = sheet.descriptionColumn({});
    const QString out = file(u"out.txt"_s, {});
    for (auto _ : state)
        writeSheet(sheet, column, pages, out);
    report(state, sheet);
}

void FileKeys(benchmark::State &state)
{
    const Sheet sheet = parseSheet(csvText(int(state.range(0)), false).toUtf8(), u"in"_s);
    for (auto _ : state)
        benchmark::DoNotOptimize(fileKeys(sheet, {}));
    report(state, sheet);
}

BENCHMARK(ReadCsvUtf8)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(ReadCsvGb18030)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(ReadListingUtf16)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(WriteBack)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(FileKeys)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
