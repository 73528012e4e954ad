#pragma once

#include "core/moduleentry.h"
#include "core/page.h"
#include "core/sharedvalues.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

namespace orv {

// A description being built: the shop type and metrics, every module page's
// field values (half-filled forms are work too) and the module list. Stored as
// an ".orvanta" file: UTF-8 JSON, described in docs/project-format.md.
struct Project {
    Metrics metrics;
    QHash<QString, FieldValues> pages; // by page id; field values by key
    QList<ModuleEntry> entries;
    // The product sheet last used with the project (批量生成), or empty. An
    // absolute path once readProjectFile has read it; the file holds it
    // relative to the project file's folder where it can.
    QString sheet;
    // The shop's look: values any field uses as a slot ("{{主色}}"), in the
    // order the seller keeps them.
    SharedValues values;

    bool operator==(const Project &) const = default;
};

// The largest project file: larger ones are neither written nor read.
inline constexpr qint64 maxProjectBytes = qint64(64) * 1024 * 1024;

// The file's text. Recovery files also name the project file they recover
// (empty for a project never saved).
QByteArray projectJson(const Project &project, const QString *recoveryOf = nullptr);

// Reads a project's text, strictly: anything but a whole, valid project of a
// version this program reads fails with a Failure naming the file (fileName,
// as the user knows it) and what is wrong, and where. Page ids and field keys
// must be those of pages; fields missing from the file keep their defaults.
// recoveryOf, when given, allows and receives a recovery file's own member.
Project parseProject(const QByteArray &json, const QList<const PageSpec *> &pages, const QString &fileName,
                     QString *recoveryOf = nullptr);

// The same for a file; a file that cannot be read or is too large fails too.
// A relative sheet path is taken from the file's folder.
Project readProjectFile(const QString &path, const QList<const PageSpec *> &pages, QString *recoveryOf = nullptr);

// Writes the file whole or not at all (the old file stays as it was when
// anything fails, or when the text would be over maxProjectBytes); fails
// with "Cannot save project ...". The sheet path is written relative to the
// file's folder, except in a recovery file.
void writeProjectFile(const QString &path, const Project &project, const QString *recoveryOf = nullptr);

// The page as a generation would have it, for regenerating an entry: its
// defaults, overwritten by the stored fields.
PageState entryState(const PageSpec &page, const EntrySource &source);

} // namespace orv
