#pragma once

#include "core/regenerate.h"
#include "core/sharedvalues.h"

#include <QList>
#include <QString>

// The colours a project's fields use (编辑 → 替换颜色…): each with how many
// fields hold it, and the project with one of them replaced everywhere or
// bound to a shared value. Only colour fields count (FieldKind::Colour: the
// pages' fields and the entries' stored fields); a colour field holding a
// slot is bound already and counts for no colour.
namespace orv {

// How colours compare: "#f30", "#F30" and "#FF3300 " are one colour,
// "#FF3300"; a text that is no hex colour (#RGB, #RRGGBB) compares trimmed
// and in lower case ("Red" is "red"). Empty for an empty text.
QString colourKey(const QString &text);

// Whether the text (trimmed) is a hex colour, #RGB or #RRGGBB, as the colour
// fields write them.
bool isHexColour(const QString &text);

// The shared values that are colours (isHexColour), in order: what a colour
// field's pop-up menu offers ("使用 主色").
SharedValues colourValues(const SharedValues &values);

struct ColourUse {
    // "#FF3300" for a hex colour; another text as the first field holding
    // it has it, trimmed.
    QString colour;
    int fields = 0; // how many colour fields hold it
};

// Every colour in use, the most used first (then by colour).
QList<ColourUse> coloursInUse(const Project &project, const QList<const PageSpec *> &pages);

// The project with every colour field that holds colour (as colourKey
// compares) holding replacement instead, as typed, and the entries among
// them made again with the shared values (mode: what a slot with no value
// does).
ProjectChange replaceColour(const Project &project, const QString &colour, const QString &replacement,
                            const QList<const PageSpec *> &pages, const Services &services,
                            SlotMode mode = SlotMode::AsTyped);

// The same with "{{name}}" as the replacement, bound to the shared value
// name: a value of that name is added with the colour as its text (as
// coloursInUse() lists it), or, when the project has one, it stays as it
// is. Throws Failure for a name no shared value may have.
ProjectChange bindColour(const Project &project, const QString &colour, const QString &name,
                         const QList<const PageSpec *> &pages, const Services &services,
                         SlotMode mode = SlotMode::AsTyped);

} // namespace orv
