#include "cli/cli.h"
#include "core/linelist.h"
#include "core/modulelistmodel.h"
#include "core/outputbuffer.h"
#include "core/pipelist.h"
#include "modules/header/coupons/coupons.h"
#include "modules/product/details/details.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// A text of exactly size characters made of repeated pieces.
QString repeatedTo(const QString &piece, qsizetype size)
{
    return piece.repeated(size / piece.size() + 1).left(size);
}

// A pipe list as a seller pastes it: blanks around, items on lines of their own.
QString pipeText(qsizetype size)
{
    return u"  "_s + repeatedTo(u"item 12|\r\n\"a | b\" |"_s, size - 4) + u"  "_s;
}

QString linesText(qsizetype size)
{
    return repeatedTo(u"first line\r\nsecond\rthird\nfourth\n\r"_s, size);
}

void sizes(benchmark::internal::Benchmark *b)
{
    b->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Complexity()->Unit(benchmark::kMillisecond);
}

void BM_CleanPipeFieldAndSplit(benchmark::State &state)
{
    const QString text = pipeText(state.range(0));
    for (auto _ : state) {
        QString field = text;
        orv::cleanPipeField(field);
        benchmark::DoNotOptimize(orv::splitPipeList(field));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CleanPipeFieldAndSplit)->Apply(sizes);

void BM_SplitAndJoinLines(benchmark::State &state)
{
    const QString text = linesText(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(orv::joinLines(orv::splitLines(text)));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SplitAndJoinLines)->Apply(sizes);

void BM_ToCrLfAndBack(benchmark::State &state)
{
    const QString text = linesText(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(orv::toLf(orv::toCrLf(text)));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ToCrLfAndBack)->Apply(sizes);

// The coupon generator with every memo that large.
void BM_CouponGenerator(benchmark::State &state)
{
    orv::PageState page = orv::coupons::pageSpec().defaultState();
    const QString amounts = repeatedTo(u"10|20|50|\r\n"_s, state.range(0));
    page.setField(u"amounts"_s, amounts);
    page.setField(u"conditions"_s, repeatedTo(u"满100元使用|\r\n"_s, state.range(0)));
    page.setField(u"links"_s, repeatedTo(u"https://shop.example/item?id=1|"_s, state.range(0)));
    for (auto _ : state) {
        orv::PageState run = page;
        benchmark::DoNotOptimize(orv::coupons::generate(run, {}));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CouponGenerator)->Apply(sizes);

// The product-details list with as many pictures as the memos hold: the
// count grows with the text, so per-picture work on the whole text would show.
void BM_DetailsGenerator(benchmark::State &state)
{
    const QString picture = u"https://img.example/p/1.jpg|"_s;
    const qsizetype count = state.range(0) / picture.size();
    orv::PageState page = orv::details::pageSpec().defaultState();
    page.setField(u"count"_s, QString::number(count));
    page.setField(u"pictures"_s, picture.repeated(count));
    page.setField(u"titles"_s, repeatedTo(u"标题|"_s, state.range(0)));
    page.setField(u"captions"_s, repeatedTo(u"说明文字|"_s, state.range(0)));
    for (auto _ : state) {
        orv::PageState run = page;
        benchmark::DoNotOptimize(orv::details::generate(run, {}));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_DetailsGenerator)->Apply(sizes);

// The whole command line with a value that large.
void BM_CommandLineGenerate(benchmark::State &state)
{
    const QStringList arguments{u"generate"_s, u"tsyouhuiquan"_s,
                                u"--set=mmojine="_s + repeatedTo(u"10|20|50|"_s, state.range(0))};
    for (auto _ : state)
        benchmark::DoNotOptimize(orv::cli::run(arguments));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CommandLineGenerate)->Apply(sizes);

// The module list: filling it, the summary of every entry and each entry's preview.
void BM_ModuleListSummary(benchmark::State &state)
{
    const QString code = repeatedTo(u"<div style=\"width:750px\">模块</div>\r\n"_s, 2000);
    for (auto _ : state) {
        orv::ModuleListModel list;
        for (int i = 0; i < state.range(0); ++i)
            list.append(u"分隔条"_s, code);
        list.moveDown(0);
        orv::OutputBuffer buffer;
        orv::writeSummary(list, buffer);
        benchmark::DoNotOptimize(buffer.text());
        for (int row = 0; row < list.count(); ++row)
            benchmark::DoNotOptimize(list.previewText(row));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ModuleListSummary)->Arg(10)->Arg(100)->Arg(1000)->Complexity()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
