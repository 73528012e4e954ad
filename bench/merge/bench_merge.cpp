// One design of 10 entries (the sample project's nine, slots in four of
// them, and code with slots) over a CSV sheet of 100, 1,000 and 10,000 rows,
// without pictures: `orvanta-cli merge` reading the sheet and writing every
// page and index.csv into a folder, as the user runs it; once as it is and
// once with --check. Reports the time per run and rows/s; the growth should
// be linear.
//
//   bench_merge [benchmark options]

#include "cli/cli.h"
#include "core/project.h"
#include "modules/catalog.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString design()
{
    static const QString path = [] {
        orv::Project project = orv::readProjectFile(QStringLiteral(ORVANTA_SAMPLE), orv::catalog::pages());
        for (orv::ModuleEntry &entry : project.entries) {
            orv::FieldValues &fields = entry.source->fields;
            if (entry.source->page == u"tsfengetiao"_s)
                fields[u"title"_s] = u"{{宝贝名称}}"_s;
            else if (entry.source->page == u"tscanshu"_s)
                fields[u"parameters"_s] = u"编码|{{outer_id}}|价格|{{price}}|库存|{{stock}}"_s;
            else if (entry.source->page == u"tsyouhuiquan"_s)
                fields[u"amounts"_s] = u"5|{{stock}}|20"_s;
        }
        project.entries.append({10, u"说明"_s, u"<p>{{宝贝名称}}: {{description}}</p>"_s, std::nullopt});
        const QString file = folder().filePath(u"design.orvanta"_s);
        orv::writeProjectFile(file, project);
        return file;
    }();
    return path;
}

QString sheet(int rows)
{
    const QString path = folder().filePath(u"products-%1.csv"_s.arg(rows));
    if (QFile::exists(path))
        return path;
    QString text = u"outer_id,宝贝名称,price,stock,description\r\n"_s;
    for (int i = 0; i < rows; ++i) {
        text += u"SKU%1,商品 %1 纯棉短袖T恤 夏季新款,%2,%3,\"<b>商品 %1 的描述，含,逗号</b>\"\r\n"_s.arg(i)
                    .arg(19.9 + i % 100)
                    .arg(i % 500);
    }
    QFile out(path);
    const QByteArray bytes = text.toUtf8();
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write the sheet");
    return path;
}

void merge(benchmark::State &state, bool check)
{
    const int rows = int(state.range(0));
    QStringList arguments{
        u"merge"_s, design(), sheet(rows), u"--out"_s, folder().filePath(u"pages-%1"_s.arg(rows)), u"--overwrite"_s};
    if (check)
        arguments.append(u"--check"_s);
    for (auto _ : state) {
        const orv::cli::Result result = orv::cli::run(arguments);
        if (result.exitCode != 0)
            throw std::runtime_error(result.err.toStdString());
    }
    state.SetComplexityN(rows);
    state.counters["rows/s"] = benchmark::Counter(double(rows), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Merge(benchmark::State &state)
{
    merge(state, false);
}
void BM_MergeChecked(benchmark::State &state)
{
    merge(state, true);
}

BENCHMARK(BM_Merge)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_MergeChecked)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
