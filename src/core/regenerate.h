#pragma once

#include "core/moduleentry.h"
#include "core/page.h"
#include "core/project.h"
#include "core/slots.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Making a module-list entry again from what it was made of: its page's
// stored fields with their slots filled ("{{主色}}" from the project's shared
// values, "{{宝贝名称}}" from a sheet's row), laid out for its shop or
// another. The merge run, `orvanta-cli build --regenerate` and the window
// (shared values changed, a colour replaced, a block inserted) all make
// entries this way.
namespace orv {

struct RegenerateOptions {
    // The slots' values; unset: no slot has one.
    SlotValues values;
    // What a slot without a value does: Strict fails the entry (the command
    // line, the merge run); AsTyped leaves it as typed (the window).
    SlotMode mode = SlotMode::Strict;
    // Lays the entry out for this shop instead of its stored one.
    std::optional<Shop> shop;
};

// One entry made again.
struct Regeneration {
    enum class Outcome { Made, Failed, Cancelled };
    Outcome outcome = Outcome::Made;
    // The entry to keep. When a page made it: its fields as they were (slots
    // kept), the metrics the generation left, the new fragment as its code.
    // Without a page: as it was (its code holds the slots). As it was when
    // the outcome is not Made.
    ModuleEntry entry;
    // What the entry puts on the page: its code, or for an entry without a
    // page its code with the slots filled. Empty when the outcome is not Made.
    QString code;
    // Why it was not made, naming the entry: a slot's problem ("entry 3
    // (分隔条), field title: no value for the slot {{价格}}"), the
    // generator's failure or reminder ("entry 3 (分隔条): ..."), or an
    // unknown page.
    QString failure;

    bool made() const { return outcome == Outcome::Made; }
};

// Makes the entry again (pages: as readProjectFile takes them). Runs the
// page's generator with services, as the window's 生成 does; never throws.
Regeneration regenerateEntry(const ModuleEntry &entry, const QList<const PageSpec *> &pages,
                             const RegenerateOptions &options, const Services &services);

// What each entry puts on the page, in order: its code, or for an entry
// without a page its code with the slots filled (mode as above; Strict
// throws SlotFailure). What a summary of a list holding slots shows.
QStringList pageCodes(const QList<ModuleEntry> &entries, const SlotValues &values, SlotMode mode);

// A change of a project that made entries again, as one step to undo: the
// project after it, and which entries differ from the project before.
struct ProjectChange {
    Project project;
    // The rows of the entries that were made again or whose fields changed,
    // ascending; the other entries are those of the project before.
    QList<int> rows;
    // One message for each entry that could not be made again (as
    // Regeneration::failure); such an entry keeps its code, its fields
    // change all the same.
    QStringList failures;
    // A generation was stopped (the user cancelled a picture fetch): project
    // is the project before, nothing changed.
    bool cancelled = false;
};

// Makes these rows of the project again with options, in place; the basis
// of every other change. Rows out of range are skipped.
ProjectChange regenerateRows(const Project &project, const QList<int> &rows, const QList<const PageSpec *> &pages,
                             const RegenerateOptions &options, const Services &services);

// Every entry of the project made again with its shared values, for this
// shop (metrics and pages' shop too) or, unset, each its own: a starter
// design opened for a Tmall shop.
ProjectChange regenerateProject(const Project &project, std::optional<Shop> shop, const QList<const PageSpec *> &pages,
                                const Services &services, SlotMode mode = SlotMode::Strict);

} // namespace orv
