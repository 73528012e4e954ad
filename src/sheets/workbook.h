#pragma once

// XLSX and ODS workbooks: the cells of one sheet as the spreadsheet program
// shows them. XLSX is read with orcus's import interface (xlsxreader.cpp);
// ODS from its content.xml, which holds each cell's shown text, with orcus's
// zip reader and Qt's XML reader (odsreader.cpp).

#include "sheets/sheet.h"

#include <map>
#include <memory>

namespace orv::sheets {

// The shown texts of one sheet's cells that are not empty, by row and column
// (from 0): key (row << 32) | column, in reading order.
using CellTexts = std::map<quint64, QString>;

inline quint64 cellKey(quint32 row, quint32 column)
{
    return quint64(row) << 32 | column;
}

// More cells are refused: a sheet of a million cells is far above any shop's.
constexpr qsizetype maxWorkbookCells = 4000000;

// A sheet read from a workbook.
struct WorkbookSheet {
    QString name;
    CellTexts cells;
};

// The members of a zip archive, unpacked by orcus.
class ZipArchive {
public:
    explicit ZipArchive(const QByteArray &data); // the data must outlive it
    ~ZipArchive();
    // The member's bytes, or empty when there is none of that name.
    QByteArray member(const QString &name) const;

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

// Whether the bytes are a zip archive (XLSX, ODS or another).
bool isZip(const QByteArray &data);

// Reads the sheet (options.sheet, or the first) of an XLSX or ODS workbook's
// bytes into sheet (its path set). Fails on a damaged workbook, an unknown
// sheet, or one without column names, naming the file and the place.
void readWorkbook(Sheet &sheet, const QByteArray &data, const ReadOptions &options);

// The readers of the two formats: the sheet named (trimmed), or the first
// when the name is empty. They fail with the message alone (what is wrong);
// readWorkbook adds the file. strings: the workbook's shared strings.
WorkbookSheet readXlsx(const QByteArray &data, const QString &sheetName, const QStringList &strings);
WorkbookSheet readOds(const QByteArray &data, const QString &sheetName);

// The failure for a sheet name that is not in the workbook.
[[noreturn]] void failUnknownSheet(const QString &name, const QStringList &names);

} // namespace orv::sheets
