#include "cli/arguments.h"
#include "cli/commands.h"
#include "core/failure.h"
#include "core/generation.h"
#include "core/linelist.h"
#include "core/modulelistmodel.h"
#include "core/outputbuffer.h"
#include "core/project.h"

#include <optional>

namespace orv::cli {

using namespace Qt::StringLiterals;

namespace {

struct BuildOptions {
    QString project;
    bool regenerate = false;
    std::optional<Shop> shop;
};

BuildOptions parseBuildOptions(const QStringList &arguments)
{
    BuildOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        auto [option, value, hasValue] = splitOption(argument);
        if (option == u"--regenerate"_s && !hasValue) {
            options.regenerate = true;
        } else if (option == u"--shop"_s) {
            if (!hasValue) {
                if (i + 1 >= arguments.size())
                    usageError(u"--shop needs a value"_s);
                value = arguments.at(++i);
            }
            options.shop = shopOption(value);
        } else if (argument.startsWith(u'-') && argument != u"-"_s) {
            usageError(u"unknown option %1 for build; the options are --regenerate and --shop"_s.arg(quoted(argument)));
        } else if (options.project.isEmpty()) {
            options.project = argument;
        } else {
            usageError(u"build takes one PROJECT, not also %1"_s.arg(quoted(argument)));
        }
    }
    if (options.project.isEmpty())
        usageError(u"build needs a PROJECT file"_s);
    if (options.shop && !options.regenerate)
        usageError(u"--shop only applies with --regenerate"_s);
    return options;
}

} // namespace

Result build(const QList<const PageSpec *> &pages, const QStringList &arguments, const Context &context)
{
    const BuildOptions options = parseBuildOptions(arguments);
    Project project;
    try {
        project = readProjectFile(options.project, pages);
    } catch (const Failure &failure) {
        throw UsageFailure{failure.message(), false};
    }

    Services services;
    services.measurer = context.measurer;
    services.displayedLines = [](const QString &, const QString &text) { return splitLines(text); };
    if (options.regenerate) {
        for (ModuleEntry &entry : project.entries) {
            if (!entry.source)
                continue;
            const PageSpec *page = pageNamed(pages, entry.source->page);
            PageState state = entryState(*page, *entry.source);
            if (options.shop)
                state.metrics = Metrics::forShop(*options.shop);
            const Generation run = orv::generate(*page, state, services);
            if (run.outcome != Generation::Outcome::Fragment) {
                const QString message
                    = run.outcome == Generation::Outcome::Reminder ? run.text : errorBoxText(run.text);
                return {GeneratorFailed,
                        {},
                        u"entry %1 (%2): %3\n"_s.arg(entry.number).arg(entry.name.trimmed(), message).toUtf8()};
            }
            entry.code = run.text;
        }
    }
    OutputBuffer summary;
    writeSummary(project.entries, summary);
    return {Success, summary.text().toUtf8(), {}};
}

} // namespace orv::cli
