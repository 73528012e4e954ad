#include "projectjson.h"

#include "core/failure.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orv::projectjson {

using namespace Qt::StringLiterals;

namespace {

// Far above any real page; keeps the numbers in range of an int.
constexpr int largestMetric = 1000000;

QByteArray jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

// Line and column of a byte offset, for the JSON parser's errors.
QString position(const QByteArray &json, qsizetype offset)
{
    offset = std::clamp<qsizetype>(offset, 0, json.size());
    const QByteArrayView before(json.constData(), offset);
    const qsizetype lineStart = before.lastIndexOf('\n') + 1;
    const qsizetype line = before.count('\n') + 1;
    const qsizetype column = QString::fromUtf8(before.sliced(lineStart)).size() + 1;
    return u"line %1, column %2"_s.arg(line).arg(column);
}

} // namespace

// ---- Writing: members in a fixed, readable order, one per line.

void Writer::open(char bracket)
{
    m_out += bracket;
    m_first.append(true);
}

void Writer::close(char bracket)
{
    const bool empty = m_first.takeLast();
    if (!empty)
        newline();
    m_out += bracket;
}

void Writer::key(const QString &name)
{
    item();
    m_out += jsonString(name) + ": ";
}

void Writer::item()
{
    if (!m_first.last())
        m_out += ',';
    m_first.last() = false;
    newline();
}

void Writer::value(const QString &text)
{
    m_out += jsonString(text);
}

void Writer::value(int number)
{
    m_out += QByteArray::number(number);
}

void Writer::newline()
{
    m_out += '\n' + QByteArray(2 * m_first.size(), ' ');
}

void writeMetrics(Writer &w, const Metrics &m)
{
    w.key(u"shop"_s);
    w.value(shopName(m.shop));
    w.key(u"metrics"_s);
    w.open('{');
    for (const auto &[name, number] :
         {std::pair(u"totalWidth"_s, m.totalWidth), std::pair(u"totalHeight"_s, m.totalHeight),
          std::pair(u"imageWidth"_s, m.imageWidth), std::pair(u"imageHeight"_s, m.imageHeight)}) {
        w.key(name);
        w.value(number);
    }
    w.close('}');
}

void writeFields(Writer &w, const FieldValues &fields)
{
    QStringList keys = fields.keys();
    std::sort(keys.begin(), keys.end());
    w.open('{');
    for (const QString &key : keys) {
        w.key(key);
        w.value(fields.value(key));
    }
    w.close('}');
}

void writeEntries(Writer &w, const QList<ModuleEntry> &entries)
{
    w.open('[');
    for (const ModuleEntry &e : entries) {
        w.item();
        w.open('{');
        w.key(u"number"_s);
        w.value(e.number);
        w.key(u"name"_s);
        w.value(e.name);
        if (e.source) {
            w.key(u"page"_s);
            w.value(e.source->page);
            writeMetrics(w, e.source->metrics);
            w.key(u"fields"_s);
            writeFields(w, e.source->fields);
        }
        w.key(u"code"_s);
        w.value(e.code);
        w.close('}');
    }
    w.close(']');
}

void writeValues(Writer &w, const SharedValues &values)
{
    w.open('[');
    for (const SharedValue &value : values) {
        w.item();
        w.open('{');
        w.key(u"name"_s);
        w.value(value.name);
        w.key(u"value"_s);
        w.value(value.value);
        w.close('}');
    }
    w.close(']');
}

// ---- Reading: every member checked, every failure saying where.

Reader::Reader(const QList<const PageSpec *> &pages, QString prefix)
    : m_pages(pages)
    , m_prefix(std::move(prefix))
{
}

void Reader::fail(const QString &where, const QString &what) const
{
    const QString place = where.isEmpty() ? QString() : where + u": "_s;
    throw Failure(u"%1: %2%3"_s.arg(m_prefix, place, what));
}

QJsonObject Reader::top(const QByteArray &json, qint64 maxBytes, const QString &format, int version,
                        const QString &what) const
{
    if (json.size() > maxBytes)
        fail({}, u"larger than %1 MiB"_s.arg(maxBytes / (1024 * 1024)));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        fail({}, u"not JSON: %1 at %2"_s.arg(error.errorString(), position(json, error.offset)));
    if (!document.isObject())
        fail({}, u"not %1 (no JSON object)"_s.arg(what));
    const QJsonObject object = document.object();
    if (object.value(u"format"_s) != QJsonValue(format))
        fail({}, u"not %1 (\"format\" is not \"%2\")"_s.arg(what, format));
    const int number = integer(object, u"version"_s, {}, 1, std::numeric_limits<int>::max());
    if (number > version) {
        fail({}, u"written by a newer version of Orvanta (format version %1; this version reads %2)"_s.arg(number).arg(
                     version));
    }
    return object;
}

QJsonObject Reader::object(const QJsonValue &value, const QString &where) const
{
    if (!value.isObject())
        fail(where, u"an object is expected"_s);
    return value.toObject();
}

QString Reader::string(const QJsonObject &object, const QString &key, const QString &where) const
{
    const QJsonValue value = object.value(key);
    if (!value.isString())
        fail(where.isEmpty() ? key : where + u'.' + key,
             value.isUndefined() ? u"missing"_s : u"a string is expected"_s);
    return value.toString();
}

int Reader::integer(const QJsonObject &object, const QString &key, const QString &where, int lowest, int highest) const
{
    const QJsonValue value = object.value(key);
    const QString at = where.isEmpty() ? key : where + u'.' + key;
    if (value.isUndefined())
        fail(at, u"missing"_s);
    const double number = value.toDouble(std::nan(""));
    if (!value.isDouble() || std::floor(number) != number || number < lowest || number > highest)
        fail(at, u"a whole number from %1 to %2 is expected"_s.arg(lowest).arg(highest));
    return int(number);
}

void Reader::onlyMembers(const QJsonObject &object, const QStringList &known, const QString &where) const
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!known.contains(it.key()))
            fail(where, u"unknown member \"%1\""_s.arg(it.key()));
    }
}

const PageSpec &Reader::page(const QString &id, const QString &where) const
{
    for (const PageSpec *page : m_pages) {
        if (page->id == id)
            return *page;
    }
    fail(where, u"unknown page \"%1\""_s.arg(id));
}

Metrics Reader::metrics(const QJsonObject &holder, const QString &where) const
{
    const QString shopText = string(holder, u"shop"_s, where);
    const std::optional<Shop> shop = shopNamed(shopText);
    if (!shop)
        fail(where.isEmpty() ? u"shop"_s : where + u".shop"_s, u"\"taobao\" or \"tmall\" is expected"_s);
    const QString at = where.isEmpty() ? u"metrics"_s : where + u".metrics"_s;
    const QJsonObject numbers = object(holder.value(u"metrics"_s), at);
    onlyMembers(numbers, {u"totalWidth"_s, u"totalHeight"_s, u"imageWidth"_s, u"imageHeight"_s}, at);
    Metrics m = Metrics::forShop(*shop);
    const int width = integer(numbers, u"totalWidth"_s, at, 0, largestMetric);
    if (width != m.totalWidth)
        fail(at + u".totalWidth"_s, u"%1 is no page width of shop %2"_s.arg(width).arg(shopText));
    m.totalHeight = integer(numbers, u"totalHeight"_s, at, 0, largestMetric);
    m.imageWidth = integer(numbers, u"imageWidth"_s, at, 0, largestMetric);
    m.imageHeight = integer(numbers, u"imageHeight"_s, at, 0, largestMetric);
    return m;
}

FieldValues Reader::fields(const PageSpec &page, const QJsonValue &value, const QString &where) const
{
    const QJsonObject object = this->object(value, where);
    FieldValues values;
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString at = where + u'.' + it.key();
        const FieldSpec *field = page.field(it.key());
        if (!field)
            fail(where, u"\"%1\" is no field of page %2"_s.arg(it.key(), page.id));
        if (!it.value().isString())
            fail(at, u"a string is expected"_s);
        const QString text = it.value().toString();
        if (field->kind == FieldKind::Radio)
            checkRadio(*field, text, at);
        values.insert(field->key, text);
    }
    return values;
}

void Reader::checkRadio(const FieldSpec &field, const QString &text, const QString &where) const
{
    bool ok = false;
    const int index = text.toInt(&ok, 10);
    const int lowest = field.defaultText == u"-1"_s ? -1 : 0;
    if (!ok || index < lowest || index >= field.items.size() || QString::number(index) != text)
        fail(where, u"an item index from %1 to %2 is expected"_s.arg(lowest).arg(field.items.size() - 1));
}

ModuleEntry Reader::entry(const QJsonValue &value, const QString &where) const
{
    const QJsonObject object = this->object(value, where);
    onlyMembers(object, {u"number"_s, u"name"_s, u"code"_s, u"page"_s, u"shop"_s, u"metrics"_s, u"fields"_s}, where);
    ModuleEntry e;
    e.number = integer(object, u"number"_s, where, 1, std::numeric_limits<int>::max());
    e.name = string(object, u"name"_s, where);
    e.code = string(object, u"code"_s, where);
    const bool fromPage = object.contains(u"page"_s);
    for (const QString &member : {u"shop"_s, u"metrics"_s, u"fields"_s}) {
        if (!fromPage && object.contains(member))
            fail(where, u"\"%1\" belongs to an entry with a page"_s.arg(member));
    }
    if (fromPage) {
        const PageSpec &pageSpec = page(string(object, u"page"_s, where), where + u".page"_s);
        if (!object.contains(u"fields"_s))
            fail(where + u".fields"_s, u"missing"_s);
        e.source = EntrySource{pageSpec.id, fields(pageSpec, object.value(u"fields"_s), where + u".fields"_s),
                               metrics(object, where)};
    }
    return e;
}

QList<ModuleEntry> Reader::entries(const QJsonValue &value, const QString &where) const
{
    if (!value.isArray())
        fail(where, value.isUndefined() ? u"missing"_s : u"an array is expected"_s);
    const QJsonArray list = value.toArray();
    QList<ModuleEntry> entries;
    entries.reserve(list.size());
    for (qsizetype i = 0; i < list.size(); ++i)
        entries.append(entry(list.at(i), u"%1[%2]"_s.arg(where).arg(i)));
    return entries;
}

SharedValues Reader::values(const QJsonValue &value, const QString &where) const
{
    return sharedValuesFromJson(value, where, [this](const QString &at, const QString &what) { fail(at, what); });
}

} // namespace orv::projectjson
