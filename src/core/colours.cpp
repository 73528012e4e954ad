#include "colours.h"

#include "core/failure.h"
#include "core/names.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

const PageSpec *pageOf(const QString &id, const QList<const PageSpec *> &pages)
{
    const auto it = std::find_if(pages.cbegin(), pages.cend(), [&](const PageSpec *page) { return page->id == id; });
    return it == pages.cend() ? nullptr : *it;
}

// Calls visit(text) for every colour field of the fields that holds a colour.
template<typename Visit>
void forColours(const QString &pageId, FieldValues &fields, const QList<const PageSpec *> &pages, Visit visit)
{
    const PageSpec *page = pageOf(pageId, pages);
    if (!page)
        return;
    for (const FieldSpec &field : page->fields) {
        if (field.kind != FieldKind::Colour)
            continue;
        const auto it = fields.find(field.key);
        if (it != fields.end() && !hasSlots(*it) && !colourKey(*it).isEmpty())
            visit(*it);
    }
}

// Calls visit(text, row) for every colour of the project's pages (row -1)
// and entries.
template<typename Visit>
void forColours(Project &project, const QList<const PageSpec *> &pages, Visit visit)
{
    for (auto it = project.pages.begin(); it != project.pages.end(); ++it)
        forColours(it.key(), *it, pages, [&](QString &text) { visit(text, -1); });
    for (int row = 0; row < project.entries.size(); ++row) {
        std::optional<EntrySource> &source = project.entries[row].source;
        if (source)
            forColours(source->page, source->fields, pages, [&](QString &text) { visit(text, row); });
    }
}

} // namespace

bool isHexColour(const QString &text)
{
    static const QRegularExpression hex(u"^#([0-9a-fA-F]{3}|[0-9a-fA-F]{6})$"_s);
    return hex.match(text.trimmed()).hasMatch();
}

SharedValues colourValues(const SharedValues &values)
{
    SharedValues colours;
    for (const SharedValue &value : values) {
        if (isHexColour(value.value))
            colours.append(value);
    }
    return colours;
}

QString colourKey(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (!isHexColour(trimmed))
        return trimmed.toLower();
    QString key = u"#"_s;
    for (qsizetype i = 1; i < trimmed.size(); ++i)
        key += trimmed.size() == 4 ? QString(2, trimmed[i]) : QString(trimmed[i]);
    return key.toUpper();
}

QList<ColourUse> coloursInUse(const Project &project, const QList<const PageSpec *> &pages)
{
    QList<ColourUse> uses;
    QHash<QString, qsizetype> byKey;
    Project copy = project;
    forColours(copy, pages, [&](QString &text, int) {
        const QString key = colourKey(text);
        const auto it = byKey.constFind(key);
        if (it != byKey.cend()) {
            ++uses[*it].fields;
            return;
        }
        byKey.insert(key, uses.size());
        uses.append({key.startsWith(u'#') ? key : text.trimmed(), 1});
    });
    std::stable_sort(uses.begin(), uses.end(), [](const ColourUse &a, const ColourUse &b) {
        return a.fields != b.fields ? a.fields > b.fields : a.colour < b.colour;
    });
    return uses;
}

ProjectChange replaceColour(const Project &project, const QString &colour, const QString &replacement,
                            const QList<const PageSpec *> &pages, const Services &services, SlotMode mode)
{
    const QString key = colourKey(colour);
    Project replaced = project;
    QList<int> rows;
    forColours(replaced, pages, [&](QString &text, int row) {
        if (key.isEmpty() || colourKey(text) != key)
            return;
        text = replacement;
        if (row >= 0 && (rows.isEmpty() || rows.last() != row))
            rows.append(row);
    });
    ProjectChange change = regenerateRows(replaced, rows, pages, {slotValues(replaced.values), mode, {}}, services);
    if (change.cancelled)
        change.project = project;
    return change;
}

ProjectChange bindColour(const Project &project, const QString &colour, const QString &name,
                         const QList<const PageSpec *> &pages, const Services &services, SlotMode mode)
{
    if (const QString problem = sharedValueNameProblem(name); !problem.isEmpty())
        throw Failure(u"the shared value \"%1\": %2"_s.arg(name, problem));
    const QString trimmed = trimmedName(name);
    Project bound = project;
    if (!findSharedValue(bound.values, trimmed)) {
        const QString key = colourKey(colour);
        QString text = colour.trimmed();
        for (const ColourUse &use : coloursInUse(project, pages)) {
            if (colourKey(use.colour) == key)
                text = use.colour;
        }
        bound.values.append({trimmed, text});
    }
    ProjectChange change = replaceColour(bound, colour, u"{{"_s + trimmed + u"}}"_s, pages, services, mode);
    if (change.cancelled)
        change.project = project;
    return change;
}

} // namespace orv
