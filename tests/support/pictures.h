#pragma once

// What the tests of the mobile pictures share: pages of known blocks as
// module-list entries; support/files.h reads the files of an export folder.

#include "core/moduleentry.h"
#include "support/files.h"

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

} // namespace orv::test
