#include "project.h"

#include "core/failure.h"
#include "core/projectjson.h"
#include "core/textinput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

const QString formatName = u"orvanta-project"_s;
constexpr int formatVersion = 1;

Project readProject(const projectjson::Reader &r, const QJsonObject &top, QString *recoveryOf)
{
    QStringList known{u"format"_s, u"version"_s, u"shop"_s,  u"metrics"_s,
                      u"pages"_s,  u"entries"_s, u"sheet"_s, u"values"_s};
    if (recoveryOf)
        known << u"recoveryOf"_s;
    r.onlyMembers(top, known, {});

    Project p;
    p.metrics = r.metrics(top, {});
    const QJsonObject pages = r.object(top.value(u"pages"_s), u"pages"_s);
    for (auto it = pages.begin(); it != pages.end(); ++it) {
        const PageSpec &pageSpec = r.page(it.key(), u"pages"_s);
        p.pages.insert(pageSpec.id, r.fields(pageSpec, it.value(), u"pages."_s + pageSpec.id));
    }
    p.entries = r.entries(top.value(u"entries"_s), u"entries"_s);
    if (top.contains(u"sheet"_s)) {
        p.sheet = r.string(top, u"sheet"_s, {});
        if (p.sheet.isEmpty())
            r.fail(u"sheet"_s, u"a file path is expected"_s);
    }
    if (top.contains(u"values"_s))
        p.values = r.values(top.value(u"values"_s), u"values"_s);
    if (recoveryOf && top.contains(u"recoveryOf"_s))
        *recoveryOf = r.string(top, u"recoveryOf"_s, {});
    return p;
}

} // namespace

QByteArray projectJson(const Project &project, const QString *recoveryOf)
{
    using namespace projectjson;
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
    writeEntries(w, project.entries);
    if (!project.values.isEmpty()) {
        w.key(u"values"_s);
        writeValues(w, project.values);
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
    const projectjson::Reader reader(pages, u"Cannot open project \"%1\""_s.arg(fileName));
    const QJsonObject top = reader.top(json, maxProjectBytes, formatName, formatVersion, u"an Orvanta project"_s);
    return readProject(reader, top, recoveryOf);
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
