// The page check on summaries made of the modules' own code (every page in
// both shops, one after the other, each followed by CR LF as the summary
// writes it, each a segment) cut to N characters, on a page of N characters
// on one line where every cell trips several rules, and on N characters of
// blocks that never close. Reports the time per check and the growth it fits.
//
//   bench_check [benchmark options]

#include "core/check/pagecheck.h"
#include "core/generation.h"
#include "modules/catalog.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

using namespace Qt::StringLiterals;
using namespace orv::check;

namespace {

// Every page's start-up fragment in both shops (the related sales in both
// styles; the product details' overlay measures no picture here).
QStringList ownPages()
{
    QStringList pages;
    for (const orv::Shop shop : {orv::Shop::Taobao, orv::Shop::Tmall}) {
        for (const orv::PageSpec *page : orv::catalog::pages()) {
            orv::PageState state = page->defaultState(orv::Metrics::forShop(shop));
            for (int style : {0, 1}) {
                if (page->metricsOnChoice) {
                    state.setField(u"style"_s, QString::number(style));
                    state.metrics = page->metricsOnChoice(state);
                } else if (style > 0) {
                    break;
                }
                const orv::Generation run = orv::generate(*page, state, {});
                if (run.outcome == orv::Generation::Outcome::Fragment)
                    pages.append(run.text);
            }
        }
    }
    if (pages.isEmpty())
        throw std::runtime_error("the modules made no fragment");
    return pages;
}

QString summaryOf(qsizetype length, QList<CheckSegment> *segments)
{
    static const QStringList pages = ownPages();
    QString html;
    for (int i = 0; html.size() < length; ++i) {
        const QString &code = pages.at(i % pages.size());
        segments->append({html.size(), html.size() + code.size(), i + 1, u"entry"_s, 750});
        html += code + u"\r\n"_s;
    }
    html.truncate(length);
    return html;
}

QString oneLineOf(qsizetype length)
{
    const QString cell = u"<td style=\"width:800px;position:absolute;background:url(http://x.cn/a.jpg)\" "
                         "class=\"c\" onclick=\"go()\">中文&amp;😀<a href=\"#\">链接</a></td>"_s;
    QString html = u"<table><tr>"_s;
    while (html.size() < length)
        html += cell;
    html.truncate(length);
    return html;
}

// The worst case for the tree builder: blocks that never close, each one
// looking for an open <p> through all of them (up to its search depth).
QString unclosedBlocksOf(qsizetype length)
{
    QString html = u"<p>"_s;
    while (html.size() < length)
        html += u"<div/>文"_s;
    html.truncate(length);
    return html;
}

void report(benchmark::State &state, const QString &html, int findings)
{
    state.SetComplexityN(html.size());
    state.counters["findings"] = findings;
    state.counters["chars/s"] = benchmark::Counter(double(html.size()), benchmark::Counter::kIsIterationInvariantRate);
}

// Checks the page for as long as the benchmark asks, at the page width.
void runCheck(benchmark::State &state, const QString &html, int pageWidth, const QList<CheckSegment> &segments = {})
{
    int findings = 0;
    for (auto _ : state) {
        const QList<Finding> found = checkPage(html, pageWidth, segments);
        findings = int(found.size());
        benchmark::DoNotOptimize(found.constData());
    }
    report(state, html, findings);
}

void checkSummary(benchmark::State &state)
{
    QList<CheckSegment> segments;
    const QString html = summaryOf(state.range(0), &segments);
    runCheck(state, html, 790, segments);
}

void checkFindingsOnOneLine(benchmark::State &state)
{
    runCheck(state, oneLineOf(state.range(0)), 750);
}

void checkUnclosedBlocks(benchmark::State &state)
{
    runCheck(state, unclosedBlocksOf(state.range(0)), 750);
}

// From a long description to forty times the platform's limit: the time must
// grow in step with the length.
void pageLengths(benchmark::internal::Benchmark *lengths)
{
    for (const int length : {25'000, 100'000, 250'000, 1'000'000})
        lengths->Arg(length);
    lengths->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
}

} // namespace

BENCHMARK(checkSummary)->Apply(pageLengths);
BENCHMARK(checkFindingsOnOneLine)->Apply(pageLengths);
BENCHMARK(checkUnclosedBlocks)->Apply(pageLengths);

BENCHMARK_MAIN();
