#include "project.h"

#include "core/failure.h"
#include "core/textinput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

const QString formatName = u"orvanta-project"_s;
constexpr int formatVersion = 1;
// Far above any real page; keeps the numbers in range of an int.
constexpr int largestMetric = 1000000;

// ---- Writing: members in a fixed, readable order, one per line.

QByteArray jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

class Writer {
public:
    void open(char bracket)
    {
        m_out += bracket;
        m_first.append(true);
    }
    void close(char bracket)
    {
        const bool empty = m_first.takeLast();
        if (!empty)
            newline();
        m_out += bracket;
    }
    void key(const QString &name)
    {
        item();
        m_out += jsonString(name) + ": ";
    }
    // Starts an element of an array.
    void item()
    {
        if (!m_first.last())
            m_out += ',';
        m_first.last() = false;
        newline();
    }
    void value(const QString &text) { m_out += jsonString(text); }
    void value(int number) { m_out += QByteArray::number(number); }
    QByteArray text() const { return m_out + '\n'; }

private:
    void newline() { m_out += '\n' + QByteArray(2 * m_first.size(), ' '); }

    QByteArray m_out;
    QList<bool> m_first;
};

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

// ---- Reading: every member checked, every failure saying where.

class Reader {
public:
    Reader(const QList<const PageSpec *> &pages, QString fileName)
        : m_pages(pages)
        , m_fileName(std::move(fileName))
    {
    }

    [[noreturn]] void fail(const QString &where, const QString &what) const
    {
        const QString place = where.isEmpty() ? QString() : where + u": "_s;
        throw Failure(u"Cannot open project \"%1\": %2%3"_s.arg(m_fileName, place, what));
    }

    QJsonObject object(const QJsonValue &value, const QString &where) const
    {
        if (!value.isObject())
            fail(where, u"an object is expected"_s);
        return value.toObject();
    }

    QString string(const QJsonObject &object, const QString &key, const QString &where) const
    {
        const QJsonValue value = object.value(key);
        if (!value.isString()) {
            fail(where.isEmpty() ? key : where + u'.' + key,
                 value.isUndefined() ? u"missing"_s : u"a string is expected"_s);
        }
        return value.toString();
    }

    int integer(const QJsonObject &object, const QString &key, const QString &where, int lowest, int highest) const
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

    // Refuses members the format does not know: a misspelt member is a
    // mistake, not something to skip.
    void onlyMembers(const QJsonObject &object, const QStringList &known, const QString &where) const
    {
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (!known.contains(it.key()))
                fail(where, u"unknown member \"%1\""_s.arg(it.key()));
        }
    }

    const PageSpec &page(const QString &id, const QString &where) const
    {
        for (const PageSpec *page : m_pages) {
            if (page->id == id)
                return *page;
        }
        fail(where, u"unknown page \"%1\""_s.arg(id));
    }

    Metrics metrics(const QJsonObject &holder, const QString &where) const
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

    FieldValues fields(const PageSpec &page, const QJsonValue &value, const QString &where) const
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

    void checkRadio(const FieldSpec &field, const QString &text, const QString &where) const
    {
        bool ok = false;
        const int index = text.toInt(&ok, 10);
        const int lowest = field.defaultText == u"-1"_s ? -1 : 0;
        if (!ok || index < lowest || index >= field.items.size() || QString::number(index) != text)
            fail(where, u"an item index from %1 to %2 is expected"_s.arg(lowest).arg(field.items.size() - 1));
    }

    ModuleEntry entry(const QJsonValue &value, const QString &where) const
    {
        const QJsonObject object = this->object(value, where);
        onlyMembers(object, {u"number"_s, u"name"_s, u"code"_s, u"page"_s, u"shop"_s, u"metrics"_s, u"fields"_s},
                    where);
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

    Project project(const QJsonObject &top, QString *recoveryOf) const
    {
        QStringList known{u"format"_s, u"version"_s, u"shop"_s,  u"metrics"_s,
                          u"pages"_s,  u"entries"_s, u"sheet"_s, u"values"_s};
        if (recoveryOf)
            known << u"recoveryOf"_s;
        if (top.value(u"format"_s) != QJsonValue(formatName))
            fail({}, u"not an Orvanta project (\"format\" is not \"%1\")"_s.arg(formatName));
        const int version = integer(top, u"version"_s, {}, 1, std::numeric_limits<int>::max());
        if (version > formatVersion) {
            fail({},
                 u"written by a newer version of Orvanta (format version %1; this version reads %2)"_s.arg(version).arg(
                     formatVersion));
        }
        onlyMembers(top, known, {});

        Project p;
        p.metrics = metrics(top, {});
        const QJsonObject pages = object(top.value(u"pages"_s), u"pages"_s);
        for (auto it = pages.begin(); it != pages.end(); ++it) {
            const PageSpec &pageSpec = page(it.key(), u"pages"_s);
            p.pages.insert(pageSpec.id, fields(pageSpec, it.value(), u"pages."_s + pageSpec.id));
        }
        const QJsonValue entries = top.value(u"entries"_s);
        if (!entries.isArray())
            fail(u"entries"_s, entries.isUndefined() ? u"missing"_s : u"an array is expected"_s);
        const QJsonArray list = entries.toArray();
        p.entries.reserve(list.size());
        for (qsizetype i = 0; i < list.size(); ++i)
            p.entries.append(entry(list.at(i), u"entries[%1]"_s.arg(i)));
        if (top.contains(u"sheet"_s)) {
            p.sheet = string(top, u"sheet"_s, {});
            if (p.sheet.isEmpty())
                fail(u"sheet"_s, u"a file path is expected"_s);
        }
        if (top.contains(u"values"_s)) {
            p.values = sharedValuesFromJson(top.value(u"values"_s), u"values"_s,
                                            [this](const QString &where, const QString &what) { fail(where, what); });
        }
        if (recoveryOf && top.contains(u"recoveryOf"_s))
            *recoveryOf = string(top, u"recoveryOf"_s, {});
        return p;
    }

    // Line and column of a byte offset, for the JSON parser's errors.
    static QString position(const QByteArray &json, qsizetype offset)
    {
        offset = std::clamp<qsizetype>(offset, 0, json.size());
        const QByteArrayView before(json.constData(), offset);
        const qsizetype lineStart = before.lastIndexOf('\n') + 1;
        const qsizetype line = before.count('\n') + 1;
        const qsizetype column = QString::fromUtf8(before.sliced(lineStart)).size() + 1;
        return u"line %1, column %2"_s.arg(line).arg(column);
    }

private:
    const QList<const PageSpec *> &m_pages;
    QString m_fileName;
};

} // namespace

QByteArray projectJson(const Project &project, const QString *recoveryOf)
{
    Writer w;
    w.open('{');
    w.key(u"format"_s);
    w.value(formatName);
    w.key(u"version"_s);
    w.value(formatVersion);
    if (recoveryOf) {
        w.key(u"recoveryOf"_s);
        w.value(*recoveryOf);
    }
    writeMetrics(w, project.metrics);

    w.key(u"pages"_s);
    w.open('{');
    QStringList ids = project.pages.keys();
    std::sort(ids.begin(), ids.end());
    for (const QString &id : ids) {
        w.key(id);
        writeFields(w, project.pages.value(id));
    }
    w.close('}');

    w.key(u"entries"_s);
    w.open('[');
    for (const ModuleEntry &e : project.entries) {
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
    if (!project.values.isEmpty()) {
        w.key(u"values"_s);
        w.open('[');
        for (const SharedValue &value : project.values) {
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
    if (!project.sheet.isEmpty()) {
        w.key(u"sheet"_s);
        w.value(project.sheet);
    }
    w.close('}');
    return w.text();
}

Project parseProject(const QByteArray &json, const QList<const PageSpec *> &pages, const QString &fileName,
                     QString *recoveryOf)
{
    const Reader reader(pages, fileName);
    if (json.size() > maxProjectBytes)
        reader.fail({}, u"larger than %1 MiB"_s.arg(maxProjectBytes / (1024 * 1024)));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        reader.fail({}, u"not JSON: %1 at %2"_s.arg(error.errorString(), Reader::position(json, error.offset)));
    if (!document.isObject())
        reader.fail({}, u"not an Orvanta project (no JSON object)"_s);
    return reader.project(document.object(), recoveryOf);
}

Project readProjectFile(const QString &path, const QList<const PageSpec *> &pages, QString *recoveryOf)
{
    QFile file(path);
    const auto fail = [&](const QString &what) { throw Failure(u"Cannot open project \"%1\": %2"_s.arg(path, what)); };
    if (QFileInfo(path).isDir())
        fail(u"it is a folder"_s);
    if (!file.open(QIODevice::ReadOnly))
        fail(file.errorString());
    if (file.size() > maxProjectBytes)
        fail(u"larger than %1 MiB"_s.arg(maxProjectBytes / (1024 * 1024)));
    // A file that grows while it is read still stops at the limit.
    const std::optional<QByteArray> json = readAtMost(file, maxProjectBytes);
    if (!json)
        fail(file.errorString());
    Project project = parseProject(*json, pages, path, recoveryOf);
    if (!project.sheet.isEmpty())
        project.sheet = QDir::cleanPath(QFileInfo(path).absoluteDir().absoluteFilePath(project.sheet));
    return project;
}

void writeProjectFile(const QString &path, const Project &project, const QString *recoveryOf)
{
    QByteArray json;
    if (!project.sheet.isEmpty() && !recoveryOf) {
        Project relative = project;
        relative.sheet = QFileInfo(path).absoluteDir().relativeFilePath(QFileInfo(project.sheet).absoluteFilePath());
        json = projectJson(relative);
    } else {
        json = projectJson(project, recoveryOf);
    }
    // What could not be opened again is not written.
    if (json.size() > maxProjectBytes) {
        throw Failure(u"Cannot save project \"%1\": the file would be %2 bytes, over the %3 MiB that a project file "
                      "may have to be opened; make the entries fewer or shorter"_s.arg(
                          path, QString::number(json.size()), QString::number(maxProjectBytes / (1024 * 1024))));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit())
        throw Failure(u"Cannot save project \"%1\": %2"_s.arg(path, file.errorString()));
}

PageState entryState(const PageSpec &page, const EntrySource &source)
{
    PageState state = page.defaultState(source.metrics);
    for (auto it = source.fields.cbegin(); it != source.fields.cend(); ++it)
        state.setField(it.key(), it.value());
    return state;
}

} // namespace orv
