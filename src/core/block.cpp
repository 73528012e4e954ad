#include "block.h"

#include "core/failure.h"
#include "core/projectjson.h"
#include "core/textinput.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>
#include <limits>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

const QString formatName = u"orvanta-block"_s;
constexpr int formatVersion = 1;
const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);

} // namespace

Block makeBlock(const QString &name, const QList<ModuleEntry> &entries, const Project &project)
{
    Block block{name.trimmed(), project.metrics.shop, entries, {}, {}};
    const QStringList used = slotNames(entries);
    for (const SharedValue &value : project.values) {
        if (used.contains(value.name))
            block.values.append(value);
    }
    return block;
}

QString blockNameProblem(const QString &name)
{
    if (name.trimmed().isEmpty())
        return u"a name is expected"_s;
    if (name.contains(u'\n') || name.contains(u'\r'))
        return u"a name holds no line break"_s;
    return {};
}

QByteArray blockJson(const Block &block)
{
    using namespace projectjson;
    Writer w;
    w.open('{');
    w.key(u"format"_s);
    w.value(formatName);
    w.key(u"version"_s);
    w.value(formatVersion);
    w.key(u"name"_s);
    w.value(block.name.trimmed());
    w.key(u"shop"_s);
    w.value(shopName(block.shop));
    w.key(u"entries"_s);
    writeEntries(w, block.entries);
    w.key(u"values"_s);
    writeValues(w, block.values);
    if (!block.preview.isEmpty()) {
        w.key(u"preview"_s);
        w.value(QString::fromLatin1(block.preview.toBase64()));
    }
    w.close('}');
    return w.text();
}

Block parseBlock(const QByteArray &json, const QList<const PageSpec *> &pages, const QString &fileName)
{
    const projectjson::Reader r(pages, u"Cannot open block \"%1\""_s.arg(fileName));
    const QJsonObject top = r.top(json, maxBlockBytes, formatName, formatVersion, u"an Orvanta block"_s);
    r.onlyMembers(top, {u"format"_s, u"version"_s, u"name"_s, u"shop"_s, u"entries"_s, u"values"_s, u"preview"_s}, {});
    Block block;
    block.name = r.string(top, u"name"_s, {});
    if (const QString problem = blockNameProblem(block.name); !problem.isEmpty())
        r.fail(u"name"_s, problem);
    block.name = block.name.trimmed();
    const std::optional<Shop> shop = shopNamed(r.string(top, u"shop"_s, {}));
    if (!shop)
        r.fail(u"shop"_s, u"\"taobao\" or \"tmall\" is expected"_s);
    block.shop = *shop;
    block.entries = r.entries(top.value(u"entries"_s), u"entries"_s);
    if (block.entries.isEmpty())
        r.fail(u"entries"_s, u"a block holds at least one entry"_s);
    block.values = r.values(top.value(u"values"_s), u"values"_s);
    if (top.contains(u"preview"_s)) {
        const auto decoded = QByteArray::fromBase64Encoding(r.string(top, u"preview"_s, {}).toLatin1(),
                                                            QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded || !decoded.decoded.startsWith(pngSignature))
            r.fail(u"preview"_s, u"a PNG picture in base64 is expected"_s);
        block.preview = decoded.decoded;
    }
    return block;
}

Block readBlockFile(const QString &path, const QList<const PageSpec *> &pages)
{
    const auto fail = [&](const QString &what) { throw Failure(u"Cannot open block \"%1\": %2"_s.arg(path, what)); };
    if (QFileInfo(path).isDir())
        fail(u"it is a folder"_s);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(file.errorString());
    if (file.size() > maxBlockBytes)
        fail(u"larger than %1 MiB"_s.arg(maxBlockBytes / (1024 * 1024)));
    const std::optional<QByteArray> json = readAtMost(file, maxBlockBytes);
    if (!json)
        fail(file.errorString());
    return parseBlock(*json, pages, path);
}

void writeBlockFile(const QString &path, const Block &block)
{
    const auto fail = [&](const QString &what) { throw Failure(u"Cannot save block \"%1\": %2"_s.arg(path, what)); };
    if (const QString problem = blockNameProblem(block.name); !problem.isEmpty())
        fail(problem);
    if (block.entries.isEmpty())
        fail(u"a block holds at least one entry"_s);
    const QByteArray json = blockJson(block);
    if (json.size() > maxBlockBytes)
        fail(u"the file would be %1 bytes, over the %2 MiB a block file may have"_s.arg(json.size())
                 .arg(maxBlockBytes / (1024 * 1024)));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit())
        fail(file.errorString());
}

BlockInsertion insertBlock(const Block &block, const Project &project, const QList<const PageSpec *> &pages,
                           const Services &services, SlotMode mode)
{
    BlockInsertion insertion;
    const QStringList used = slotNames(block.entries);
    for (const SharedValue &value : block.values) {
        if (used.contains(value.name) && !findSharedValue(project.values, value.name))
            insertion.missingValues.append(value);
    }
    const RegenerateOptions options{firstOf(slotValues(project.values), slotValues(block.values)), mode,
                                    project.metrics.shop};
    int number = 0;
    for (const ModuleEntry &entry : project.entries)
        number = std::max(number, entry.number);
    for (ModuleEntry entry : block.entries) {
        // Numbers may repeat (as after deletions), but never wrap.
        number = number < std::numeric_limits<int>::max() ? number + 1 : number;
        entry.number = number;
        const Regeneration made = regenerateEntry(entry, pages, options, services);
        if (made.outcome == Regeneration::Outcome::Cancelled) {
            BlockInsertion cancelled;
            cancelled.cancelled = true;
            return cancelled;
        }
        if (!made.made())
            insertion.failures.append(made.failure);
        insertion.entries.append(made.entry);
    }
    return insertion;
}

} // namespace orv
