#pragma once

#include "core/slots.h"

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <functional>

// A shop's look: named values (主色, 辅色, 店铺名称, ...) that any field uses
// as a slot, "{{主色}}", exactly as a product sheet's column. A project holds
// them; a style file (".orvanta-style", docs/style-format.md) carries them
// from one project to another.
namespace orv {

struct SharedValue {
    QString name; // trimmed, as slots compare names
    QString value;

    bool operator==(const SharedValue &) const = default;
};
using SharedValues = QList<SharedValue>;

// What is wrong with a name for a shared value, or empty when it will do: it
// must not be empty once trimmed, nor hold a line break, "{{" or "}}" (a slot
// could not name it).
QString sharedValueNameProblem(const QString &name);

// The value of that name (trimmed), or null.
const SharedValue *findSharedValue(const SharedValues &values, const QString &name);

// The values as slots see them.
SlotValues slotValues(const SharedValues &values);

// The values with a style's laid over them: a name both have takes the
// style's value where it stands; the style's other names follow, in order.
SharedValues withStyle(const SharedValues &values, const SharedValues &style);

// The JSON array of a project's or style file's values, in order:
// [{"name": "主色", "value": "#FF6600"}, ...].
QJsonValue sharedValuesJson(const SharedValues &values);

// Reads that array; fail(where, what) is called for the first thing wrong (a
// member that is no array, an element that is no object of exactly "name"
// and "value" strings, a name sharedValueNameProblem() refuses, a name given
// twice) and must throw. where is "values[2].name" and the like, under
// prefix.
SharedValues sharedValuesFromJson(const QJsonValue &json, const QString &prefix,
                                  const std::function<void(const QString &where, const QString &what)> &fail);

// Style files: UTF-8 JSON, {"format": "orvanta-style", "version": 1,
// "values": [...]}. Reading is strict and fails with a Failure naming the
// file and the place; writing is whole or not at all.
QByteArray styleJson(const SharedValues &values);
SharedValues parseStyle(const QByteArray &json, const QString &fileName);
SharedValues readStyleFile(const QString &path);
void writeStyleFile(const QString &path, const SharedValues &values);

} // namespace orv
