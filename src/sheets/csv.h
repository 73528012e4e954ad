#pragma once

// CSV sheets: records of cells split at a separator, cells in double quotes
// holding separators, quotes (doubled) and line breaks.

#include "sheets/sheet.h"

namespace orv::sheets {

// Whether a line is the listing tool's first, "version 1.00" (any version,
// any case, separators after it allowed).
bool isVersionLine(QStringView line);

// The sheet in a CSV file's decoded text (decodeText). Fails on a ragged
// record or an unclosed quote, naming the line and the file (sheet.path).
void readCsv(Sheet &sheet, const QString &text, QChar separator);

// The separator of a CSV text when none is given: a tab for UTF-16 files and
// where the line of column names has a tab and no comma outside quotes; else
// a comma.
QChar detectSeparator(const QString &text, Encoding encoding);

// The cell as a CSV file holds it: in double quotes (doubling any inside)
// when it has the separator, a quote or a line break, or when it is empty
// and must still count as a cell (emptyCounts).
QString csvCell(const QString &cell, QChar separator, bool emptyCounts = false);

// The sheet's CSV text with the column's cells replaced by the values.
QString csvText(const Sheet &sheet, int column, const QStringList &values);

} // namespace orv::sheets
