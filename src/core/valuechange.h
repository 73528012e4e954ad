#pragma once

#include "core/regenerate.h"
#include "core/sharedvalues.h"

#include <QList>
#include <QString>
#include <QStringList>

// Changing a project's shared values (编辑 → 店铺风格…): which entries use a
// value, and the project after the seller changed, added, renamed or removed
// values, its entries made again, for one undo step.
namespace orv {

// The rows of the entries whose stored fields (or, for an entry without a
// page, whose code) hold a slot of any of these names (compared trimmed).
QList<int> entriesUsing(const QList<ModuleEntry> &entries, const QStringList &names);

// A value the seller renamed: the slots that name it follow it.
struct ValueRename {
    QString from;
    QString to;
};

// The project with values as its shared values (in their order):
// - A renamed value (renames: from a name of project.values to a name of
//   values) carries its slots along: "{{from}}" becomes "{{to}}" in the
//   entries' stored fields, in the codes of entries without a page and in
//   the fields of the project's pages.
// - A removed value (in project.values, neither in values nor renamed) is
//   written into the texts that use it, as text ("{{" doubled), so that the
//   pages stay as they were and nothing is left without a value.
// - Every entry whose texts changed so or that uses a value whose text
//   changed (or that is new) is made again with the new values (mode: what a
//   slot with no value does; the window leaves it as typed).
// Throws Failure when values has a bad or repeated name or a rename names a
// value that is not there; the project is then unchanged.
ProjectChange changeSharedValues(const Project &project, const SharedValues &values, const QList<ValueRename> &renames,
                                 const QList<const PageSpec *> &pages, const Services &services,
                                 SlotMode mode = SlotMode::AsTyped);

// The texts of an entry (its stored fields, or its code without a page) with
// replaceSlots(text, replacement) applied.
ModuleEntry replaceEntrySlots(const ModuleEntry &entry, const SlotValues &replacement);

} // namespace orv
