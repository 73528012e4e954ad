#include "workbook.h"

#include "core/failure.h"
#include "csv.h"

#include <orcus/format_detection.hpp>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

#include <QRegularExpression>
#include <QtEndian>
#include <QXmlStreamReader>

#include <exception>
#include <vector>

namespace orv::sheets {

using namespace Qt::StringLiterals;

namespace {

// What a workbook may unpack to: far above any shop's sheet, and low enough
// that a small file cannot ask for all the memory there is.
constexpr quint64 maxEntryBytes = quint64(512) * 1024 * 1024;
constexpr quint64 maxUnpackedBytes = quint64(1024) * 1024 * 1024;

quint32 le32(const QByteArray &data, qsizetype at)
{
    return qFromLittleEndian<quint32>(data.constData() + at);
}

quint16 le16(const QByteArray &data, qsizetype at)
{
    return qFromLittleEndian<quint16>(data.constData() + at);
}

// The names of the archive's members, from its central directory, after
// checking the sizes they unpack to.
QStringList zipMembers(const QByteArray &data)
{
    const auto damaged = [] { return Failure(u"a damaged zip archive (no readable central directory)"_s); };
    qsizetype end = data.size() - 22;
    const qsizetype lowest = std::max<qsizetype>(0, end - 65535);
    while (end >= lowest && !(data.at(end) == 'P' && data.mid(end, 4) == "PK\x05\x06"))
        --end;
    if (end < lowest)
        throw damaged();
    const quint16 count = le16(data, end + 10);
    const quint32 offset = le32(data, end + 16);
    if (count == 0xFFFF || offset == 0xFFFFFFFF)
        throw Failure(u"a ZIP64 archive, which is not read; save the sheet again in a spreadsheet program"_s);
    QStringList names;
    quint64 total = 0;
    qsizetype at = offset;
    for (int i = 0; i < count; ++i) {
        if (at < 0 || at + 46 > data.size() || data.mid(at, 4) != "PK\x01\x02")
            throw damaged();
        const quint32 size = le32(data, at + 24);
        const qsizetype nameSize = le16(data, at + 28);
        const qsizetype next = at + 46 + nameSize + le16(data, at + 30) + le16(data, at + 32);
        if (at + 46 + nameSize > data.size())
            throw damaged();
        total += size;
        if (size == 0xFFFFFFFF || size > maxEntryBytes || total > maxUnpackedBytes)
            throw Failure(u"it unpacks to more than %1 MiB"_s.arg(maxUnpackedBytes / (1024 * 1024)));
        names.append(QString::fromUtf8(data.constData() + at + 46, nameSize));
        at = next;
    }
    return names;
}

// Excel's escape of characters XML cannot hold: "_x000D_" is a CR,
// "_x005F_" a "_".
QString unescaped(const QString &text)
{
    if (!text.contains(u"_x"_s))
        return text;
    static const QRegularExpression escape(u"_x([0-9A-Fa-f]{4})_"_s);
    QString out;
    qsizetype from = 0;
    for (QRegularExpressionMatchIterator it = escape.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).sliced(from, m.capturedStart() - from);
        out += QChar(char16_t(m.capturedView(1).toUShort(nullptr, 16)));
        from = m.capturedEnd();
    }
    return out.append(QStringView(text).sliced(from));
}

// The shared strings in order: each <si>'s text runs, without the phonetic
// guides (<rPh>).
QStringList sharedStrings(const QByteArray &xml, const QString &member)
{
    QStringList strings;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != u"si")
            continue;
        QString text;
        for (int depth = 1; depth > 0 && !reader.atEnd();) {
            const QXmlStreamReader::TokenType token = reader.readNext();
            if (token == QXmlStreamReader::StartElement && reader.name() == u"rPh")
                reader.skipCurrentElement();
            else if (token == QXmlStreamReader::StartElement && reader.name() == u"t")
                text += reader.readElementText(QXmlStreamReader::IncludeChildElements);
            else if (token == QXmlStreamReader::StartElement)
                ++depth;
            else if (token == QXmlStreamReader::EndElement)
                --depth;
        }
        strings.append(unescaped(text));
    }
    if (reader.hasError())
        throw Failure(u"%1, line %2: %3"_s.arg(member).arg(reader.lineNumber()).arg(reader.errorString()));
    return strings;
}

// What orcus does not read right, from the archive itself: it gives an empty
// shared string as the one before it, so they are read here; and it leaves
// out without a word cells whose text stands in the sheet ("inline strings",
// which some export tools write), so such a workbook is refused rather than
// read with holes.
QStringList xlsxStrings(const QByteArray &data, const QStringList &members)
{
    const ZipArchive archive(data);
    QStringList strings;
    for (const QString &member : members) {
        const bool sheet = member.startsWith(u"xl/worksheets/"_s) && member.endsWith(u".xml"_s);
        const bool shared = member.compare(u"xl/sharedStrings.xml"_s, Qt::CaseInsensitive) == 0;
        if (!sheet && !shared)
            continue;
        const QByteArray xml = archive.member(member);
        if (shared)
            strings = sharedStrings(xml, member);
        else if (xml.contains("t=\"inlineStr\"") || xml.contains("t='inlineStr'"))
            throw Failure(u"%1 holds text in a form this program cannot read (inline strings); open the workbook in a "
                          "spreadsheet program and save it again"_s.arg(member));
    }
    return strings;
}

// The rows of the grid that hold cells, in order.
std::vector<quint32> filledRows(const CellTexts &cells)
{
    std::vector<quint32> rows;
    for (const auto &[key, text] : cells) {
        const quint32 row = quint32(key >> 32);
        if (rows.empty() || rows.back() != row)
            rows.push_back(row);
    }
    return rows;
}

QStringList rowCells(const CellTexts &cells, quint32 row, int width)
{
    QStringList out(width);
    for (auto it = cells.lower_bound(cellKey(row, 0)); it != cells.end() && it->first >> 32 == row; ++it) {
        const quint32 column = quint32(it->first);
        if (column < quint32(width))
            out[column] = it->second;
    }
    return out;
}

int rowWidth(const CellTexts &cells, quint32 row)
{
    int width = 0;
    for (auto it = cells.lower_bound(cellKey(row, 0)); it != cells.end() && it->first >> 32 == row; ++it)
        width = int(quint32(it->first)) + 1;
    return width;
}

QString csvLine(const QStringList &cells)
{
    QStringList quoted;
    for (const QString &cell : cells)
        quoted.append(csvCell(cell, u','));
    return quoted.join(u',') + u"\r\n"_s;
}

// The columns and rows of a workbook's sheet, and the CSV they are written
// back as: the first row with cells names the columns (or the listing tool's
// three lines do); the cells right of the last name are no part of it.
void fillSheet(Sheet &sheet, const WorkbookSheet &read)
{
    sheet.sheetName = read.name;
    const std::vector<quint32> rows = filledRows(read.cells);
    if (rows.empty())
        throw Failure(u"sheet %1 holds no column names"_s.arg(read.name));
    size_t next = 0;
    const quint32 first = rows[next++];
    const QStringList firstCells = rowCells(read.cells, first, 1);
    CsvText &csv = sheet.csv;
    csv.encoding = Encoding::Utf8;
    csv.byteOrderMark = true;
    sheet.listingLayout = rowWidth(read.cells, first) == 1 && isVersionLine(firstCells[0]);
    if (sheet.listingLayout) {
        if (next + 1 >= rows.size())
            throw Failure(u"sheet %1, row %2: the version line is not followed by English and Chinese column names"_s
                              .arg(read.name)
                              .arg(first + 1));
        const quint32 english = rows[next++];
        const quint32 chinese = rows[next++];
        const int width = rowWidth(read.cells, english);
        const QStringList names = rowCells(read.cells, english, width);
        const QStringList local = rowCells(read.cells, chinese, width);
        for (int i = 0; i < width; ++i)
            sheet.columns.append({trimmedName(names[i]), trimmedName(local[i])});
        csv.head = csvLine(firstCells) + csvLine(names) + csvLine(local);
    } else {
        const int width = rowWidth(read.cells, first);
        const QStringList names = rowCells(read.cells, first, width);
        for (const QString &name : names)
            sheet.columns.append({trimmedName(name), QString()});
        csv.head = csvLine(names);
    }
    const int width = int(sheet.columns.size());
    for (; next < rows.size(); ++next) {
        QStringList cells = rowCells(read.cells, rows[next], width);
        if (std::all_of(cells.cbegin(), cells.cend(), [](const QString &c) { return c.isEmpty(); }))
            continue; // cells only right of the named columns
        sheet.rows.append({std::move(cells), int(rows[next]) + 1});
        csv.gaps.append(csv.gaps.isEmpty() ? QString() : u"\r\n"_s);
    }
    csv.tail = sheet.rows.isEmpty() ? QString() : u"\r\n"_s;
}

} // namespace

struct ZipArchive::Parts {
    Parts(const QByteArray &data)
        : stream(reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size()))
        , archive(&stream)
    {
        archive.load();
    }
    orcus::zip_archive_stream_blob stream;
    orcus::zip_archive archive;
};

ZipArchive::ZipArchive(const QByteArray &data)
    : m_parts(std::make_unique<Parts>(data))
{
}

ZipArchive::~ZipArchive() = default;

QByteArray ZipArchive::member(const QString &name) const
{
    const QByteArray utf8 = name.toUtf8();
    std::vector<unsigned char> bytes;
    if (!m_parts->archive.read_file_entry(std::string_view(utf8.constData(), size_t(utf8.size())), bytes))
        return {};
    // orcus ends what it unpacks with a NUL of its own.
    if (!bytes.empty() && bytes.back() == 0)
        bytes.pop_back();
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

bool isZip(const QByteArray &data)
{
    return data.startsWith("PK\x03\x04") || data.startsWith("PK\x05\x06");
}

void failUnknownSheet(const QString &name, const QStringList &names)
{
    if (names.isEmpty())
        throw Failure(u"the workbook has no sheets"_s);
    QStringList quoted;
    for (const QString &n : names)
        quoted.append(u"\"%1\""_s.arg(n));
    throw Failure(u"it has no sheet \"%1\" (its sheets: %2)"_s.arg(trimmedName(name), quoted.join(u", "_s)));
}

void readWorkbook(Sheet &sheet, const QByteArray &data, const ReadOptions &options)
{
    try {
        const QStringList members = zipMembers(data);
        const orcus::format_t format
            = orcus::detect(reinterpret_cast<const unsigned char *>(data.constData()), size_t(data.size()));
        WorkbookSheet read;
        if (format == orcus::format_t::xlsx) {
            sheet.format = Format::Xlsx;
            read = readXlsx(data, options.sheet, xlsxStrings(data, members));
        } else if (format == orcus::format_t::ods) {
            sheet.format = Format::Ods;
            read = readOds(data, options.sheet);
        } else {
            throw Failure(u"a zip archive that is neither an XLSX nor an ODS workbook"_s);
        }
        fillSheet(sheet, read);
    } catch (const Failure &failure) {
        throw Failure(u"Cannot read sheet \"%1\": %2"_s.arg(sheet.path, failure.message()));
    } catch (const std::exception &error) {
        throw Failure(
            u"Cannot read sheet \"%1\": a damaged workbook (%2)"_s.arg(sheet.path, QString::fromUtf8(error.what())));
    }
}

} // namespace orv::sheets
