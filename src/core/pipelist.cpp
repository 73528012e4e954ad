#include "pipelist.h"

#include "core/failure.h"

namespace orv {

namespace {

constexpr QChar delimiter = QLatin1Char('|');
constexpr QChar quote = QLatin1Char('"');

qsizetype skipBlanks(const QString &text, qsizetype pos)
{
    while (pos < text.size() && isBlank(text.at(pos)))
        ++pos;
    return pos;
}

// Reads a quoted item; pos stands on the opening quote and is left after the
// closing one, or at the end when the item is not closed.
QString readQuoted(const QString &text, qsizetype &pos)
{
    QString item;
    qsizetype from = pos + 1;
    for (;;) {
        const qsizetype next = text.indexOf(quote, from);
        if (next < 0) {
            item += QStringView(text).mid(from);
            pos = text.size();
            return item;
        }
        item += QStringView(text).mid(from, next - from);
        if (next + 1 < text.size() && text.at(next + 1) == quote) {
            item += quote;
            from = next + 2;
            continue;
        }
        pos = next + 1;
        return item;
    }
}

} // namespace

void cleanPipeField(QString &fieldText)
{
    qsizetype begin = 0;
    qsizetype end = fieldText.size();
    while (begin < end && isBlank(fieldText.at(begin)))
        ++begin;
    while (end > begin && isBlank(fieldText.at(end - 1)))
        --end;
    if (begin != 0 || end != fieldText.size())
        fieldText = fieldText.mid(begin, end - begin);
}

QStringList splitPipeList(const QString &text)
{
    QStringList items;
    const qsizetype size = text.size();
    qsizetype pos = skipBlanks(text, 0);
    while (pos < size) {
        if (text.at(pos) == quote) {
            items.append(readQuoted(text, pos));
        } else {
            const qsizetype start = pos;
            while (pos < size && !isBlank(text.at(pos)) && text.at(pos) != delimiter)
                ++pos;
            items.append(text.mid(start, pos - start));
        }
        pos = skipBlanks(text, pos);
        if (pos < size && text.at(pos) == delimiter) {
            if (pos == size - 1)
                items.append(QString());
            pos = skipBlanks(text, pos + 1);
        }
    }
    return items;
}

const QString &pipeItem(const QStringList &items, qsizetype index)
{
    if (index < 0 || index >= items.size())
        throw Failure::listIndexOutOfBounds(index);
    return items.at(index);
}

} // namespace orv
