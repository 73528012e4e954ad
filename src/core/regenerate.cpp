#include "regenerate.h"

#include "core/failure.h"
#include "core/generation.h"

#include <algorithm>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

QString entryMessage(const ModuleEntry &entry, const QString &message)
{
    return u"entry %1 (%2): %3"_s.arg(entry.number).arg(entry.name.trimmed(), message);
}

const PageSpec *pageOf(const QString &id, const QList<const PageSpec *> &pages)
{
    const auto it = std::find_if(pages.cbegin(), pages.cend(), [&](const PageSpec *page) { return page->id == id; });
    return it == pages.cend() ? nullptr : *it;
}

} // namespace

Regeneration regenerateEntry(const ModuleEntry &entry, const QList<const PageSpec *> &pages,
                             const RegenerateOptions &options, const Services &services)
{
    Regeneration result;
    result.entry = entry;
    const auto fail = [&](const QString &message) {
        result.outcome = Regeneration::Outcome::Failed;
        result.failure = message;
        return result;
    };
    const PageSpec *page = entry.source ? pageOf(entry.source->page, pages) : nullptr;
    if (entry.source && !page)
        return fail(entryMessage(entry, u"unknown page \"%1\""_s.arg(entry.source->page)));
    ModuleEntry filled;
    try {
        filled = fillEntry(entry, page, options.values, options.mode);
    } catch (const SlotFailure &failure) {
        return fail(failure.message());
    }
    if (!page) {
        result.code = filled.code;
        return result;
    }
    PageState state = entryState(*page, *filled.source);
    if (options.shop)
        state.metrics = Metrics::forShop(*options.shop);
    const Generation run = orv::generate(*page, state, services);
    switch (run.outcome) {
    case Generation::Outcome::Fragment:
        result.entry.code = run.text;
        result.entry.source->metrics = run.state.metrics;
        result.code = run.text;
        return result;
    case Generation::Outcome::Cancelled:
        result.outcome = Regeneration::Outcome::Cancelled;
        return result;
    case Generation::Outcome::Reminder:
        return fail(entryMessage(entry, run.text));
    case Generation::Outcome::Failure:
        break;
    }
    return fail(entryMessage(entry, errorBoxText(run.text)));
}

QStringList pageCodes(const QList<ModuleEntry> &entries, const SlotValues &values, SlotMode mode)
{
    QStringList codes;
    codes.reserve(entries.size());
    for (const ModuleEntry &entry : entries)
        codes.append(entry.source ? entry.code : fillEntry(entry, nullptr, values, mode).code);
    return codes;
}

ProjectChange regenerateRows(const Project &project, const QList<int> &rows, const QList<const PageSpec *> &pages,
                             const RegenerateOptions &options, const Services &services)
{
    ProjectChange change;
    change.project = project;
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    for (const int row : std::as_const(sorted)) {
        if (row < 0 || row >= project.entries.size())
            continue;
        const Regeneration made = regenerateEntry(project.entries[row], pages, options, services);
        if (made.outcome == Regeneration::Outcome::Cancelled) {
            ProjectChange cancelled;
            cancelled.project = project;
            cancelled.cancelled = true;
            return cancelled;
        }
        if (!made.made())
            change.failures.append(made.failure);
        change.project.entries[row] = made.entry;
        change.rows.append(row);
    }
    return change;
}

ProjectChange regenerateProject(const Project &project, std::optional<Shop> shop, const QList<const PageSpec *> &pages,
                                const Services &services, SlotMode mode)
{
    QList<int> rows;
    for (int row = 0; row < project.entries.size(); ++row)
        rows.append(row);
    ProjectChange change = regenerateRows(project, rows, pages, {slotValues(project.values), mode, shop}, services);
    if (change.cancelled || !shop || *shop == project.metrics.shop)
        return change;
    // As choosing another shop type in the window: the metrics start again,
    // and so do the fields that belong to the shop.
    change.project.metrics = Metrics::forShop(*shop);
    for (auto it = change.project.pages.begin(); it != change.project.pages.end(); ++it) {
        const PageSpec *page = pageOf(it.key(), pages);
        for (const FieldSpec &field : page ? page->fields : QList<FieldSpec>()) {
            if (field.resetWithShop)
                it->remove(field.key);
        }
    }
    return change;
}

} // namespace orv
