#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "core/failure.h"

#include <memory>

namespace orv::sheets {

struct MergedRow;

// The files of one merge in its folder. They are written into a staging
// folder beside it and put in place together at the end; until then the
// folder stays exactly as it was, and an earlier set in it is kept until the
// new one is whole. A set is what an earlier merge listed in its index.csv
// (its pages and picture folders) and any file or folder the new one writes
// over; other files stay.
class MergeOutput {
public:
    // The index every merge writes into its folder.
    static inline const QString indexName = QStringLiteral("index.csv");

    // Plans writing the named files (plain file names, index.csv among them;
    // a name ending in "/" is a folder, a row's pictures) into folder. Throws
    // OutputRefused when the folder is a file, when it holds an earlier set
    // or a file or folder of the names and overwrite is not given, when a
    // name is a folder there where a file is written (or the other way
    // round), or when its index.csv cannot be read.
    MergeOutput(const QString &folder, const QStringList &names, bool overwrite);
    // Removes the staging folder unless the set was put in place.
    ~MergeOutput();

    MergeOutput(const MergeOutput &) = delete;
    MergeOutput &operator=(const MergeOutput &) = delete;

    const QString &folder() const { return m_folder; }

    // Writes one file of the set into the staging folder (made on first use,
    // with the folder's parent). Throws Failure.
    void write(const QString &name, const QByteArray &bytes);

    // Where a folder of the set is staged (the staging folder made on first
    // use; the folder itself not): the caller fills it, then adds it with
    // addFolder(), or leaves it out of the set (it goes with the staging).
    QString stagingFolder(const QString &name);
    void addFolder(const QString &name);

    // Puts the written files in place of the earlier set. Throws Failure and
    // leaves the folder as it was when it cannot.
    void commit();

private:
    void makeStaging();
    QString stagingPath(const QString &name) const;

    QString m_folder;       // absolute, clean
    QStringList m_replaced; // files in the folder that the set replaces
    QStringList m_written;  // files written into the staging folder
    std::unique_ptr<QTemporaryDir> m_staging;
};

// Why a merge's folder cannot take the set; replaced says whether it is only
// for want of leave to replace an earlier set (or files of the same names).
class OutputRefused : public Failure {
public:
    OutputRefused(const QString &message, QStringList replaced = {})
        : Failure(message)
        , m_replaced(std::move(replaced))
    {
    }
    // The files that would be replaced, when that is all that stands in the way.
    const QStringList &replaced() const { return m_replaced; }

private:
    QStringList m_replaced;
};

// What the earlier merge's index lists: its pages (plain .html file names)
// and picture folders ("KEY/"). Throws Failure when the index cannot be read.
QStringList indexedFiles(const QString &indexPath);

// index.csv: its first line (with a byte-order mark, so that spreadsheets
// read it as UTF-8) and the line of one row: row, key, file, characters,
// errors, warnings, message, pictures (the row's picture folder, "KEY/",
// when the run made pictures).
QString indexHeader();
QString indexLine(const MergedRow &row, bool pictures = false);

} // namespace orv::sheets
