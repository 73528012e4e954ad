#pragma once

#include <QString>
#include <QStringList>

namespace orv {

// A blank is any character with a code from 1 to 32.
inline bool isBlank(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 32;
}

// Drops every leading and trailing blank of a pipe-list field's text, in place.
void cleanPipeField(QString &fieldText);

// Splits a text into items at "|" and at runs of blanks. An item may be
// double-quoted to keep blanks and "|" (a pair of quotes stands for one); a
// "|" that is the text's last character adds a last empty item.
QStringList splitPipeList(const QString &text);

// The item at a position counted from 0; fails with "List index out of bounds
// (%d)" past either end.
const QString &pipeItem(const QStringList &items, qsizetype index);

} // namespace orv
