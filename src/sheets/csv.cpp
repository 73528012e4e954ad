#include "csv.h"

#include "core/failure.h"

#include <QRegularExpression>

namespace orv::sheets {

using namespace Qt::StringLiterals;

namespace {

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// "1 cell", "3 cells".
QString counted(qsizetype n, const QString &thing)
{
    return u"%1 %2%3"_s.arg(n).arg(thing, n == 1 ? QString() : u"s"_s);
}

} // namespace

bool isVersionLine(QStringView line)
{
    static const QRegularExpression version(u"^version\\s+\\d+(\\.\\d+)*$"_s,
                                            QRegularExpression::CaseInsensitiveOption);
    while (!line.isEmpty() && (line.back() == u',' || line.back() == u'\t' || line.back().isSpace()))
        line.chop(1);
    return version.match(line.trimmed().toString()).hasMatch();
}

namespace {

// One record of the text at a time, with where it stands.
class Scanner {
public:
    struct Record {
        qsizetype start = 0; // its first character
        qsizetype end = 0;   // after its last cell
        qsizetype next = 0;  // after its line break
        int line = 0;
        QStringList cells;
        QStringList quoted; // as in CsvText::quoted
        bool anyQuoted = false;

        bool isEmpty() const
        {
            return !anyQuoted
                   && std::all_of(cells.cbegin(), cells.cend(), [](const QString &c) { return c.isEmpty(); });
        }
    };

    Scanner(const QString &text, QChar separator, const Sheet &sheet)
        : m_text(text)
        , m_separator(separator)
        , m_sheet(sheet)
    {
    }

    // The next record, or false at the end of the text.
    bool next(Record &r)
    {
        const QChar *const begin = m_text.constData();
        const QChar *const end = begin + m_text.size();
        const QChar *p = begin + m_pos;
        if (p == end)
            return false;
        r.start = m_pos;
        r.line = m_line;
        r.cells.clear();
        r.quoted.clear();
        r.anyQuoted = false;
        const auto plainRun = [&](const QChar *q) {
            while (q != end && *q != m_separator && !isLineBreak(*q))
                ++q;
            return q;
        };
        for (;;) {
            const QChar *const cellStart = p;
            if (p != end && *p == u'"') {
                QString cell;
                ++p;
                for (;;) {
                    const QChar *q = p;
                    while (q != end && *q != u'"') {
                        countBreak(q, end);
                        ++q;
                    }
                    if (q == end)
                        fail(r.line, u"a quote opened here is never closed"_s);
                    cell.append(p, q - p);
                    p = q + 1;
                    if (p == end || *p != u'"')
                        break;
                    cell.append(u'"');
                    ++p;
                }
                // Text after the closing quote belongs to the cell, as
                // spreadsheets read it.
                const QChar *q = plainRun(p);
                cell.append(p, q - p);
                p = q;
                r.cells.append(cell);
                r.quoted.append(QString(cellStart, p - cellStart));
                r.anyQuoted = true;
            } else {
                const QChar *q = plainRun(p);
                r.cells.append(QString(p, q - p));
                r.quoted.append(QString());
                p = q;
            }
            if (p == end || *p != m_separator)
                break;
            ++p;
        }
        r.end = p - begin;
        if (p != end) {
            const bool crlf = *p == u'\r' && p + 1 != end && p[1] == u'\n';
            p += crlf ? 2 : 1;
            ++m_line;
        }
        r.next = p - begin;
        m_pos = r.next;
        if (!r.anyQuoted)
            r.quoted.clear();
        return true;
    }

    [[noreturn]] void fail(int line, const QString &what) const
    {
        throw Failure(u"Cannot read sheet \"%1\": line %2: %3"_s.arg(m_sheet.path).arg(line).arg(what));
    }

private:
    // Counts a line break inside quotes: LF, or CR not followed by LF.
    void countBreak(const QChar *q, const QChar *end)
    {
        if (*q == u'\n' || (*q == u'\r' && (q + 1 == end || q[1] != u'\n')))
            ++m_line;
    }

    const QString &m_text;
    const QChar m_separator;
    const Sheet &m_sheet;
    qsizetype m_pos = 0;
    int m_line = 1;
};

// The next record that is not empty (blank lines and records of empty cells
// are no products), or false at the end.
bool nextFilled(Scanner &scanner, Scanner::Record &r)
{
    while (scanner.next(r)) {
        if (!r.isEmpty())
            return true;
    }
    return false;
}

} // namespace

QChar detectSeparator(const QString &text, Encoding encoding)
{
    if (encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be)
        return u'\t';
    // The line of column names: the first line that is not blank, or the one
    // after it in the listing tool's layout.
    qsizetype pos = 0;
    bool afterVersion = false;
    while (pos < text.size()) {
        qsizetype stop = pos;
        bool quoted = false;
        bool tab = false;
        bool comma = false;
        for (; stop < text.size() && (quoted || !isLineBreak(text[stop])); ++stop) {
            const QChar c = text[stop];
            quoted ^= c == u'"';
            tab |= !quoted && c == u'\t';
            comma |= !quoted && c == u',';
        }
        const QStringView line = QStringView(text).sliced(pos, stop - pos);
        pos = stop + 1;
        if (line.trimmed().isEmpty())
            continue;
        if (!afterVersion && isVersionLine(line)) {
            afterVersion = true;
            continue;
        }
        return tab && !comma ? u'\t' : u',';
    }
    return u',';
}

void readCsv(Sheet &sheet, const QString &text, QChar separator)
{
    CsvText &csv = sheet.csv;
    csv.separator = separator;
    Scanner scanner(text, separator, sheet);
    Scanner::Record r;
    bool lineBreakSeen = false;
    const auto next = [&] {
        const bool found = nextFilled(scanner, r);
        if (found && !lineBreakSeen && r.next > r.end) {
            csv.lineBreak = text.mid(r.end, r.next - r.end);
            lineBreakSeen = true;
        }
        return found;
    };

    if (!next())
        throw Failure(u"Cannot read sheet \"%1\": the file holds no column names"_s.arg(sheet.path));
    if (r.cells.size() > 0 && isVersionLine(r.cells.first())
        && std::all_of(r.cells.cbegin() + 1, r.cells.cend(), [](const QString &c) { return c.isEmpty(); })) {
        sheet.listingLayout = true;
        if (!next())
            scanner.fail(r.line, u"the version line is followed by no column names"_s);
        const QStringList english = r.cells;
        const int englishLine = r.line;
        if (!next())
            scanner.fail(englishLine, u"the English column names are followed by no Chinese ones"_s);
        if (r.cells.size() != english.size())
            scanner.fail(r.line, u"%1 for %2 on line %3"_s
                                     .arg(counted(r.cells.size(), u"Chinese column name"_s),
                                          counted(english.size(), u"English one"_s))
                                     .arg(englishLine));
        for (qsizetype i = 0; i < english.size(); ++i)
            sheet.columns.append({trimmedName(english[i]), trimmedName(r.cells[i])});
    } else {
        for (const QString &name : std::as_const(r.cells))
            sheet.columns.append({trimmedName(name), QString()});
    }

    qsizetype previousEnd = -1;
    while (next()) {
        if (r.cells.size() != sheet.columns.size())
            scanner.fail(r.line, u"%1 where the column names are %2"_s.arg(counted(r.cells.size(), u"cell"_s))
                                     .arg(sheet.columns.size()));
        if (previousEnd < 0) {
            csv.head = text.left(r.start);
            csv.gaps.append(QString());
        } else {
            const QStringView gap = QStringView(text).sliced(previousEnd, r.start - previousEnd);
            // Most gaps are one line break: they share one string.
            csv.gaps.append(csv.gaps.size() > 1 && csv.gaps.last() == gap ? csv.gaps.last() : gap.toString());
        }
        sheet.rows.append({std::move(r.cells), r.line});
        csv.quoted.append(std::move(r.quoted));
        previousEnd = r.end;
    }
    if (previousEnd < 0)
        csv.head = text;
    else
        csv.tail = text.mid(previousEnd);
}

QString csvCell(const QString &cell, QChar separator, bool emptyCounts)
{
    const bool plain = !(emptyCounts && cell.isEmpty()) && !cell.contains(separator) && !cell.contains(u'"')
                       && !cell.contains(u'\r') && !cell.contains(u'\n');
    if (plain)
        return cell;
    QString quoted = cell;
    quoted.replace(u'"', u"\"\""_s);
    return u'"' + quoted + u'"';
}

QString csvText(const Sheet &sheet, int column, const QStringList &values)
{
    const CsvText &csv = sheet.csv;
    if (sheet.rows.isEmpty())
        return csv.head;
    // Cells read from a CSV file are written as they stood; cells of a
    // workbook as CSV needs them.
    const bool verbatim = sheet.format == Format::Csv;
    QString out = csv.head;
    for (qsizetype i = 0; i < sheet.rows.size(); ++i) {
        const QStringList &cells = sheet.rows[i].cells;
        const QStringList &quoted = verbatim ? csv.quoted.value(i) : QStringList();
        out += csv.gaps.value(i);
        bool othersEmpty = true;
        for (qsizetype j = 0; j < cells.size(); ++j)
            othersEmpty &= j == column || (cells[j].isEmpty() && (quoted.isEmpty() || quoted[j].isNull()));
        for (qsizetype j = 0; j < cells.size(); ++j) {
            if (j > 0)
                out += csv.separator;
            if (j == column)
                out += csvCell(values[i], csv.separator, othersEmpty);
            else if (!quoted.isEmpty() && !quoted[j].isNull())
                out += quoted[j];
            else
                out += verbatim ? cells[j] : csvCell(cells[j], csv.separator);
        }
    }
    return out + csv.tail;
}

} // namespace orv::sheets
