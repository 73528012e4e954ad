#include "cli/arguments.h"
#include "cli/commands.h"
#include "core/failure.h"
#include "core/linelist.h"
#include "core/modulelistmodel.h"
#include "core/outputbuffer.h"
#include "core/project.h"
#include "core/regenerate.h"
#include "core/sharedvalues.h"

#include <optional>

namespace orv::cli {

using namespace Qt::StringLiterals;

namespace {

struct BuildOptions {
    QString project;
    bool regenerate = false;
    std::optional<Shop> shop;
    QString style;
};

BuildOptions parseBuildOptions(const QStringList &arguments)
{
    BuildOptions options;
    ArgumentReader args(arguments);
    while (args.next()) {
        const QString &option = args.option();
        if (option == u"--regenerate"_s && !args.hasValue()) {
            options.regenerate = true;
        } else if (option == u"--shop"_s) {
            options.shop = shopOption(args.value());
        } else if (option == u"--style"_s) {
            options.style = args.value();
            if (options.style.isEmpty())
                usageError(u"--style needs a style file"_s);
        } else if (args.isOption()) {
            usageError(u"unknown option %1 for build; the options are --regenerate, --shop and --style"_s.arg(
                quoted(args.argument())));
        } else if (options.project.isEmpty()) {
            options.project = args.argument();
        } else {
            usageError(u"build takes one PROJECT, not also %1"_s.arg(quoted(args.argument())));
        }
    }
    if (options.project.isEmpty())
        usageError(u"build needs a PROJECT file"_s);
    if (options.shop && !options.regenerate)
        usageError(u"--shop only applies with --regenerate"_s);
    if (!options.style.isEmpty() && !options.regenerate)
        usageError(u"--style only applies with --regenerate"_s);
    return options;
}

} // namespace

Result build(const QList<const PageSpec *> &pages, const QStringList &arguments, const Context &context)
{
    const BuildOptions options = parseBuildOptions(arguments);
    Project project;
    try {
        project = readProjectFile(options.project, pages);
        if (!options.style.isEmpty())
            project.values = withStyle(project.values, readStyleFile(options.style));
    } catch (const Failure &failure) {
        throw UsageFailure{failure.message(), false};
    }

    if (options.regenerate) {
        // Every slot is named before anything is made, as merge does.
        const SlotValues values = slotValues(project.values);
        const QList<SlotProblem> problems = slotProblems(project.entries, pages, values);
        if (!problems.isEmpty()) {
            QStringList lines;
            for (const SlotProblem &problem : problems)
                lines.append(problem.message());
            QString message = u"Cannot build project \"%1\": "_s.arg(options.project) + lines.join(u'\n');
            QStringList names;
            for (const SharedValue &value : std::as_const(project.values))
                names.append(value.name);
            message += names.isEmpty() ? u"\n(the project has no shared values)"_s
                                       : u"\n(the shared values: %1)"_s.arg(names.join(u", "_s));
            throw UsageFailure{message, false};
        }
        Services services;
        services.measurer = context.measurer;
        services.displayedLines = [](const QString &, const QString &text) { return splitLines(text); };
        for (ModuleEntry &entry : project.entries) {
            const Regeneration made = regenerateEntry(entry, pages, {values, SlotMode::Strict, options.shop}, services);
            if (!made.made())
                return {GeneratorFailed, {}, (made.failure + u'\n').toUtf8()};
            entry.code = made.code;
        }
    }
    OutputBuffer summary;
    writeSummary(project.entries, summary);
    return {Success, summary.text().toUtf8(), {}};
}

} // namespace orv::cli
