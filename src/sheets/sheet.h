#pragma once

// Product sheets: the spreadsheet a seller keeps, one product a row, read into
// rows of named cells whatever its encoding or layout, and written back with
// one column replaced. docs/sheets.md describes the formats.
//
//   const sheets::Sheet sheet = sheets::readSheet(path, {});  // throws orv::Failure
//   const int title = sheet.column(u"宝贝名称"_s);              // -1 when missing
//   const QStringList keys = sheets::fileKeys(sheet, {});      // safe, unique file names
//   for (qsizetype i = 0; i < sheet.rows.size(); ++i)
//       use(keys[i], sheet.rows[i].cells[title], sheet.place(i)); // place: "line 5"
//   const int column = sheet.descriptionColumn({});            // or a name the user gave
//   sheets::writeSheet(sheet, column, pages, outPath);         // never over the input
//
// Every failure is an orv::Failure whose message names the file and the place
// (line, or sheet, row and column).

#include "core/names.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

namespace orv::sheets {

// The largest sheet file read.
constexpr qsizetype maxSheetBytes = qsizetype(64) * 1024 * 1024;

enum class Format { Csv, Xlsx, Ods };

// The text encodings of CSV files. Detect: by byte-order mark, then strict
// UTF-8, else GB18030 (which includes GBK).
enum class Encoding { Detect, Utf8, Utf16Le, Utf16Be, Gb18030 };

// "utf-8", "utf-16le", "utf-16be", "gbk" or "gb18030" (and a few usual
// spellings, any case) and "" or "auto" for Detect; anything else fails.
Encoding encodingFromName(const QString &name);
// "UTF-8", "UTF-16LE", "UTF-16BE", "GB18030" or "auto".
QString encodingName(Encoding encoding);

struct ReadOptions {
    Encoding encoding = Encoding::Detect; // CSV only
    QChar separator;                      // CSV only: ',', '\t' or another; null to detect
    QString sheet;                        // XLSX and ODS: the sheet's name; empty for the first (and for CSV)
};

struct Column {
    QString name;      // trimmed; the English name in the listing-tool layout
    QString localName; // the listing-tool layout's Chinese name (trimmed); else empty
};

struct Row {
    QStringList cells; // one per column, as the spreadsheet shows them
    int line = 0;      // CSV: the physical line where the record starts; XLSX/ODS: the sheet's row number
};

// How a CSV file was written, so that it can be written again the same way
// (for a workbook: the CSV it is written back as). Filled by the reader;
// callers need not look inside.
struct CsvText {
    Encoding encoding = Encoding::Utf8;
    bool byteOrderMark = false;
    QChar separator = u',';
    QString lineBreak = QStringLiteral("\r\n"); // the first one of the file
    // The file's text exactly as read, around the rows' cells: head is all
    // before the first row's first cell (the header lines with their line
    // breaks), gaps[i] all between row i-1's last cell and row i's first (a
    // line break, and any blank lines or records of empty cells, which are no
    // products), tail all after the last row's last cell.
    QString head;
    QStringList gaps;
    QString tail;
    // For each row, each cell's text as it stands in the file where it was
    // quoted, a null string where the file holds the cell as it reads; an
    // empty list for a row without quoted cells.
    QList<QStringList> quoted;
};

struct Sheet {
    QString path; // as given to readSheet; used in messages and to refuse writing over it
    Format format = Format::Csv;
    bool listingLayout = false; // "version 1.00", English names, Chinese names, products
    QString sheetName;          // XLSX and ODS
    QList<Column> columns;
    QList<Row> rows;
    CsvText csv;

    // The column one of whose names is the given one, both trimmed; the first
    // such column, or -1.
    int column(const QString &name) const;
    // Where a row, or a cell of it, stands, for messages: "line 5" (CSV) or
    // "sheet 宝贝, row 5" and "sheet 宝贝, row 5, column C" (XLSX, ODS).
    QString place(qsizetype row, int column = -1) const;
    // The column write-back fills: the one named (trimmed), or without a name
    // `description`/宝贝描述 of the listing-tool layout. Fails when missing.
    int descriptionColumn(const QString &name) const;
    // All the columns' names, for messages: "a, b (乙), c".
    QString columnList() const;
};

// A column name as names are compared: without the blanks (spaces, tabs,
// line breaks, the ideographic space) at either end; the one rule of names,
// which slots share.
using orv::trimmedName;

// Reads a sheet file: CSV, XLSX or ODS, told apart by content. Fails on an
// unreadable file, one over maxSheetBytes, or a sheet that cannot be read
// whole (a ragged line, an unclosed quote, an unknown sheet name...).
Sheet readSheet(const QString &path, const ReadOptions &options = {});
// The same for a file's bytes; path is only used in messages.
Sheet parseSheet(const QByteArray &data, const QString &path, const ReadOptions &options = {});

// One file name per row from the key column (a name, trimmed; empty for
// `outer_id`/商家编码 when the sheet has one, else the row number): safe on
// every system and unique regardless of case, duplicates getting "-2", "-3".
// Fails when a key column is named and the sheet has none of that name.
QStringList fileKeys(const Sheet &sheet, const QString &keyColumn);

// The sheet's bytes with the given column's cells replaced by values (one per
// row): for CSV in the file's encoding, byte-order mark, layout, separators
// and line breaks, every other cell as it stood in the file; for XLSX and ODS
// a UTF-8 CSV (with a byte-order mark, comma-separated, CR LF) of the cells
// as read. Fails on a value that is not valid Unicode.
QByteArray sheetBytes(const Sheet &sheet, int column, const QStringList &values);
// Writes sheetBytes to path whole or not at all. Refuses the sheet's own file
// (under any spelling of its path), and for XLSX or ODS a path not ending in
// ".csv".
void writeSheet(const Sheet &sheet, int column, const QStringList &values, const QString &path);

} // namespace orv::sheets
