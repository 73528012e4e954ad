#include "merge.h"

#include "core/check/pagecheck.h"
#include "core/failure.h"
#include "core/modulelistmodel.h"
#include "core/outputbuffer.h"
#include "core/regenerate.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <memory>

namespace orv::sheets {

using namespace Qt::StringLiterals;

namespace {

// The sheet's columns by either of their names; the first column of a name wins.
QHash<QString, int> columnsByName(const Sheet &sheet)
{
    QHash<QString, int> columns;
    for (qsizetype i = 0; i < sheet.columns.size(); ++i) {
        for (const QString &name : {sheet.columns[i].name, sheet.columns[i].localName}) {
            if (!name.isEmpty() && !columns.contains(name))
                columns.insert(name, int(i));
        }
    }
    return columns;
}

SlotValues cellsOf(const Sheet &sheet, const QHash<QString, int> &columns, qsizetype row)
{
    return [&sheet, &columns, row](const QString &name) -> std::optional<QString> {
        const auto it = columns.constFind(name);
        if (it == columns.cend())
            return std::nullopt;
        return sheet.rows[row].cells.value(*it);
    };
}

const PageSpec *pageFor(const ModuleEntry &entry, const QList<const PageSpec *> &pages)
{
    const auto it = std::find_if(pages.cbegin(), pages.cend(),
                                 [&](const PageSpec *page) { return page->id == entry.source->page; });
    if (it == pages.cend())
        throw Failure(
            u"entry %1 (%2): unknown page \"%3\""_s.arg(entry.number).arg(entry.name.trimmed(), entry.source->page));
    return *it;
}

// Fails, naming every slot that cannot be filled, before any row is made.
void checkSlots(const Project &project, const QList<const PageSpec *> &pages, const Sheet &sheet,
                const SlotValues &known)
{
    const QList<SlotProblem> problems = slotProblems(project.entries, pages, known);
    if (problems.isEmpty())
        return;
    QStringList lines;
    bool noValue = false;
    for (const SlotProblem &problem : problems) {
        if (problem.kind == SlotProblem::Kind::NoValue) {
            noValue = true;
            lines.append(u"%1: the sheet has no column \"%2\" for the slot %3"_s.arg(problem.place(), problem.name,
                                                                                     problem.slot));
        } else {
            lines.append(problem.message());
        }
    }
    QString message = u"Cannot merge sheet \"%1\": "_s.arg(sheet.path) + lines.join(u"\n"_s);
    if (noValue)
        message += u"\n(the sheet's columns: %1)"_s.arg(sheet.columnList());
    throw Failure(message);
}

// An entry as one row makes it: its code, or why it fails.
struct Made {
    QString code;
    QString failure;
    bool cancelled = false;
    int width = 750; // the check's width for it
};

class RowMaker {
public:
    RowMaker(const QList<const PageSpec *> &pages, const MergeOptions &options, const Services &services, int shopWidth)
        : m_pages(pages)
        , m_options(options)
        , m_services(services)
        , m_shopWidth(shopWidth)
    {
    }

    // Whether the entry's outcome is the same for every row: it has no slot.
    static bool fixed(const ModuleEntry &entry)
    {
        if (!entry.source)
            return !hasSlots(entry.code);
        return std::none_of(entry.source->fields.cbegin(), entry.source->fields.cend(),
                            [](const QString &text) { return hasSlots(text); });
    }

    Made make(const ModuleEntry &design, const SlotValues &values) const
    {
        const Regeneration made
            = regenerateEntry(design, m_pages, {values, SlotMode::Strict, m_options.shop}, m_services);
        switch (made.outcome) {
        case Regeneration::Outcome::Made:
            return {made.code, {}, false, width(made.entry)};
        case Regeneration::Outcome::Cancelled:
            return {{}, {}, true};
        case Regeneration::Outcome::Failed:
            break;
        }
        return {{}, made.failure};
    }

private:
    int width(const ModuleEntry &entry) const
    {
        return m_options.entryWidth ? m_options.entryWidth(entry, m_shopWidth) : m_shopWidth;
    }

    const QList<const PageSpec *> &m_pages;
    const MergeOptions &m_options;
    const Services &m_services;
    int m_shopWidth;
};

// Counts the page check's findings; an error fails the row.
void checkPage(MergedRow &row, const QList<check::CheckSegment> &segments, int shopWidth)
{
    const QList<check::Finding> findings = check::checkPage(row.page, shopWidth, segments);
    const check::Finding *first = nullptr;
    for (const check::Finding &finding : findings) {
        if (finding.severity == check::Severity::Error) {
            ++row.errors;
            if (!first)
                first = &finding;
        } else if (finding.severity == check::Severity::Warning) {
            ++row.warnings;
        }
    }
    row.checked = true;
    if (first) {
        row.failure = u"the page check found %1 error(s); the first, at line %2, column %3: %4 (%5)"_s.arg(row.errors)
                          .arg(first->line)
                          .arg(first->column)
                          .arg(first->message, first->rule);
        row.page.clear();
    }
}

} // namespace

SlotValues rowValues(const Sheet &sheet, qsizetype row)
{
    auto columns = std::make_shared<const QHash<QString, int>>(columnsByName(sheet));
    QStringList cells = sheet.rows.value(row).cells;
    return [columns, cells](const QString &name) -> std::optional<QString> {
        const auto it = columns->constFind(name);
        if (it == columns->cend())
            return std::nullopt;
        return cells.value(*it);
    };
}

MergeTotals mergeSheet(const Project &project, const QList<const PageSpec *> &pages, const Sheet &sheet,
                       const MergeOptions &options, const Services &services, const MergeRowDone &done,
                       const std::atomic<bool> *cancel)
{
    QList<qsizetype> rows = options.rows;
    if (rows.isEmpty()) {
        rows.reserve(sheet.rows.size());
        for (qsizetype i = 0; i < sheet.rows.size(); ++i)
            rows.append(i);
    }
    for (const qsizetype row : std::as_const(rows)) {
        if (row < 0 || row >= sheet.rows.size())
            throw Failure(u"Cannot merge sheet \"%1\": it has no row %2 (its rows: 1 to %3)"_s.arg(sheet.path)
                              .arg(row + 1)
                              .arg(sheet.rows.size()));
    }
    for (const ModuleEntry &entry : project.entries) {
        if (entry.source)
            pageFor(entry, pages);
    }
    const QHash<QString, int> columns = columnsByName(sheet);
    const SlotValues known = firstOf(
        [&columns](const QString &name) -> std::optional<QString> {
            return columns.contains(name) ? std::optional<QString>(QString()) : std::nullopt;
        },
        options.otherValues);
    checkSlots(project, pages, sheet, known);
    const QStringList keys = fileKeys(sheet, options.keyColumn);

    const int shopWidth = Metrics::forShop(options.shop.value_or(project.metrics.shop)).totalWidth;
    const RowMaker maker(pages, options, services, shopWidth);
    // Entries without slots come out the same for every row: made once.
    QList<bool> fixed;
    for (const ModuleEntry &entry : project.entries)
        fixed.append(RowMaker::fixed(entry));
    QHash<qsizetype, Made> fixedEntries;

    MergeTotals totals;
    for (const qsizetype index : std::as_const(rows)) {
        if (cancel && cancel->load()) {
            totals.cancelled = true;
            return totals;
        }
        const SlotValues values = firstOf(cellsOf(sheet, columns, index), options.otherValues);
        MergedRow row;
        row.row = index;
        row.key = keys.value(index);
        QList<check::CheckSegment> segments;
        OutputBuffer summary;
        for (qsizetype i = 0; i < project.entries.size() && row.failure.isEmpty(); ++i) {
            const ModuleEntry &entry = project.entries[i];
            Made made;
            if (fixed[i]) {
                auto it = fixedEntries.find(i);
                if (it == fixedEntries.end())
                    it = fixedEntries.insert(i, maker.make(entry, values));
                made = *it;
                if (made.cancelled)
                    fixedEntries.erase(it);
            } else {
                made = maker.make(entry, values);
            }
            if (made.cancelled) {
                totals.cancelled = true;
                return totals;
            }
            row.failure = made.failure;
            const qsizetype begin = summary.text().size();
            segments.append({begin, begin + made.code.size(), entry.number, entry.name, made.width});
            summary.appendLine(made.code);
            row.codes.append(made.code);
            row.pageWidth = std::max(row.pageWidth, made.width);
        }
        if (row.failure.isEmpty()) {
            row.page = summary.text();
            if (row.codes.isEmpty())
                row.pageWidth = shopWidth;
            row.characters = row.page.size();
            if (options.check)
                checkPage(row, segments, shopWidth);
        }
        ++totals.rows;
        if (row.failed()) {
            ++totals.failed;
            row.codes.clear();
            row.pageWidth = 0;
        }
        if (done)
            done(row);
    }
    return totals;
}

QList<qsizetype> rowsFromText(const QString &text, qsizetype rowCount)
{
    static const QRegularExpression item(u"^\\s*([0-9]{1,9})\\s*(?:-\\s*([0-9]{1,9})\\s*)?$"_s);
    const auto fail = [&](const QString &what) -> void { throw Failure(u"the rows \"%1\": %2"_s.arg(text, what)); };
    QList<qsizetype> rows;
    for (const QString &part : text.split(u',')) {
        const QRegularExpressionMatch match = item.match(part);
        if (!match.hasMatch()) {
            fail(u"\"%1\" is no row number or range such as 1-20 (rows count from 1)"_s.arg(part.trimmed()));
        }
        const qsizetype first = match.captured(1).toLongLong();
        const qsizetype last = match.hasCaptured(2) ? match.captured(2).toLongLong() : first;
        if (first < 1)
            fail(u"rows count from 1"_s);
        if (last < first)
            fail(u"the range %1 is empty"_s.arg(part.trimmed()));
        if (last > rowCount)
            fail(u"row %1 is past the sheet's last product row, %2"_s.arg(last).arg(rowCount));
        for (qsizetype row = first; row <= last; ++row)
            rows.append(row - 1);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

} // namespace orv::sheets
