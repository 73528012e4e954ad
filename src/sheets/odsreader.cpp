// ODS from its content.xml, where each cell holds the text the spreadsheet
// program shows (its paragraphs), whatever its kind: numbers in their format,
// currencies, percentages, dates, times, truth values and formula results.
// Where a cell has no paragraph, its stored value stands in.

#include "core/failure.h"
#include "numberformat.h"
#include "workbook.h"

#include <QXmlStreamReader>

#include <vector>

namespace orv::sheets {

using namespace Qt::StringLiterals;

namespace {

const QString officeNs = u"urn:oasis:names:tc:opendocument:xmlns:office:1.0"_s;
const QString tableNs = u"urn:oasis:names:tc:opendocument:xmlns:table:1.0"_s;
const QString textNs = u"urn:oasis:names:tc:opendocument:xmlns:text:1.0"_s;

// A sheet has at most this many columns and rows in the programs that write
// ODS; repeats beyond them are padding.
constexpr qint64 maxColumns = 16384;
constexpr qint64 maxRows = 1048576;

class ContentReader {
public:
    ContentReader(const QByteArray &content, QString wanted)
        : m_xml(content)
        , m_wanted(std::move(wanted))
    {
    }

    WorkbookSheet read()
    {
        while (m_xml.readNextStartElement()) {
            if (is(officeNs, u"document-content") || is(officeNs, u"body") || is(officeNs, u"spreadsheet"))
                continue; // into it
            if (is(tableNs, u"table"))
                table();
            else
                m_xml.skipCurrentElement();
        }
        if (m_xml.hasError())
            throw Failure(u"content.xml, line %1: %2"_s.arg(m_xml.lineNumber()).arg(m_xml.errorString()));
        if (!m_found)
            failUnknownSheet(m_wanted, m_names);
        return std::move(m_sheet);
    }

private:
    bool is(const QString &ns, QStringView name) const { return m_xml.namespaceUri() == ns && m_xml.name() == name; }

    qint64 repeats(QStringView attribute) const
    {
        const qint64 n = m_xml.attributes().value(tableNs, attribute.toString()).toLongLong();
        return std::max<qint64>(n, 1);
    }

    void table()
    {
        const QString name = m_xml.attributes().value(tableNs, u"name"_s).toString();
        m_names.append(name);
        if (m_found || (!m_wanted.isEmpty() && trimmedName(name) != m_wanted)) {
            m_xml.skipCurrentElement();
            return;
        }
        m_found = true;
        m_sheet.name = name;
        m_row = 0;
        rows();
    }

    // The rows of the table, also inside header rows and row groups.
    void rows()
    {
        while (m_xml.readNextStartElement()) {
            if (is(tableNs, u"table-row"))
                row();
            else if (is(tableNs, u"table-header-rows") || is(tableNs, u"table-row-group") || is(tableNs, u"table-rows"))
                rows();
            else
                m_xml.skipCurrentElement();
        }
    }

    void row()
    {
        const qint64 repeated = repeats(u"number-rows-repeated");
        std::vector<std::pair<qint64, QString>> cells;
        qint64 column = 0;
        while (m_xml.readNextStartElement()) {
            if (!is(tableNs, u"table-cell") && !is(tableNs, u"covered-table-cell")) {
                m_xml.skipCurrentElement();
                continue;
            }
            const qint64 span = repeats(u"number-columns-repeated");
            QString text = cell();
            for (qint64 k = 0; !text.isEmpty() && k < span && column + k < maxColumns; ++k)
                cells.emplace_back(column + k, text);
            column += span;
        }
        // Rows repeated with cells are copies (a run of equal rows); empty
        // ones are padding to the end of the sheet.
        for (qint64 k = 0; !cells.empty() && k < repeated && m_row + k < maxRows; ++k) {
            for (const auto &[c, text] : cells) {
                if (qsizetype(m_sheet.cells.size()) >= maxWorkbookCells)
                    throw Failure(u"it holds more than %1 cells"_s.arg(maxWorkbookCells));
                m_sheet.cells.emplace(cellKey(quint32(m_row + k), quint32(c)), text);
            }
        }
        m_row += repeated;
    }

    // The cell's shown text: its paragraphs, one a line.
    QString cell()
    {
        const QXmlStreamAttributes attributes = m_xml.attributes();
        QStringList paragraphs;
        while (m_xml.readNextStartElement()) {
            if (is(textNs, u"p") || is(textNs, u"h")) {
                QString paragraph;
                inline_(paragraph);
                paragraphs.append(paragraph);
            } else {
                m_xml.skipCurrentElement(); // comments (office:annotation) and the like
            }
        }
        if (!paragraphs.isEmpty())
            return paragraphs.join(u'\n');
        return storedValue(attributes);
    }

    // The text of a paragraph or of a span inside one.
    void inline_(QString &out)
    {
        while (!m_xml.atEnd()) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::Characters:
                out += m_xml.text();
                break;
            case QXmlStreamReader::StartElement:
                if (is(textNs, u"s")) {
                    const qint64 n = m_xml.attributes().value(textNs, u"c"_s).toLongLong();
                    out += QString(qsizetype(std::clamp<qint64>(n, 1, 1000)), u' ');
                    m_xml.skipCurrentElement();
                } else if (is(textNs, u"tab")) {
                    out += u'\t';
                    m_xml.skipCurrentElement();
                } else if (is(textNs, u"line-break")) {
                    out += u'\n';
                    m_xml.skipCurrentElement();
                } else if (is(officeNs, u"annotation") || is(textNs, u"note")) {
                    m_xml.skipCurrentElement();
                } else {
                    inline_(out); // a span or a link: its text
                }
                break;
            case QXmlStreamReader::EndElement:
                return;
            default:
                break;
            }
        }
    }

    static QString storedValue(const QXmlStreamAttributes &a)
    {
        const QStringView type = a.value(officeNs, u"value-type"_s);
        if (type == u"float" || type == u"currency" || type == u"percentage") {
            bool ok = false;
            const double value = a.value(officeNs, u"value"_s).toDouble(&ok);
            if (!ok)
                return {};
            return type == u"percentage" ? shortestNumber(value * 100) + u'%' : shortestNumber(value);
        }
        if (type == u"date")
            return a.value(officeNs, u"date-value"_s).toString().replace(u'T', u' ');
        if (type == u"time")
            return a.value(officeNs, u"time-value"_s).toString();
        if (type == u"boolean")
            return a.value(officeNs, u"boolean-value"_s) == u"true" ? u"TRUE"_s : u"FALSE"_s;
        return a.value(officeNs, u"string-value"_s).toString();
    }

    QXmlStreamReader m_xml;
    const QString m_wanted;
    WorkbookSheet m_sheet;
    QStringList m_names;
    bool m_found = false;
    qint64 m_row = 0;
};

} // namespace

WorkbookSheet readOds(const QByteArray &data, const QString &sheetName)
{
    const QByteArray xml = ZipArchive(data).member(u"content.xml"_s);
    if (xml.isEmpty())
        throw Failure(u"an ODS file without content.xml"_s);
    return ContentReader(xml, trimmedName(sheetName)).read();
}

} // namespace orv::sheets
