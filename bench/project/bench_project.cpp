// The project file at the largest size a seller reaches: 1,000 entries with
// codes of 5 KB. Writing and reading the text, saving and opening the file,
// and the part of an autosave that runs on the window's thread (taking the
// work from the window and handing it to the writer), which must stay well
// within a frame (16 ms), also while the disk is slow. Run
// build-release/bench/project/bench_project.

#include "app/mainwindow.h"
#include "app/startup.h"
#include "core/project.h"
#include "modules/catalog.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

orv::Project largeProject(int entries)
{
    orv::Project project;
    project.metrics = orv::Metrics::forShop(orv::Shop::Taobao);
    for (const orv::PageSpec *page : orv::catalog::pages())
        project.pages.insert(page->id, page->defaultState().fields);
    const orv::PageSpec &divider = *orv::catalog::findPage(u"tsfengetiao"_s);
    const QString code = u"<div style=\"width:750px;height:40px\">段落内容 content</div>\r\n"_s.repeated(80);
    for (int i = 0; i < entries; ++i) {
        project.entries.append({i + 1, u"[ 分隔条 ] "_s, code.left(5000),
                                orv::EntrySource{divider.id, divider.defaultState().fields, project.metrics}});
    }
    return project;
}

const orv::Project &project()
{
    static const orv::Project p = largeProject(1000);
    return p;
}

void WriteText(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(orv::projectJson(project()));
    state.SetBytesProcessed(state.iterations() * orv::projectJson(project()).size());
}

void ReadText(benchmark::State &state)
{
    const QByteArray json = orv::projectJson(project());
    for (auto _ : state)
        benchmark::DoNotOptimize(orv::parseProject(json, orv::catalog::pages(), u"bench.orvanta"_s));
    state.SetBytesProcessed(state.iterations() * json.size());
}

void SaveFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"bench.orvanta"_s);
    for (auto _ : state)
        orv::writeProjectFile(path, project());
}

void OpenFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"bench.orvanta"_s);
    orv::writeProjectFile(path, project());
    for (auto _ : state)
        benchmark::DoNotOptimize(orv::readProjectFile(path, orv::catalog::pages()));
}

// What an autosave does on the window's thread; the writing itself runs on a
// worker and is waited for outside the measurement.
void AutosaveOnWindowThread(benchmark::State &state)
{
    QTemporaryDir recovery;
    orv::MainWindow window(nullptr, recovery.path());
    window.setProject(largeProject(int(state.range(0))));
    orv::Recovery &writer = window.document()->recovery();
    for (auto _ : state) {
        writer.write(window.project(), QString());
        state.PauseTiming();
        writer.wait();
        state.ResumeTiming();
    }
}

// A change on a disk that takes 2 s per write: what the window's thread does
// for the autosave (taking the work from the window and handing it to the
// writer, which is busy with an earlier write all the while). It never waits
// for the disk, so it stays the same as without the slow disk: well under a
// millisecond for 1,000 entries.
void ChangeWhileTheDiskIsSlow(benchmark::State &state)
{
    QTemporaryDir recovery;
    orv::MainWindow window(nullptr, recovery.path());
    window.setProject(largeProject(int(state.range(0))));
    orv::Recovery &writer = window.document()->recovery();
    writer.setWriteHook([] { QThread::sleep(2); });
    for (auto _ : state)
        writer.write(window.project(), QString());
    writer.discard();
    writer.wait();
}

BENCHMARK(WriteText)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadText)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveFile)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenFile)->Unit(benchmark::kMillisecond);
BENCHMARK(AutosaveOnWindowThread)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(ChangeWhileTheDiskIsSlow)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    orv::prepareBrowserEnvironment();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
