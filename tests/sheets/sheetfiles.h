#pragma once

// Sheets for the tests: texts in the encodings spreadsheets write (by Qt's
// own converters), the committed workbooks, and a sheet's content in one
// comparable value.

#include "sheets/sheet.h"

#include <QStringEncoder>
#include <QTest>

namespace orv::test {

using Rows = QList<QStringList>;

inline QString sheetDataDir()
{
    return QStringLiteral(ORVANTA_TEST_DATA_DIR "/sheets");
}

// The listing tool's export: tab-separated, a description over two lines.
inline QString listingExport()
{
    return QStringLiteral("version 1.00\r\ntitle\touter_id\tprice\tdescription\r\n"
                          "宝贝名称\t商家编码\t宝贝价格\t宝贝描述\r\n"
                          "纯棉T恤\tA001\t99.9\t\"<p>多行\r\n描述</p>\"\r\n亚麻衬衫\tA002\t59\t\r\n");
}

inline QByteArray encoded(const QString &text, const char *encoding, QByteArray mark = {})
{
    QStringEncoder encoder(encoding);
    return mark + QByteArray(encoder.encode(text));
}

// The columns as "name" or "name/Chinese name", then each row's cells.
inline Rows content(const sheets::Sheet &sheet)
{
    QStringList names;
    for (const sheets::Column &c : sheet.columns)
        names.append(c.localName.isEmpty() ? c.name : c.name + u'/' + c.localName);
    Rows rows{names};
    for (const sheets::Row &row : sheet.rows)
        rows.append(row.cells);
    return rows;
}

inline QList<int> lines(const sheets::Sheet &sheet)
{
    QList<int> out;
    for (const sheets::Row &row : sheet.rows)
        out.append(row.line);
    return out;
}

} // namespace orv::test
