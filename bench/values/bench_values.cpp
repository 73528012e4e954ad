// Changing the shop's look in a large project: one shared value used by 10 to
// 1,000 entries (divider bars and coupons) changed, which makes every one of
// them again; and a block of ten entries inserted. The window does this on
// its own thread, as one step. Run build-release/bench/values/bench_values.

#include "core/block.h"
#include "core/valuechange.h"
#include "modules/catalog.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

orv::Project lookProject(int entries)
{
    orv::Project project;
    project.values = {{u"主色"_s, u"#FF6600"_s}, {u"店铺名称"_s, u"小林家居"_s}};
    for (int i = 0; i < entries; ++i) {
        const bool divider = i % 2 == 0;
        const orv::PageSpec &page = *orv::catalog::findPage(divider ? u"tsfengetiao"_s : u"tsyouhuiquan"_s);
        orv::FieldValues fields = page.defaultState().fields;
        fields[divider ? u"highlight_colour"_s : u"card_colour"_s] = u"{{主色}}"_s;
        if (divider)
            fields[u"title"_s] = u"{{店铺名称}}"_s;
        project.entries.append({i + 1, page.moduleName, {}, orv::EntrySource{page.id, fields, project.metrics}});
    }
    return project;
}

void ChangeValue(benchmark::State &state)
{
    const orv::Project project = lookProject(int(state.range(0)));
    const orv::SharedValues values{{u"主色"_s, u"#00AA00"_s}, project.values[1]};
    for (auto _ : state)
        benchmark::DoNotOptimize(orv::changeSharedValues(project, values, {}, orv::catalog::pages(), {}));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(ChangeValue)->RangeMultiplier(10)->Range(10, 1000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

void RenameValue(benchmark::State &state)
{
    const orv::Project project = lookProject(int(state.range(0)));
    const orv::SharedValues values{{u"品牌色"_s, u"#FF6600"_s}, project.values[1]};
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            orv::changeSharedValues(project, values, {{u"主色"_s, u"品牌色"_s}}, orv::catalog::pages(), {}));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(RenameValue)->RangeMultiplier(10)->Range(10, 1000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

void InsertBlock(benchmark::State &state)
{
    const orv::Project source = lookProject(10);
    const orv::Block block = orv::makeBlock(u"页头"_s, source.entries, source);
    const orv::Project target = lookProject(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(orv::insertBlock(block, target, orv::catalog::pages(), {}));
}
BENCHMARK(InsertBlock)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
