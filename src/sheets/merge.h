#pragma once

// The merge run: one design (a project whose fields hold slots, "{{宝贝名称}}")
// and one product sheet make one page per row, each exactly the page that
// `orvanta-cli build --regenerate` makes of the design with the row's values
// in its slots. The command line's `merge` and the window's 批量生成 both run
// it; docs/merge.md describes it.
//
//   const sheets::Sheet sheet = sheets::readSheet(path);
//   sheets::MergeOptions options;
//   options.entryWidth = pagewidth::entryWidth;
//   sheets::mergeSheet(project, catalog::pages(), sheet, options, services,
//                      [&](const sheets::MergedRow &row) { save(row.key, row.page); });

#include "core/moduleentry.h"
#include "core/page.h"
#include "core/project.h"
#include "core/slots.h"
#include "sheets/sheet.h"

#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>

namespace orv::sheets {

struct MergeOptions {
    // The rows to merge, as indexes of Sheet::rows, in this order; empty for
    // every row.
    QList<qsizetype> rows;
    // The column naming each row's file, as fileKeys takes it.
    QString keyColumn;
    // Lays every entry a page made out for this shop instead of its stored
    // one (as `build --regenerate --shop`); the check takes its width too.
    std::optional<Shop> shop;
    // Runs the page check on every page (which takes far longer than making
    // it): its errors and warnings are counted, and a page with an error
    // fails its row.
    bool check = false;
    // Values for the names no column of the sheet has (the project's shared
    // values, say); a column of the same name wins.
    SlotValues otherValues;
    // The width the check takes for an entry: pagewidth::entryWidth of the
    // modules. Unset: the shop's width for every entry.
    std::function<int(const ModuleEntry &entry, int shopWidth)> entryWidth;
};

// One row's outcome.
struct MergedRow {
    qsizetype row = 0; // the index in Sheet::rows; the product row number is row + 1
    QString key;       // the row's file name without its extension (fileKeys)
    QString page;      // the page (every entry's code followed by CR LF); empty when the row failed
    QString failure;   // why the row failed; empty when it did not
    // The page's entries' codes in list order, and the width it is drawn at
    // (its widest entry's, by MergeOptions::entryWidth): what pictures of
    // the page are made from. Empty when the row failed.
    QStringList codes;
    int pageWidth = 0;
    // The page's length once it was made (also for a row the check failed),
    // in UTF-16 units as the check counts; with MergeOptions::check the
    // check's counts, checked set.
    qsizetype characters = 0;
    bool checked = false;
    int errors = 0;
    int warnings = 0;

    bool failed() const { return !failure.isEmpty(); }
};

struct MergeTotals {
    qsizetype rows = 0;   // rows done
    qsizetype failed = 0; // of which failed
    bool cancelled = false;
};

// Called with each row once it is done, in order. It may throw Failure to
// end the run (a file that cannot be written, say); the run then throws it on.
using MergeRowDone = std::function<void(const MergedRow &row)>;

// Makes the page of every row (pages: as readProjectFile takes them). A row
// that fails (a generator's failure or reminder, an error of the check with
// options.check) is reported and the run goes on. cancel, when given, is
// looked at before each row; the run then stops with cancelled set. Fails
// with orv::Failure before any row is made when a slot has no column (every
// such slot named in one message), a slot is malformed, the key column is
// missing, a row index is out of range, or an entry's page is unknown.
MergeTotals mergeSheet(const Project &project, const QList<const PageSpec *> &pages, const Sheet &sheet,
                       const MergeOptions &options, const Services &services, const MergeRowDone &done,
                       const std::atomic<bool> *cancel = nullptr);

// The values of a row's cells by column name (either name of the listing
// tool's layout), as slots take them.
SlotValues rowValues(const Sheet &sheet, qsizetype row);

// The row indexes a list such as "1-20,35" names: product rows counted from
// 1, single numbers and ranges separated by commas (blanks around them
// allowed), sorted and each once. Fails on anything else, an empty range
// ("5-3") or a number past the last row.
QList<qsizetype> rowsFromText(const QString &text, qsizetype rowCount);

} // namespace orv::sheets
