#pragma once

#include "core/moduleentry.h"
#include "core/page.h"
#include "core/sharedvalues.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// What project files and the files that carry entries too (saved blocks)
// share: JSON written with its members in a fixed, readable order, and read
// strictly, every failure naming the file and the place. The entries,
// metrics and shared values are written and read the same way in each.
namespace orv::projectjson {

// JSON with two spaces of indentation, one member a line, in the order the
// members are written.
class Writer {
public:
    void open(char bracket);
    void close(char bracket);
    void key(const QString &name);
    // Starts an element of an array.
    void item();
    void value(const QString &text);
    void value(int number);
    // The text, with a line break at its end.
    QByteArray text() const { return m_out + '\n'; }

private:
    void newline();

    QByteArray m_out;
    QList<bool> m_first;
};

// "shop" and "metrics" as members of the object being written.
void writeMetrics(Writer &w, const Metrics &metrics);
// An object of field values, keys sorted.
void writeFields(Writer &w, const FieldValues &fields);
// An array of entries, each an object of number, name, (page, shop,
// metrics, fields,) code.
void writeEntries(Writer &w, const QList<ModuleEntry> &entries);
// An array of shared values, each an object of name and value.
void writeValues(Writer &w, const SharedValues &values);

// Reads a file's members; fail() throws a Failure "PREFIX: PLACE: WHAT",
// the prefix naming the file ("Cannot open project \"a.orvanta\"").
class Reader {
public:
    Reader(const QList<const PageSpec *> &pages, QString prefix);

    [[noreturn]] void fail(const QString &where, const QString &what) const;

    // The document's top object: refused when over maxBytes, no JSON (with
    // line and column), no object, or its "format" is not format (what names
    // the kind of file: "an Orvanta project"). The version must be a whole
    // number from 1 to version.
    QJsonObject top(const QByteArray &json, qint64 maxBytes, const QString &format, int version,
                    const QString &what) const;

    QJsonObject object(const QJsonValue &value, const QString &where) const;
    QString string(const QJsonObject &object, const QString &key, const QString &where) const;
    int integer(const QJsonObject &object, const QString &key, const QString &where, int lowest, int highest) const;
    // Refuses members the format does not know: a misspelt member is a
    // mistake, not something to skip.
    void onlyMembers(const QJsonObject &object, const QStringList &known, const QString &where) const;
    const PageSpec &page(const QString &id, const QString &where) const;
    // "shop" and "metrics" of holder.
    Metrics metrics(const QJsonObject &holder, const QString &where) const;
    FieldValues fields(const PageSpec &page, const QJsonValue &value, const QString &where) const;
    QList<ModuleEntry> entries(const QJsonValue &value, const QString &where) const;
    SharedValues values(const QJsonValue &value, const QString &where) const;

private:
    void checkRadio(const FieldSpec &field, const QString &text, const QString &where) const;
    ModuleEntry entry(const QJsonValue &value, const QString &where) const;

    const QList<const PageSpec *> &m_pages;
    QString m_prefix;
};

} // namespace orv::projectjson
