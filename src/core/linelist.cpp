#include "linelist.h"

namespace orv {

namespace {

constexpr QChar cr = QLatin1Char('\r');
constexpr QChar lf = QLatin1Char('\n');

// Calls onLine(line, endedByBreak) for every line of the text, in order.
template<typename LineFn>
void forEachLine(const QString &text, LineFn onLine)
{
    const qsizetype size = text.size();
    qsizetype start = 0;
    qsizetype pos = 0;
    while (pos < size) {
        const QChar c = text.at(pos);
        if (c == cr || c == lf) {
            onLine(QStringView(text).mid(start, pos - start), true);
            pos += (c == cr && pos + 1 < size && text.at(pos + 1) == lf) ? 2 : 1;
            start = pos;
        } else {
            ++pos;
        }
    }
    if (start < size)
        onLine(QStringView(text).mid(start), false);
}

QString rewriteBreaks(const QString &text, QStringView lineBreak, bool breakAfterLast)
{
    QString out;
    out.reserve(text.size() + text.size() / 16 + 2);
    forEachLine(text, [&](QStringView line, bool hadBreak) {
        out += line;
        if (hadBreak || breakAfterLast)
            out += lineBreak;
    });
    return out;
}

} // namespace

QString joinLines(const QStringList &lines)
{
    qsizetype total = 0;
    for (const QString &line : lines)
        total += line.size() + 2;
    QString out;
    out.reserve(total);
    for (const QString &line : lines) {
        out += line;
        out += QLatin1String("\r\n");
    }
    return out;
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    forEachLine(text, [&](QStringView line, bool) { lines.append(line.toString()); });
    return lines;
}

QString toCrLf(const QString &text)
{
    return rewriteBreaks(text, u"\r\n", false);
}

QString toLf(const QString &text)
{
    return rewriteBreaks(text, u"\n", false);
}

} // namespace orv
