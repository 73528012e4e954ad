#include "sharedvalues.h"

#include "core/failure.h"
#include "core/names.h"
#include "core/textinput.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cmath>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

const QString styleFormat = u"orvanta-style"_s;
constexpr int styleVersion = 1;
// A style is a handful of colours and words; anything this large is no style.
constexpr qint64 maxStyleBytes = qint64(1) * 1024 * 1024;

} // namespace

QString sharedValueNameProblem(const QString &name)
{
    const QString trimmed = trimmedName(name);
    if (trimmed.isEmpty())
        return u"a name is expected"_s;
    if (trimmed.contains(u'\n') || trimmed.contains(u'\r'))
        return u"a name holds no line break"_s;
    if (trimmed.contains(u"{{"_s) || trimmed.contains(u"}}"_s))
        return u"a name holds no \"{{\" or \"}}\""_s;
    return {};
}

const SharedValue *findSharedValue(const SharedValues &values, const QString &name)
{
    const QString trimmed = trimmedName(name);
    for (const SharedValue &value : values) {
        if (value.name == trimmed)
            return &value;
    }
    return nullptr;
}

SlotValues slotValues(const SharedValues &values)
{
    return [values](const QString &name) -> std::optional<QString> {
        if (const SharedValue *value = findSharedValue(values, name))
            return value->value;
        return std::nullopt;
    };
}

SharedValues withStyle(const SharedValues &values, const SharedValues &style)
{
    SharedValues result = values;
    for (const SharedValue &styled : style) {
        const auto same = std::find_if(result.begin(), result.end(),
                                       [&](const SharedValue &value) { return value.name == styled.name; });
        if (same != result.end())
            same->value = styled.value;
        else
            result.append(styled);
    }
    return result;
}

QJsonValue sharedValuesJson(const SharedValues &values)
{
    QJsonArray array;
    for (const SharedValue &value : values)
        array.append(QJsonObject{{u"name"_s, value.name}, {u"value"_s, value.value}});
    return array;
}

SharedValues sharedValuesFromJson(const QJsonValue &json, const QString &prefix,
                                  const std::function<void(const QString &where, const QString &what)> &fail)
{
    if (!json.isArray()) {
        fail(prefix, json.isUndefined() ? u"missing"_s : u"an array is expected"_s);
        return {};
    }
    const QJsonArray array = json.toArray();
    SharedValues values;
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QString at = u"%1[%2]"_s.arg(prefix).arg(i);
        if (!array.at(i).isObject()) {
            fail(at, u"an object is expected"_s);
            return {};
        }
        const QJsonObject object = array.at(i).toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (it.key() != u"name"_s && it.key() != u"value"_s)
                fail(at, u"unknown member \"%1\""_s.arg(it.key()));
        }
        QString texts[2];
        for (int k = 0; k < 2; ++k) {
            const QString key = k == 0 ? u"name"_s : u"value"_s;
            const QJsonValue member = object.value(key);
            if (!member.isString())
                fail(at + u'.' + key, member.isUndefined() ? u"missing"_s : u"a string is expected"_s);
            texts[k] = member.toString();
        }
        if (const QString problem = sharedValueNameProblem(texts[0]); !problem.isEmpty())
            fail(at + u".name"_s, problem);
        const QString name = trimmedName(texts[0]);
        if (findSharedValue(values, name))
            fail(at + u".name"_s, u"\"%1\" is named twice"_s.arg(name));
        values.append({name, texts[1]});
    }
    return values;
}

QByteArray styleJson(const SharedValues &values)
{
    // By hand, so that the members stand in the order people read them, one
    // value a line.
    const auto quoted = [](const QString &text) {
        const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
        return array.mid(1, array.size() - 2);
    };
    QByteArray json = "{\n  \"format\": " + quoted(styleFormat)
                      + ",\n  \"version\": " + QByteArray::number(styleVersion) + ",\n  \"values\": [";
    for (qsizetype i = 0; i < values.size(); ++i) {
        json += (i == 0 ? "\n    " : ",\n    ") + QByteArray("{\"name\": ") + quoted(values[i].name)
                + ", \"value\": " + quoted(values[i].value) + '}';
    }
    json += values.isEmpty() ? "]\n}\n" : "\n  ]\n}\n";
    return json;
}

SharedValues parseStyle(const QByteArray &json, const QString &fileName)
{
    const auto fail = [&](const QString &where, const QString &what) {
        const QString place = where.isEmpty() ? QString() : where + u": "_s;
        throw Failure(u"Cannot open style \"%1\": %2%3"_s.arg(fileName, place, what));
    };
    if (json.size() > maxStyleBytes)
        fail({}, u"larger than %1 MiB"_s.arg(maxStyleBytes / (1024 * 1024)));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        fail({}, u"not JSON: %1 at byte %2"_s.arg(error.errorString()).arg(error.offset));
    if (!document.isObject() || document.object().value(u"format"_s) != QJsonValue(styleFormat))
        fail({}, u"not an Orvanta style (\"format\" is not \"%1\")"_s.arg(styleFormat));
    const QJsonObject top = document.object();
    const QJsonValue version = top.value(u"version"_s);
    const double number = version.toDouble(std::nan(""));
    if (!version.isDouble() || std::floor(number) != number || number < 1)
        fail(u"version"_s, u"a whole number from 1 is expected"_s);
    if (number > styleVersion) {
        fail({}, u"written by a newer version of Orvanta (format version %1; this version reads %2)"_s.arg(number).arg(
                     styleVersion));
    }
    for (auto it = top.begin(); it != top.end(); ++it) {
        if (it.key() != u"format"_s && it.key() != u"version"_s && it.key() != u"values"_s)
            fail({}, u"unknown member \"%1\""_s.arg(it.key()));
    }
    return sharedValuesFromJson(top.value(u"values"_s), u"values"_s, fail);
}

SharedValues readStyleFile(const QString &path)
{
    const auto fail = [&](const QString &what) { throw Failure(u"Cannot open style \"%1\": %2"_s.arg(path, what)); };
    if (QFileInfo(path).isDir())
        fail(u"it is a folder"_s);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(file.errorString());
    const std::optional<QByteArray> json = readAtMost(file, maxStyleBytes);
    if (!json)
        fail(file.errorString());
    return parseStyle(*json, path);
}

void writeStyleFile(const QString &path, const SharedValues &values)
{
    const QByteArray json = styleJson(values);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit())
        throw Failure(u"Cannot save style \"%1\": %2"_s.arg(path, file.errorString()));
}

} // namespace orv
