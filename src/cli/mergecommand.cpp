#include "cli/arguments.h"
#include "cli/commands.h"
#include "core/failure.h"
#include "core/linelist.h"
#include "core/project.h"
#include "core/sharedvalues.h"
#include "modules/pagewidth.h"
#include "sheets/merge.h"
#include "sheets/mergerun.h"
#include "sheets/sheet.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>

namespace orv::cli {

using namespace Qt::StringLiterals;

namespace {

constexpr int progressIntervalMs = 100;

struct MergeArguments {
    QString project;
    QString sheet;
    QString folder;
    QString keyColumn;
    QString rows;
    bool hasRows = false;
    bool check = false;
    std::optional<Shop> shop;
    QString encoding;
    QString sheetName;
    bool overwrite = false;
    QString writeSheet;
    QString column;
    bool hasColumn = false;
    QString style;
    bool render = false;
    bool pictureOptions = false; // --width and the others of render
    RenderJob pictures;
};

MergeArguments parseMergeArguments(const QStringList &arguments)
{
    MergeArguments parsed;
    QStringList files;
    ArgumentReader args(arguments);
    while (args.next()) {
        const QString &option = args.option();
        if (option == u"--out"_s) {
            parsed.folder = args.value();
            if (parsed.folder.isEmpty())
                usageError(u"--out needs a folder"_s);
        } else if (option == u"--key"_s) {
            parsed.keyColumn = args.value();
        } else if (option == u"--rows"_s) {
            parsed.rows = args.value();
            parsed.hasRows = true;
        } else if (option == u"--check"_s) {
            parsed.check = args.flag();
        } else if (option == u"--shop"_s) {
            parsed.shop = shopOption(args.value());
        } else if (option == u"--encoding"_s) {
            parsed.encoding = args.value();
        } else if (option == u"--sheet"_s) {
            parsed.sheetName = args.value();
        } else if (option == u"--overwrite"_s) {
            parsed.overwrite = args.flag();
        } else if (option == u"--write-sheet"_s) {
            parsed.writeSheet = args.value();
            if (parsed.writeSheet.isEmpty())
                usageError(u"--write-sheet needs a file"_s);
        } else if (option == u"--column"_s) {
            parsed.column = args.value();
            parsed.hasColumn = true;
        } else if (option == u"--render"_s) {
            parsed.render = args.flag();
        } else if (readPictureOption(args, parsed.pictures)) {
            parsed.pictureOptions = true;
        } else if (option == u"--style"_s) {
            parsed.style = args.value();
            if (parsed.style.isEmpty())
                usageError(u"--style needs a style file"_s);
        } else if (args.isOption()) {
            usageError(
                u"unknown option %1 for merge; the options are --out, --key, --rows, --check, --shop, "
                "--encoding, --sheet, --overwrite, --write-sheet, --column, --style, --render and with it --width, "
                "--format, --max-height, --keep-going and --timeout"_s.arg(quoted(args.argument())));
        } else if (files.size() < 2) {
            files.append(args.argument());
        } else {
            usageError(u"merge takes one PROJECT and one SHEET, not also %1"_s.arg(quoted(args.argument())));
        }
    }
    if (files.size() < 2)
        usageError(files.isEmpty() ? u"merge needs a PROJECT file and a SHEET"_s : u"merge needs a SHEET"_s);
    parsed.project = files[0];
    parsed.sheet = files[1];
    if (parsed.folder.isEmpty())
        usageError(u"merge needs --out DIR, the folder for the pages"_s);
    if (parsed.hasColumn && parsed.writeSheet.isEmpty())
        usageError(u"--column only applies with --write-sheet"_s);
    if (parsed.pictureOptions && !parsed.render)
        usageError(u"--width, --format, --max-height, --keep-going and --timeout only apply with --render"_s);
    return parsed;
}

// The same file under two spellings of its path (the sheet and --write-sheet).
bool samePath(const QString &a, const QString &b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return QDir::cleanPath(first.absoluteFilePath()) == QDir::cleanPath(second.absoluteFilePath());
}

// Shows "merge: 120 / 1000 rows, 2 failed" at most every tenth of a second.
class Progress {
public:
    Progress(const Context &context, qsizetype total)
        : m_context(context)
        , m_total(total)
    {
    }

    void update(qsizetype done, qsizetype failed)
    {
        if (!m_context.progress || (m_timer.isValid() && m_timer.elapsed() < progressIntervalMs && done < m_total))
            return;
        m_timer.start();
        m_context.progress(u"merge: %1 / %2 rows, %3 failed"_s.arg(done).arg(m_total).arg(failed));
    }

    void clear()
    {
        if (m_context.progress && m_timer.isValid())
            m_context.progress({});
    }

private:
    const Context &m_context;
    qsizetype m_total;
    QElapsedTimer m_timer;
};

} // namespace

Result merge(const QList<const PageSpec *> &pages, const QStringList &arguments, const Context &context)
{
    const MergeArguments parsed = parseMergeArguments(arguments);
    Project project;
    sheets::Sheet sheet;
    sheets::MergeOptions options;
    options.keyColumn = parsed.keyColumn;
    options.shop = parsed.shop;
    options.check = parsed.check;
    options.entryWidth = pagewidth::entryWidth;
    int column = -1;
    QStringList keys;
    try {
        project = readProjectFile(parsed.project, pages);
        if (!parsed.style.isEmpty())
            project.values = withStyle(project.values, readStyleFile(parsed.style));
        // The project's shared values fill the slots the sheet has no column for.
        options.otherValues = slotValues(project.values);
        sheets::ReadOptions read;
        read.encoding = sheets::encodingFromName(parsed.encoding);
        read.sheet = parsed.sheetName;
        sheet = sheets::readSheet(parsed.sheet, read);
        if (parsed.hasRows)
            options.rows = sheets::rowsFromText(parsed.rows, sheet.rows.size());
        keys = sheets::fileKeys(sheet, options.keyColumn);
        if (!parsed.writeSheet.isEmpty())
            column = sheet.descriptionColumn(parsed.column);
    } catch (const Failure &failure) {
        throw UsageFailure{failure.message(), false};
    }
    if (!parsed.writeSheet.isEmpty()) {
        if (samePath(parsed.writeSheet, parsed.sheet))
            throw UsageFailure{
                u"--write-sheet %1 is the sheet that was read; choose another file"_s.arg(quoted(parsed.writeSheet)),
                false};
        if (sheet.format != sheets::Format::Csv && !parsed.writeSheet.endsWith(u".csv"_s, Qt::CaseInsensitive))
            usageError(u"--write-sheet: a workbook is written back as CSV; give a file name ending in .csv"_s);
    }

    if (parsed.render && !context.render)
        return {GeneratorFailed, {}, "merge --render is not available here: this program runs no browser engine\n"};
    sheets::MergeTarget target{parsed.folder, parsed.overwrite, parsed.writeSheet, column, parsed.render};
    std::unique_ptr<sheets::MergeRun> run;
    try {
        run = std::make_unique<sheets::MergeRun>(sheet, options, target);
    } catch (const Failure &failure) {
        throw UsageFailure{failure.message(), false};
    }
    const qsizetype rows = run->rows().size();
    if (!parsed.writeSheet.isEmpty()) {
        for (const qsizetype row : run->rows()) {
            const QString page = QDir(parsed.folder).filePath(keys[row] + u".html"_s);
            if (samePath(parsed.writeSheet, page)
                || samePath(parsed.writeSheet, QDir(parsed.folder).filePath(sheets::MergeOutput::indexName)))
                usageError(u"--write-sheet %1 is a file of the merge itself"_s.arg(quoted(parsed.writeSheet)));
        }
    }

    Services services;
    services.measurer = context.measurer;
    services.displayedLines = [](const QString &, const QString &text) { return splitLines(text); };
    const std::atomic<bool> *interrupted = context.catchInterrupt ? context.catchInterrupt() : nullptr;

    QString failures;
    QString warnings;
    // Each row's pictures into its folder KEY/, the engine started once for
    // the whole run.
    const auto pictures = [&](const sheets::MergedRow &row, const QString &folder) -> QString {
        RenderJob job = parsed.pictures;
        job.entries = row.codes;
        job.pageWidth = row.pageWidth;
        job.folder = folder;
        const Result made = context.render(job);
        if (made.exitCode != Success)
            return QString::fromUtf8(made.err).trimmed();
        for (const QString &line : QString::fromUtf8(made.err).split(u'\n', Qt::SkipEmptyParts))
            warnings += u"%1: row %2 (%3): %4\n"_s.arg(programName).arg(row.row + 1).arg(row.key, line);
        return {};
    };
    Progress progress(context, rows);
    qsizetype done = 0;
    qsizetype failed = 0;
    bool started = false;
    sheets::MergeTotals totals;
    try {
        totals = run->run(
            project, pages, services,
            [&](const sheets::MergedRow &row) {
                started = true;
                if (row.failed()) {
                    ++failed;
                    failures += u"%1: row %2 (%3): %4\n"_s.arg(programName).arg(row.row + 1).arg(row.key, row.failure);
                }
                progress.update(++done, failed);
            },
            interrupted, pictures);
    } catch (const Failure &failure) {
        progress.clear();
        if (!started)
            throw UsageFailure{failure.message(), false};
        return {GeneratorFailed, {}, (failures + failure.message() + u'\n').toUtf8()};
    }
    progress.clear();
    if (totals.cancelled) {
        return {Interrupted,
                {},
                u"%1: merge interrupted after %2 of %3 rows; %4 is as it was\n"_s.arg(programName)
                    .arg(done)
                    .arg(rows)
                    .arg(parsed.folder)
                    .toUtf8()};
    }
    const QString summary = u"%1 rows merged into %2: %3 pages, %4 failed\n"_s.arg(done)
                                .arg(parsed.folder)
                                .arg(done - failed)
                                .arg(failed);
    // As every command: standard output only on success; the pictures'
    // warnings go to standard error.
    if (failed > 0)
        return {GeneratorFailed, {}, (warnings + failures + summary).toUtf8()};
    return {Success, summary.toUtf8(), warnings.toUtf8()};
}

} // namespace orv::cli
