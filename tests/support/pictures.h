#pragma once

// What the tests of the mobile pictures share: pages of known blocks as
// module-list entries, and the files of an export folder.

#include "core/moduleentry.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

namespace orv::test {

// A block of one colour, 750 wide: its rows are known exactly.
inline QString colourBlock(int height, const QString &colour)
{
    return QStringLiteral("<div style=\"width:750px;height:%1px;background-color:%2\"></div>").arg(height).arg(colour);
}

// Entries without a page (as a summary or pasted code makes them).
inline QList<ModuleEntry> entriesOf(const QStringList &codes)
{
    QList<ModuleEntry> entries;
    for (const QString &code : codes)
        entries.append(ModuleEntry{int(entries.size()) + 1, QStringLiteral("[ 自定义 ] "), code, std::nullopt});
    return entries;
}

// Every name in the folder, sorted; empty for a folder that does not exist.
inline QStringList listing(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace orv::test
