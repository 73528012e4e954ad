#include "cli/arguments.h"
#include "cli/commands.h"
#include "core/failure.h"
#include "core/project.h"
#include "modules/pagewidth.h"
#include "render/picturelimits.h"

#include <QRegularExpression>

namespace orv::cli {

using namespace Qt::StringLiterals;

namespace {

constexpr int maxTimeoutSeconds = 3600;

struct RenderArguments {
    QString project;
    RenderJob job;
    bool hasFolder = false;
};

// A whole number from low to high, written with digits only.
int wholeNumber(const QString &option, const QString &value, int low, int high)
{
    static const QRegularExpression digits(u"^[0-9]{1,9}$"_s);
    if (digits.match(value).hasMatch()) {
        const int number = value.toInt();
        if (number >= low && number <= high)
            return number;
    }
    usageError(u"%1 takes a whole number from %2 to %3, not %4"_s.arg(option).arg(low).arg(high).arg(quoted(value)));
}

} // namespace

bool readPictureOption(ArgumentReader &args, RenderJob &job)
{
    const QString &option = args.option();
    if (option == u"--width"_s) {
        job.outputWidth = wholeNumber(option, args.value(), render::minOutputWidth, render::maxOutputWidth);
    } else if (option == u"--format"_s) {
        const QString format = args.value();
        if (format != u"jpg"_s && format != u"png"_s)
            usageError(u"unknown format %1; use jpg or png"_s.arg(quoted(format)));
        job.png = format == u"png"_s;
    } else if (option == u"--timeout"_s) {
        job.pictureTimeoutMs = wholeNumber(option, args.value(), 0, maxTimeoutSeconds) * 1000;
    } else if (option == u"--keep-going"_s) {
        job.keepGoing = args.flag();
    } else if (option == u"--max-height"_s) {
        const QString height = args.value();
        const QStringList allowed{QString::number(render::defaultPictureHeight),
                                  QString::number(render::maxPictureHeight)};
        if (!allowed.contains(height))
            usageError(u"--max-height takes %1 (both editors) or %2 (the older mobile description), not %3"_s.arg(
                allowed.at(0), allowed.at(1), quoted(height)));
        job.maxPictureHeight = height.toInt();
    } else {
        return false;
    }
    return true;
}

namespace {

RenderArguments parseRenderArguments(const QStringList &arguments)
{
    RenderArguments parsed;
    RenderJob &job = parsed.job;
    ArgumentReader args(arguments);
    while (args.next()) {
        const QString &option = args.option();
        if (option == u"--out"_s) {
            job.folder = args.value();
            if (job.folder.isEmpty())
                usageError(u"--out needs a folder"_s);
            parsed.hasFolder = true;
        } else if (option == u"--overwrite"_s) {
            job.overwrite = args.flag();
        } else if (readPictureOption(args, job)) {
        } else if (option == u"--manifest-only"_s) {
            job.manifestOnly = args.flag();
        } else if (args.isOption()) {
            usageError(u"unknown option %1 for render; the options are --out, --width, --format, --max-height, "
                       "--keep-going, --overwrite, --timeout and --manifest-only"_s.arg(quoted(args.argument())));
        } else if (parsed.project.isEmpty()) {
            parsed.project = args.argument();
        } else {
            usageError(u"render takes one PROJECT, not also %1"_s.arg(quoted(args.argument())));
        }
    }
    if (parsed.project.isEmpty())
        usageError(u"render needs a PROJECT file"_s);
    if (job.manifestOnly && (parsed.hasFolder || job.overwrite))
        usageError(u"--manifest-only writes slices.json to standard output and no folder: leave out %1"_s.arg(
            parsed.hasFolder ? u"--out"_s : u"--overwrite"_s));
    if (!parsed.hasFolder && !job.manifestOnly)
        usageError(u"render needs --out DIR, the folder for the pictures"_s);
    return parsed;
}

} // namespace

Result render(const QList<const PageSpec *> &pages, const QStringList &arguments, const Context &context)
{
    RenderArguments parsed = parseRenderArguments(arguments);
    Project project;
    try {
        project = readProjectFile(parsed.project, pages);
    } catch (const Failure &failure) {
        throw UsageFailure{failure.message(), false};
    }
    if (project.entries.isEmpty())
        return {GeneratorFailed, {}, u"%1 has no entries: there is no page to render\n"_s.arg(parsed.project).toUtf8()};

    RenderJob &job = parsed.job;
    for (const ModuleEntry &entry : std::as_const(project.entries)) {
        job.entries.append(entry.code);
        job.entryNames.append(entry.name);
    }
    job.pageWidth = pagewidth::summaryWidth(project.entries, project.metrics.totalWidth);
    if (!context.render)
        return {GeneratorFailed, {}, "render is not available here: this program runs no browser engine\n"};
    return context.render(job);
}

} // namespace orv::cli
