#pragma once

// Numbers of a workbook's cells as the spreadsheet program shows them, by the
// cell's number format code ("0.00", "0%", "#,##0", "yyyy-mm-dd",
// "yyyy\"年\"m\"月\"d\"日\"", "¥#,##0.00", ...).

#include <QDate>
#include <QString>

namespace orv::sheets {

// The shortest text that reads back as the same number, without exponent
// from 1e-7 to 1e21: 99.9 is "99.9", 100 is "100", 12345678901 is
// "12345678901".
QString shortestNumber(double value);

// The number shown by the format code; dates and times count days from
// origin (1899-12-30 in most workbooks). General, text ("@") and codes this
// does not know (fractions, exponents, conditions) show shortestNumber.
QString formatNumber(double value, const QString &code, QDate origin);

// An XLSX built-in number format's code (the formats a file names by number
// only); empty for General and the ones not known.
QString builtInFormat(int id);

} // namespace orv::sheets
