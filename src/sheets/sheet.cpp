#include "sheet.h"

#include "core/failure.h"
#include "csv.h"
#include "textcodec.h"
#include "workbook.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace orv::sheets {

using namespace Qt::StringLiterals;

namespace {

QString columnLetters(int column)
{
    QString letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

// Whether both paths name one existing file, whatever the spelling ("..",
// symbolic links, case on Windows, hard links on Unix).
bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (!first.exists() || !second.exists())
        return false;
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    if (first.canonicalFilePath().compare(second.canonicalFilePath(), cs) == 0)
        return true;
#ifdef Q_OS_UNIX
    struct stat x {};
    struct stat y {};
    return ::stat(QFile::encodeName(a).constData(), &x) == 0 && ::stat(QFile::encodeName(b).constData(), &y) == 0
           && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
#else
    return false;
#endif
}

} // namespace

int Sheet::column(const QString &name) const
{
    const QString wanted = trimmedName(name);
    if (wanted.isEmpty())
        return -1; // an empty name names no column, not one without a name
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (columns[i].name == wanted || (!columns[i].localName.isEmpty() && columns[i].localName == wanted))
            return int(i);
    }
    return -1;
}

QString Sheet::place(qsizetype row, int column) const
{
    const int line = row >= 0 && row < rows.size() ? rows[row].line : 0;
    if (format == Format::Csv)
        return u"line %1"_s.arg(line);
    QString where = u"sheet %1, row %2"_s.arg(sheetName).arg(line);
    if (column >= 0)
        where += u", column "_s + columnLetters(column);
    return where;
}

QString Sheet::columnList() const
{
    QStringList names;
    for (const Column &c : columns)
        names.append(c.localName.isEmpty() ? c.name : u"%1 (%2)"_s.arg(c.name, c.localName));
    return names.join(u", "_s);
}

int Sheet::descriptionColumn(const QString &name) const
{
    if (name.trimmed().isEmpty() && !listingLayout)
        throw Failure(
            u"Sheet \"%1\": name the column that is to hold the pages (its columns: %2)"_s.arg(path, columnList()));
    const QString wanted = name.trimmed().isEmpty() ? u"description"_s : name;
    const int found = column(wanted);
    if (found < 0)
        throw Failure(
            u"Sheet \"%1\" has no column \"%2\" (its columns: %3)"_s.arg(path, trimmedName(wanted), columnList()));
    return found;
}

Sheet parseSheet(const QByteArray &data, const QString &path, const ReadOptions &options)
{
    Sheet sheet;
    sheet.path = path;
    const auto fail = [&](const QString &what) { throw Failure(u"Cannot read sheet \"%1\": %2"_s.arg(path, what)); };
    if (data.size() > maxSheetBytes)
        fail(u"larger than %1 MiB"_s.arg(maxSheetBytes / (1024 * 1024)));
    if (data.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        fail(u"an Excel 97-2003 workbook (.xls), which is not read; save it as XLSX or CSV"_s);
    if (isZip(data)) {
        readWorkbook(sheet, data, options);
        return sheet;
    }
    if (!options.sheet.isEmpty())
        fail(u"a CSV file has no sheets to choose from (\"%1\" was asked for)"_s.arg(options.sheet));
    const DecodedText decoded = decodeText(data, options.encoding, path);
    sheet.csv.encoding = decoded.encoding;
    sheet.csv.byteOrderMark = decoded.byteOrderMark;
    const QChar separator
        = options.separator.isNull() ? detectSeparator(decoded.text, decoded.encoding) : options.separator;
    if (separator == u'"' || separator == u'\r' || separator == u'\n')
        fail(u"a quote or a line break cannot separate cells"_s);
    readCsv(sheet, decoded.text, separator);
    return sheet;
}

Sheet readSheet(const QString &path, const ReadOptions &options)
{
    const auto fail = [&](const QString &what) { throw Failure(u"Cannot read sheet \"%1\": %2"_s.arg(path, what)); };
    if (QFileInfo(path).isDir())
        fail(u"it is a folder"_s);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(file.errorString());
    if (file.size() > maxSheetBytes)
        fail(u"larger than %1 MiB"_s.arg(maxSheetBytes / (1024 * 1024)));
    // A file that grows while it is read still stops at the limit.
    const QByteArray data = file.read(maxSheetBytes + 1);
    if (file.error() != QFileDevice::NoError)
        fail(file.errorString());
    return parseSheet(data, path, options);
}

QByteArray sheetBytes(const Sheet &sheet, int column, const QStringList &values)
{
    const auto fail
        = [&](const QString &what) { throw Failure(u"Cannot write sheet \"%1\": %2"_s.arg(sheet.path, what)); };
    if (column < 0 || column >= sheet.columns.size())
        fail(u"it has no column %1"_s.arg(column + 1));
    if (values.size() != sheet.rows.size())
        fail(u"%1 texts for %2 rows"_s.arg(values.size()).arg(sheet.rows.size()));
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (!values[i].isValidUtf16())
            fail(u"%1: the new text is not valid Unicode"_s.arg(sheet.place(i, column)));
    }
    const QString text = csvText(sheet, column, values);
    if (sheet.format == Format::Csv)
        return encodeText(text, sheet.csv.encoding, sheet.csv.byteOrderMark);
    return encodeText(text, Encoding::Utf8, true);
}

void writeSheet(const Sheet &sheet, int column, const QStringList &values, const QString &path)
{
    const auto fail = [&](const QString &what) { throw Failure(u"Cannot write sheet \"%1\": %2"_s.arg(path, what)); };
    if (sameFile(path, sheet.path))
        fail(u"it is the sheet that was read; choose another file"_s);
    if (sheet.format != Format::Csv && !path.endsWith(u".csv"_s, Qt::CaseInsensitive))
        fail(u"a workbook is written back as CSV: give a file name ending in .csv"_s);
    const QByteArray bytes = sheetBytes(sheet, column, values);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        fail(file.errorString());
}

} // namespace orv::sheets
