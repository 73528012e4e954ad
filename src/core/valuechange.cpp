#include "valuechange.h"

#include "core/failure.h"
#include "core/names.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

bool usesAny(const ModuleEntry &entry, const QSet<QString> &names)
{
    const QStringList used = slotNames(QList<ModuleEntry>{entry});
    return std::any_of(used.cbegin(), used.cend(), [&](const QString &name) { return names.contains(name); });
}

void checkValues(const SharedValues &values)
{
    QSet<QString> seen;
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QString &name = values[i].name;
        if (const QString problem = sharedValueNameProblem(name); !problem.isEmpty())
            throw Failure(u"shared value %1 \"%2\": %3"_s.arg(i + 1).arg(name, problem));
        if (name != trimmedName(name))
            throw Failure(u"shared value %1 \"%2\": a name is trimmed"_s.arg(i + 1).arg(name));
        if (seen.contains(name))
            throw Failure(u"shared value %1: \"%2\" is named twice"_s.arg(i + 1).arg(name));
        seen.insert(name);
    }
}

} // namespace

QList<int> entriesUsing(const QList<ModuleEntry> &entries, const QStringList &names)
{
    QSet<QString> wanted;
    for (const QString &name : names)
        wanted.insert(trimmedName(name));
    QList<int> rows;
    for (int row = 0; row < entries.size(); ++row) {
        if (usesAny(entries[row], wanted))
            rows.append(row);
    }
    return rows;
}

ModuleEntry replaceEntrySlots(const ModuleEntry &entry, const SlotValues &replacement)
{
    ModuleEntry replaced = entry;
    if (!replaced.source) {
        replaced.code = replaceSlots(entry.code, replacement);
        return replaced;
    }
    for (auto it = replaced.source->fields.begin(); it != replaced.source->fields.end(); ++it)
        *it = replaceSlots(*it, replacement);
    return replaced;
}

ProjectChange changeSharedValues(const Project &project, const SharedValues &values, const QList<ValueRename> &renames,
                                 const QList<const PageSpec *> &pages, const Services &services, SlotMode mode)
{
    checkValues(values);
    // What each slot of an old name becomes: "{{to}}" for a rename, the old
    // value's text for a removal.
    QHash<QString, QString> rewrite;
    QHash<QString, QString> oldValueOf; // by the new name
    for (const ValueRename &rename : renames) {
        const SharedValue *before = findSharedValue(project.values, rename.from);
        if (!before || !findSharedValue(values, rename.to))
            throw Failure(u"the shared value \"%1\" renamed \"%2\" is not there"_s.arg(rename.from, rename.to));
        if (before->name != trimmedName(rename.to))
            rewrite.insert(before->name, u"{{"_s + trimmedName(rename.to) + u"}}"_s);
        oldValueOf.insert(trimmedName(rename.to), before->value);
    }
    for (const SharedValue &before : project.values) {
        const bool renamed = std::any_of(renames.cbegin(), renames.cend(),
                                         [&](const ValueRename &r) { return trimmedName(r.from) == before.name; });
        if (renamed)
            continue;
        // A name another value was renamed to is that value's now: this one is gone.
        if (findSharedValue(values, before.name) && !oldValueOf.contains(before.name))
            oldValueOf.insert(before.name, before.value);
        else
            rewrite.insert(before.name, slotText(before.value));
    }
    QSet<QString> changed;
    for (const SharedValue &value : values) {
        const auto old = oldValueOf.constFind(value.name);
        if (old == oldValueOf.cend() || *old != value.value)
            changed.insert(value.name);
    }

    Project rewritten = project;
    rewritten.values = values;
    QList<int> rows;
    if (!rewrite.isEmpty()) {
        const SlotValues replacement = [&rewrite](const QString &name) -> std::optional<QString> {
            const auto it = rewrite.constFind(name);
            return it == rewrite.cend() ? std::nullopt : std::optional<QString>(*it);
        };
        for (int row = 0; row < rewritten.entries.size(); ++row) {
            ModuleEntry &entry = rewritten.entries[row];
            const ModuleEntry replaced = replaceEntrySlots(entry, replacement);
            if (replaced != entry) {
                entry = replaced;
                rows.append(row);
            }
        }
        for (FieldValues &fields : rewritten.pages) {
            for (QString &text : fields)
                text = replaceSlots(text, replacement);
        }
    }
    rows += entriesUsing(rewritten.entries, QStringList(changed.cbegin(), changed.cend()));
    ProjectChange change = regenerateRows(rewritten, rows, pages, {slotValues(values), mode, {}}, services);
    if (change.cancelled)
        change.project = project;
    return change;
}

} // namespace orv
