// The CSV sheet reader on any bytes: each input is read or refused with a
// message that names the file, never a crash. A sheet that is read has a
// cell for every column in every row, on lines that go forward; written back
// with a column replaced (by texts with quotes, separators and line breaks)
// it reads back the same, the column holding the new texts; written back
// unchanged where no cell of the column needs other quoting, it is the input.

#include "fuzzcheck.h"

#include "core/failure.h"
#include "sheets/csv.h"
#include "sheets/sheet.h"

using namespace Qt::StringLiterals;
using namespace orv::sheets;

namespace {

QStringList columnCells(const Sheet &sheet, qsizetype column)
{
    QStringList cells;
    for (const Row &row : sheet.rows)
        cells.append(row.cells[column]);
    return cells;
}

// Whether writing the column's cells as they are gives the file's bytes.
bool writtenAsRead(const Sheet &sheet, qsizetype column)
{
    for (qsizetype i = 0; i < sheet.rows.size(); ++i) {
        const QString &cell = sheet.rows[i].cells[column];
        const QStringList &quoted = sheet.csv.quoted[i];
        if ((!quoted.isEmpty() && !quoted[column].isNull()) || csvCell(cell, sheet.csv.separator) != cell)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = orv::fuzz::bytes(data, size);
    if (input.startsWith("PK") || input.startsWith("\xD0\xCF"))
        return 0; // workbooks and old Excel files are not CSV
    Sheet sheet;
    try {
        sheet = parseSheet(input, u"fuzz.csv"_s);
    } catch (const orv::Failure &failure) {
        const QString prefix = u"Cannot read sheet \"fuzz.csv\": "_s;
        FUZZ_CHECK(failure.message().startsWith(prefix) && failure.message().size() > prefix.size());
        return 0;
    }
    FUZZ_CHECK(!sheet.columns.isEmpty());
    FUZZ_CHECK(sheet.csv.quoted.size() == sheet.rows.size() && sheet.csv.gaps.size() == sheet.rows.size());
    int line = 0;
    for (const Row &row : sheet.rows) {
        FUZZ_CHECK(row.cells.size() == sheet.columns.size());
        FUZZ_CHECK(row.line > line);
        line = row.line;
    }

    for (const qsizetype column : {qsizetype(0), sheet.columns.size() - 1}) {
        if (writtenAsRead(sheet, column))
            FUZZ_CHECK(sheetBytes(sheet, int(column), columnCells(sheet, column)) == input);

        QStringList values;
        for (qsizetype i = 0; i < sheet.rows.size(); ++i)
            values.append(i % 3 == 1 ? QString() : sheet.rows[i].cells.last() + u"\r\n\"页\",\t\r"_s.left(i % 7));
        const QByteArray written = sheetBytes(sheet, int(column), values);
        const Sheet back = parseSheet(written, u"fuzz.csv"_s, {sheet.csv.encoding, sheet.csv.separator, {}});
        FUZZ_CHECK(back.listingLayout == sheet.listingLayout);
        FUZZ_CHECK(back.csv.head == sheet.csv.head);
        FUZZ_CHECK(back.rows.size() == sheet.rows.size());
        for (qsizetype i = 0; i < sheet.rows.size(); ++i) {
            QStringList expected = sheet.rows[i].cells;
            expected[column] = values[i];
            FUZZ_CHECK(back.rows[i].cells == expected);
        }
    }
    return 0;
}
