#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/mergeoutput.h"
#include "core/failure.h"
#include "core/linelist.h"
#include "core/project.h"
#include "modules/pagewidth.h"
#include "sheets/merge.h"
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
};

MergeArguments parseMergeArguments(const QStringList &arguments)
{
    MergeArguments parsed;
    QStringList files;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const Option split = splitOption(argument);
        const QString &option = split.name;
        const auto takeValue = [&] {
            if (split.hasValue)
                return split.value;
            if (i + 1 >= arguments.size())
                usageError(u"%1 needs a value"_s.arg(option));
            return arguments.at(++i);
        };
        const auto flag = [&] {
            if (split.hasValue)
                usageError(u"%1 takes no value"_s.arg(option));
            return true;
        };
        if (option == u"--out"_s) {
            parsed.folder = takeValue();
            if (parsed.folder.isEmpty())
                usageError(u"--out needs a folder"_s);
        } else if (option == u"--key"_s) {
            parsed.keyColumn = takeValue();
        } else if (option == u"--rows"_s) {
            parsed.rows = takeValue();
            parsed.hasRows = true;
        } else if (option == u"--check"_s) {
            parsed.check = flag();
        } else if (option == u"--shop"_s) {
            parsed.shop = shopOption(takeValue());
        } else if (option == u"--encoding"_s) {
            parsed.encoding = takeValue();
        } else if (option == u"--sheet"_s) {
            parsed.sheetName = takeValue();
        } else if (option == u"--overwrite"_s) {
            parsed.overwrite = flag();
        } else if (option == u"--write-sheet"_s) {
            parsed.writeSheet = takeValue();
            if (parsed.writeSheet.isEmpty())
                usageError(u"--write-sheet needs a file"_s);
        } else if (option == u"--column"_s) {
            parsed.column = takeValue();
            parsed.hasColumn = true;
        } else if (argument.startsWith(u'-') && argument != u"-"_s) {
            usageError(u"unknown option %1 for merge; the options are --out, --key, --rows, --check, --shop, "
                       "--encoding, --sheet, --overwrite, --write-sheet and --column"_s.arg(quoted(argument)));
        } else if (files.size() < 2) {
            files.append(argument);
        } else {
            usageError(u"merge takes one PROJECT and one SHEET, not also %1"_s.arg(quoted(argument)));
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
    return parsed;
}

// A cell of index.csv, quoted where it must be.
QString csvCell(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    return u'"' + QString(text).replace(u"\""_s, u"\"\""_s) + u'"';
}

QString indexLine(const sheets::MergedRow &row)
{
    const auto count = [&](qsizetype n) { return row.checked ? QString::number(n) : QString(); };
    const bool made = row.failed() ? row.checked : true;
    return QStringList{QString::number(row.row + 1),
                       csvCell(row.key),
                       row.failed() ? QString() : csvCell(row.key + u".html"_s),
                       made ? QString::number(row.characters) : QString(),
                       count(row.errors),
                       count(row.warnings),
                       csvCell(row.failure)}
               .join(u',')
           + u"\r\n"_s;
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

    QList<qsizetype> rows = options.rows;
    if (rows.isEmpty()) {
        for (qsizetype i = 0; i < sheet.rows.size(); ++i)
            rows.append(i);
    }
    QStringList names{MergeOutput::indexName};
    for (const qsizetype row : std::as_const(rows))
        names.append(keys[row] + u".html"_s);
    MergeOutput output(parsed.folder, names, parsed.overwrite);
    if (!parsed.writeSheet.isEmpty()) {
        for (const QString &name : std::as_const(names)) {
            if (samePath(parsed.writeSheet, QDir(output.folder()).filePath(name)))
                usageError(u"--write-sheet %1 is a file of the merge itself"_s.arg(quoted(parsed.writeSheet)));
        }
    }

    Services services;
    services.measurer = context.measurer;
    services.displayedLines = [](const QString &, const QString &text) { return splitLines(text); };
    const std::atomic<bool> *interrupted = context.catchInterrupt ? context.catchInterrupt() : nullptr;

    QString index = u"\uFEFFrow,key,file,characters,errors,warnings,message\r\n"_s;
    QString failures;
    QHash<qsizetype, QString> mergedPages;
    Progress progress(context, rows.size());
    qsizetype done = 0;
    qsizetype failed = 0;
    bool started = false;
    sheets::MergeTotals totals;
    try {
        totals = sheets::mergeSheet(
            project, pages, sheet, options, services,
            [&](const sheets::MergedRow &row) {
                started = true;
                index += indexLine(row);
                if (row.failed()) {
                    ++failed;
                    failures += u"%1: row %2 (%3): %4\n"_s.arg(programName).arg(row.row + 1).arg(row.key, row.failure);
                } else {
                    output.write(row.key + u".html"_s, row.page.toUtf8());
                    // Pictures of the page (--render) belong here: a
                    // RenderJob of row.codes at row.pageWidth into KEY/ of
                    // the staging folder, so that they are put in place with
                    // the pages. The export writes KEY/slices.json with them
                    // (render::PictureWriter), so the manifest needs nothing
                    // more here.
                    if (column >= 0)
                        mergedPages.insert(row.row, row.page);
                }
                progress.update(++done, failed);
            },
            interrupted);
    } catch (const Failure &failure) {
        progress.clear();
        if (!started)
            throw UsageFailure{failure.message(), false};
        return {GeneratorFailed, {}, (failure.message() + u'\n').toUtf8()};
    }
    progress.clear();
    if (totals.cancelled) {
        return {Interrupted,
                {},
                u"%1: merge interrupted after %2 of %3 rows; %4 is as it was\n"_s.arg(programName)
                    .arg(done)
                    .arg(rows.size())
                    .arg(parsed.folder)
                    .toUtf8()};
    }

    try {
        output.write(MergeOutput::indexName, index.toUtf8());
        if (column >= 0) {
            QStringList values;
            values.reserve(sheet.rows.size());
            for (qsizetype i = 0; i < sheet.rows.size(); ++i)
                values.append(mergedPages.value(i, sheet.rows[i].cells.value(column)));
            sheets::writeSheet(sheet, column, values, parsed.writeSheet);
        }
        output.commit();
    } catch (const Failure &failure) {
        return {GeneratorFailed, {}, (failures + failure.message() + u'\n').toUtf8()};
    }
    const QString summary = u"%1 rows merged into %2: %3 pages, %4 failed\n"_s.arg(done)
                                .arg(parsed.folder)
                                .arg(done - failed)
                                .arg(failed);
    // As every command: standard output only on success.
    if (failed > 0)
        return {GeneratorFailed, {}, (failures + summary).toUtf8()};
    return {Success, summary.toUtf8(), {}};
}

} // namespace orv::cli
