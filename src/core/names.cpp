#include "names.h"

namespace orv {

namespace {

bool isBlankOrSpace(QChar c)
{
    return (c.unicode() >= 1 && c.unicode() <= 32) || c.isSpace();
}

} // namespace

QString trimmedName(const QString &name)
{
    qsizetype start = 0;
    qsizetype end = name.size();
    while (start < end && isBlankOrSpace(name[start]))
        ++start;
    while (end > start && isBlankOrSpace(name[end - 1]))
        --end;
    return name.mid(start, end - start);
}

} // namespace orv
