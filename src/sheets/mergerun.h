#pragma once

#include "sheets/merge.h"
#include "sheets/mergeoutput.h"

#include <QString>

#include <functional>
#include <memory>

namespace orv::sheets {

// Where a merge goes: the folder of its pages and index.csv, and optionally
// the sheet written back with each row's page in one of its columns.
struct MergeTarget {
    QString folder;
    bool overwrite = false; // leave to replace an earlier set in the folder
    QString writeSheet;     // empty: no write-back
    int column = -1;        // the column write-back fills
    bool pictures = false;  // each row's pictures into a folder KEY/ (MergeRun::RowPictures makes them)
};

// A merge into a folder, as `orvanta-cli merge` and the window's 批量生成 run
// it. The folder is planned first: an earlier set needs leave to be
// replaced, and nothing is written before that is settled. The run then
// stages every row's page (and the files a row comes with), index.csv and
// the sheet written back, and puts the whole set in place at the end; a
// failed or cancelled run leaves the folder as it was.
class MergeRun {
public:
    // Throws OutputRefused when the folder cannot take the set (replaced()
    // names the files that want leave), Failure when the rows or the key
    // column do not fit the sheet.
    MergeRun(const Sheet &sheet, const MergeOptions &options, const MergeTarget &target);
    ~MergeRun();

    MergeRun(const MergeRun &) = delete;
    MergeRun &operator=(const MergeRun &) = delete;

    // The rows the run makes, as indexes of the sheet's rows, in order.
    const QList<qsizetype> &rows() const { return m_rows; }

    // Makes a row's pictures in folder (which does not exist yet), with
    // target.pictures; returns why it could not, or empty. A row whose
    // pictures fail fails (its page is not written) and the run goes on; it
    // may throw Failure to end the run.
    using RowPictures = std::function<QString(const MergedRow &row, const QString &folder)>;

    // Makes every row's page (mergeSheet) and writes the set; done is called
    // with each row once its files are staged. Unless cancelled, the set is
    // in place when it returns. Throws Failure as mergeSheet does, and when
    // a file cannot be written or put in place: then nothing is in place.
    MergeTotals run(const Project &project, const QList<const PageSpec *> &pages, const Services &services,
                    const MergeRowDone &done, const std::atomic<bool> *cancel = nullptr,
                    const RowPictures &pictures = {});

private:
    const Sheet &m_sheet;
    MergeOptions m_options;
    MergeTarget m_target;
    QList<qsizetype> m_rows;
    std::unique_ptr<MergeOutput> m_output;
};

} // namespace orv::sheets
