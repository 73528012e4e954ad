#include "mergerun.h"

#include "core/failure.h"

#include <QDir>
#include <QHash>

namespace orv::sheets {

using namespace Qt::StringLiterals;

MergeRun::MergeRun(const Sheet &sheet, const MergeOptions &options, const MergeTarget &target)
    : m_sheet(sheet)
    , m_options(options)
    , m_target(target)
    , m_rows(options.rows)
{
    if (m_rows.isEmpty()) {
        m_rows.reserve(sheet.rows.size());
        for (qsizetype i = 0; i < sheet.rows.size(); ++i)
            m_rows.append(i);
    }
    const QStringList keys = fileKeys(sheet, options.keyColumn);
    QStringList names{MergeOutput::indexName};
    for (const qsizetype row : std::as_const(m_rows)) {
        if (row < 0 || row >= keys.size())
            throw Failure(u"Cannot merge sheet \"%1\": it has no row %2"_s.arg(sheet.path).arg(row + 1));
        names.append(keys[row] + u".html"_s);
        if (target.pictures)
            names.append(keys[row] + u'/');
    }
    m_output = std::make_unique<MergeOutput>(target.folder, names, target.overwrite);
}

MergeRun::~MergeRun() = default;

MergeTotals MergeRun::run(const Project &project, const QList<const PageSpec *> &pages, const Services &services,
                          const MergeRowDone &done, const std::atomic<bool> *cancel, const RowPictures &pictures)
{
    QString index = indexHeader();
    QHash<qsizetype, QString> written; // the pages write-back puts into the sheet
    const bool writeBack = !m_target.writeSheet.isEmpty();
    qsizetype picturesFailed = 0;
    MergeTotals totals = mergeSheet(
        project, pages, m_sheet, m_options, services,
        [&](const MergedRow &made) {
            MergedRow row = made;
            if (!row.failed() && m_target.pictures && pictures) {
                const QString folder = m_output->stagingFolder(row.key);
                const QString failure = pictures(row, folder);
                if (failure.isEmpty()) {
                    m_output->addFolder(row.key);
                } else {
                    QDir(folder).removeRecursively();
                    row.failure = failure;
                    row.page.clear();
                    ++picturesFailed;
                }
            }
            index += indexLine(row, m_target.pictures);
            if (!row.failed()) {
                m_output->write(row.key + u".html"_s, row.page.toUtf8());
                if (writeBack)
                    written.insert(row.row, row.page);
            }
            if (done)
                done(row);
        },
        cancel);
    totals.failed += picturesFailed;
    if (totals.cancelled)
        return totals;
    m_output->write(MergeOutput::indexName, index.toUtf8());
    if (writeBack) {
        QStringList values;
        values.reserve(m_sheet.rows.size());
        for (qsizetype i = 0; i < m_sheet.rows.size(); ++i)
            values.append(written.value(i, m_sheet.rows[i].cells.value(m_target.column)));
        writeSheet(m_sheet, m_target.column, values, m_target.writeSheet);
    }
    m_output->commit();
    return totals;
}

} // namespace orv::sheets
