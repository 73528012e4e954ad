#include "slots.h"

#include "core/linelist.h"

#include <QSet>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

constexpr QStringView open = u"{{";
constexpr QStringView close = u"}}";
constexpr qsizetype shownAfterOpen = 20;

// One slot found by the scanner: where it stands and its name.
struct Found {
    qsizetype begin = 0; // its "{{"
    qsizetype end = 0;   // past its "}}"
    QString name;        // trimmed
};

// Walks a text's slots: for each literal piece calls text(piece, written)
// (written as the source has it: "{{{{" for the piece "{{"), for each slot
// slot(found, written); a malformed slot calls problem(problem), which says
// whether to go on with its "{{" taken as text, or end the walk.
template<typename Text, typename Slot, typename Problem>
void walk(const QString &source, Text text, Slot slot, Problem problem)
{
    const QStringView all(source);
    qsizetype from = 0;
    for (qsizetype at = all.indexOf(open); at >= 0; at = all.indexOf(open, from)) {
        const QStringView before = all.sliced(from, at - from);
        text(before, before);
        if (all.sliced(at + 2).startsWith(open)) {
            text(open, all.sliced(at, 4));
            from = at + 4;
            continue;
        }
        const qsizetype end = all.indexOf(close, at + 2);
        qsizetype lineEnd = at + 2;
        while (lineEnd < all.size() && all[lineEnd] != u'\n' && all[lineEnd] != u'\r')
            ++lineEnd;
        if (end < 0 || end > lineEnd) {
            const qsizetype shown = std::min(lineEnd - at, 2 + shownAfterOpen);
            const QString cut = shown < lineEnd - at ? u"…"_s : QString();
            if (!problem(SlotProblem{SlotProblem::Kind::Unclosed, all.sliced(at, shown).toString() + cut}))
                return;
            text(open, open);
            from = at + 2;
            continue;
        }
        const QString written = all.sliced(at, end + 2 - at).toString();
        const QString name = trimmedName(written.sliced(2, written.size() - 4));
        from = end + 2;
        if (name.isEmpty()) {
            if (!problem(SlotProblem{SlotProblem::Kind::Empty, written}))
                return;
            text(QStringView(written), QStringView(written));
            continue;
        }
        slot(Found{at, end + 2, name}, written);
    }
    const QStringView rest = all.sliced(from);
    text(rest, rest);
}

} // namespace

SlotValues firstOf(SlotValues first, SlotValues second)
{
    return [first = std::move(first), second = std::move(second)](const QString &name) -> std::optional<QString> {
        if (std::optional<QString> value = first ? first(name) : std::nullopt)
            return value;
        return second ? second(name) : std::nullopt;
    };
}

QString SlotProblem::place() const
{
    const QString where = field.isEmpty() ? u"code"_s : u"field "_s + field;
    if (entry == 0)
        return where;
    return u"entry %1 (%2), %3"_s.arg(entry).arg(entryName.trimmed(), where);
}

QString SlotProblem::message() const
{
    QString what;
    switch (kind) {
    case Kind::NoValue:
        what = u"no value for the slot %1"_s.arg(slot);
        break;
    case Kind::Empty:
        what = u"the slot %1 has no name"_s.arg(slot);
        break;
    case Kind::Unclosed:
        what = u"the slot %1 is not closed by }} on its line (write {{{{ for a literal {{)"_s.arg(slot);
        break;
    }
    return place() + u": "_s + what;
}

SlotFailure::SlotFailure(SlotProblem problem)
    : Failure(problem.message())
    , m_problem(std::move(problem))
{
}

bool hasSlots(const QString &text)
{
    return text.contains(open);
}

QString fillSlots(const QString &text, const SlotValues &values, SlotMode mode)
{
    if (!hasSlots(text))
        return text;
    const bool asTyped = mode == SlotMode::AsTyped;
    QString out;
    out.reserve(text.size());
    walk(
        text, [&](QStringView piece, QStringView) { out += piece; },
        [&](const Found &found, const QString &written) {
            std::optional<QString> value = values ? values(found.name) : std::nullopt;
            if (value)
                out += *value;
            else if (asTyped)
                out += written;
            else
                throw SlotFailure(SlotProblem{SlotProblem::Kind::NoValue, written, found.name});
        },
        [&](SlotProblem problem) {
            if (!asTyped)
                throw SlotFailure(std::move(problem));
            return true;
        });
    return out;
}

QString replaceSlots(const QString &text, const SlotValues &replacement)
{
    if (!hasSlots(text))
        return text;
    QString out;
    out.reserve(text.size());
    walk(
        text, [&](QStringView, QStringView written) { out += written; },
        [&](const Found &found, const QString &written) {
            const std::optional<QString> replaced = replacement ? replacement(found.name) : std::nullopt;
            out += replaced ? *replaced : written;
        },
        [](const SlotProblem &) { return true; });
    return out;
}

QString slotText(const QString &value)
{
    return QString(value).replace(open.toString(), u"{{{{"_s);
}

QStringList slotNames(const QString &text)
{
    QStringList names;
    if (!hasSlots(text))
        return names;
    walk(
        text, [](QStringView, QStringView) {},
        [&](const Found &found, const QString &) {
            if (!names.contains(found.name))
                names.append(found.name);
        },
        [](const SlotProblem &) { return true; });
    return names;
}

namespace {

// The page's field keys in the form's order, then any others in a fixed order.
QStringList fieldOrder(const PageSpec &page, const FieldValues &fields)
{
    QStringList keys;
    for (const FieldSpec &field : page.fields) {
        if (fields.contains(field.key))
            keys.append(field.key);
    }
    if (keys.size() < fields.size()) {
        QStringList others;
        for (auto it = fields.cbegin(); it != fields.cend(); ++it) {
            if (!keys.contains(it.key()))
                others.append(it.key());
        }
        others.sort();
        keys += others;
    }
    return keys;
}

const PageSpec *pageOf(const ModuleEntry &entry, const QList<const PageSpec *> &pages)
{
    if (!entry.source)
        return nullptr;
    for (const PageSpec *page : pages) {
        if (page->id == entry.source->page)
            return page;
    }
    return nullptr;
}

// The texts of an entry that may hold slots, by field key ("" for the code).
QList<std::pair<QString, QString>> slotTexts(const ModuleEntry &entry, const PageSpec *page)
{
    QList<std::pair<QString, QString>> texts;
    if (!entry.source) {
        texts.append({QString(), entry.code});
        return texts;
    }
    const FieldValues &fields = entry.source->fields;
    const QStringList keys = page ? fieldOrder(*page, fields) : fieldOrder(PageSpec{}, fields);
    for (const QString &key : keys)
        texts.append({key, fields.value(key)});
    return texts;
}

} // namespace

FieldValues fillFields(const PageSpec &page, const FieldValues &fields, const SlotValues &values, SlotMode mode)
{
    FieldValues filled = fields;
    for (const QString &key : fieldOrder(page, fields)) {
        const QString &text = fields.value(key);
        if (!hasSlots(text))
            continue;
        try {
            QString value = fillSlots(text, values, mode);
            const FieldSpec *fieldSpec = page.field(key);
            filled.insert(key, fieldSpec && fieldSpec->kind == FieldKind::Memo ? toCrLf(value) : value);
        } catch (const SlotFailure &failure) {
            SlotProblem problem = failure.problem();
            problem.field = key;
            throw SlotFailure(std::move(problem));
        }
    }
    return filled;
}

ModuleEntry fillEntry(const ModuleEntry &entry, const PageSpec *page, const SlotValues &values, SlotMode mode)
{
    ModuleEntry filled = entry;
    try {
        if (!entry.source)
            filled.code = fillSlots(entry.code, values, mode);
        else
            filled.source->fields = fillFields(page ? *page : PageSpec{}, entry.source->fields, values, mode);
    } catch (const SlotFailure &failure) {
        SlotProblem problem = failure.problem();
        problem.entry = entry.number;
        problem.entryName = entry.name;
        throw SlotFailure(std::move(problem));
    }
    return filled;
}

QList<SlotProblem> slotProblems(const QList<ModuleEntry> &entries, const QList<const PageSpec *> &pages,
                                const SlotValues &values)
{
    QList<SlotProblem> problems;
    for (const ModuleEntry &entry : entries) {
        for (const auto &slotText : slotTexts(entry, pageOf(entry, pages))) {
            const QString &text = slotText.second;
            if (!hasSlots(text))
                continue;
            const auto report = [&](SlotProblem problem) {
                problem.entry = entry.number;
                problem.entryName = entry.name;
                problem.field = slotText.first;
                problems.append(std::move(problem));
            };
            walk(
                text, [](QStringView, QStringView) {},
                [&](const Found &found, const QString &written) {
                    if (!(values ? values(found.name) : std::nullopt))
                        report(SlotProblem{SlotProblem::Kind::NoValue, written, found.name});
                },
                [&](SlotProblem problem) {
                    report(std::move(problem));
                    return false;
                });
        }
    }
    return problems;
}

QStringList slotNames(const QList<ModuleEntry> &entries)
{
    QStringList names;
    QSet<QString> seen;
    for (const ModuleEntry &entry : entries) {
        for (const auto &[key, text] : slotTexts(entry, nullptr)) {
            for (const QString &name : slotNames(text)) {
                if (!seen.contains(name)) {
                    seen.insert(name);
                    names.append(name);
                }
            }
        }
    }
    return names;
}

} // namespace orv
