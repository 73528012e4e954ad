#pragma once

#include "core/failure.h"
#include "core/moduleentry.h"
#include "core/names.h"
#include "core/page.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Slots: "{{名称}}" in a field of a page, in an entry's stored fields or in the
// code of an entry without a page, replaced by a value of that name (a cell
// of a product sheet's row, say) before the entry is generated. One design
// then makes many products' pages. docs/merge.md describes the syntax:
//
//   {{ 名称 }}   the value named 名称 (the name trimmed)
//   {{{{        a literal "{{"
//   }}          alone, an ordinary "}}"
//
// A "{{" without "}}" before the end of its line, an empty name and a name
// without a value are errors.
namespace orv {

// The value for a slot's name (trimmed), or none.
using SlotValues = std::function<std::optional<QString>(const QString &name)>;

// The first source's value, else the second's: a sheet's columns over the
// project's shared values, say.
SlotValues firstOf(SlotValues first, SlotValues second);

// What is wrong with a slot, and where it stands.
struct SlotProblem {
    enum class Kind {
        NoValue,  // the name has no value
        Empty,    // "{{}}" or "{{ }}"
        Unclosed, // "{{" without "}}" on its line
    };
    Kind kind = Kind::NoValue;
    QString slot; // as written: "{{ 价格 }}"; for Unclosed "{{" and the rest of its line, cut after 20 characters ("…")
    QString name; // trimmed

    // Where: set when an entry or a page's fields are filled.
    int entry = 0; // the entry's number; 0 for a page's fields
    QString entryName;
    QString field; // the field's key; empty for an entry's code

    // "entry 3 (分隔条), field title", "entry 5 (汇总), code" or "field title".
    QString place() const;
    // The place and what is wrong: `entry 3 (分隔条), field title: no value for the slot {{价格}}`.
    QString message() const;
};

// A slot that cannot be filled; its message is the problem's.
class SlotFailure : public Failure {
public:
    explicit SlotFailure(SlotProblem problem);
    const SlotProblem &problem() const { return m_problem; }

private:
    SlotProblem m_problem;
};

// What filling does with a slot that cannot be filled (a name without a
// value, "{{}}", a "{{" not closed on its line).
enum class SlotMode {
    Strict,  // fails with SlotFailure: the command line, the merge run
    AsTyped, // leaves it as typed: the window, where a value may be missing yet
};

// Whether the text holds "{{" at all, and so may need filling.
bool hasSlots(const QString &text);

// The text with every slot replaced by its value and "{{{{" by "{{"; throws
// SlotFailure unless mode is AsTyped.
QString fillSlots(const QString &text, const SlotValues &values, SlotMode mode = SlotMode::Strict);

// The text with each slot whose name (trimmed) replacement knows replaced by
// what it gives, as it is; everything else (other slots, "{{{{", malformed
// slots) stays exactly as typed. For renaming a slot ("{{新名}}") or writing a
// value in its place (slotText(value)).
QString replaceSlots(const QString &text, const SlotValues &replacement);

// A value as a text that holds slots writes it: every "{{" doubled, so that
// filling gives the value back.
QString slotText(const QString &value);

// The names of the text's slots, trimmed, in order, each once; malformed
// slots are left out (and the text after them read on).
QStringList slotNames(const QString &text);

// A page's field texts with their slots filled, a multi-line field's line
// breaks then written as CR LF (as the field holds them); fields without
// slots stay exactly as they are. Throws SlotFailure naming the field
// unless mode is AsTyped.
FieldValues fillFields(const PageSpec &page, const FieldValues &fields, const SlotValues &values,
                       SlotMode mode = SlotMode::Strict);

// The entry with its slots filled: its stored fields when a page made it
// (page is that page), else its code. Throws SlotFailure naming the entry
// and the field unless mode is AsTyped.
ModuleEntry fillEntry(const ModuleEntry &entry, const PageSpec *page, const SlotValues &values,
                      SlotMode mode = SlotMode::Strict);

// Every slot problem of the entries, in order (pages: as readProjectFile
// takes them; an entry whose page is not among them is looked at as text).
QList<SlotProblem> slotProblems(const QList<ModuleEntry> &entries, const QList<const PageSpec *> &pages,
                                const SlotValues &values);

// The names of every slot the entries use (stored fields and codes of
// entries without a page), trimmed, in order of first use, each once.
QStringList slotNames(const QList<ModuleEntry> &entries);

} // namespace orv
