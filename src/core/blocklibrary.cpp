#include "blocklibrary.h"

#include "core/failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

const QString extension = u".orvanta-block"_s;
constexpr qsizetype longestFileName = 80;

bool sameName(const QString &a, const QString &b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

bool samePath(const QString &a, const QString &b)
{
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

} // namespace

BlockLibrary::BlockLibrary(QString folder, QList<const PageSpec *> pages)
    : m_folder(std::move(folder))
    , m_pages(std::move(pages))
{
}

QString BlockLibrary::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/blocks"_s;
}

QString BlockLibrary::fileNameFor(const QString &name)
{
    static const QString refused = u"<>:\"/\\|?*"_s;
    QString safe;
    for (const QChar c : name.trimmed())
        safe += (c.unicode() < 32 || refused.contains(c)) ? u'_' : c;
    while (!safe.isEmpty() && (safe.front() == u'.' || safe.front().isSpace()))
        safe.remove(0, 1);
    safe.truncate(longestFileName);
    while (!safe.isEmpty() && (safe.back() == u'.' || safe.back().isSpace()))
        safe.chop(1);
    if (safe.isEmpty())
        safe = u"block"_s;
    static const QStringList devices{u"con"_s,  u"prn"_s,  u"aux"_s,  u"nul"_s,  u"com1"_s, u"com2"_s,
                                     u"com3"_s, u"com4"_s, u"com5"_s, u"com6"_s, u"com7"_s, u"com8"_s,
                                     u"com9"_s, u"lpt1"_s, u"lpt2"_s, u"lpt3"_s, u"lpt4"_s, u"lpt5"_s,
                                     u"lpt6"_s, u"lpt7"_s, u"lpt8"_s, u"lpt9"_s};
    if (devices.contains(safe.section(u'.', 0, 0).toLower()))
        safe.prepend(u'_');
    return safe + extension;
}

QList<BlockLibrary::Item> BlockLibrary::list() const
{
    QList<Item> items;
    const QDir dir(m_folder);
    for (const QFileInfo &file : dir.entryInfoList({u"*"_s + extension}, QDir::Files | QDir::Hidden)) {
        Item item;
        item.path = file.filePath();
        try {
            const Block block = readBlockFile(item.path, m_pages);
            item.name = block.name;
            item.preview = block.preview;
            item.entries = int(block.entries.size());
        } catch (const Failure &failure) {
            item.name = file.fileName();
            item.problem = failure.message();
        }
        items.append(item);
    }
    std::sort(items.begin(), items.end(), [](const Item &a, const Item &b) {
        const int order = a.name.localeAwareCompare(b.name);
        return order != 0 ? order < 0 : a.path < b.path;
    });
    return items;
}

Block BlockLibrary::read(const QString &path) const
{
    return readBlockFile(path, m_pages);
}

const BlockLibrary::Item *BlockLibrary::itemNamed(const QList<Item> &items, const QString &name,
                                                  const QString &except) const
{
    for (const Item &item : items) {
        if (item.problem.isEmpty() && sameName(item.name, name) && (except.isEmpty() || !samePath(item.path, except)))
            return &item;
    }
    return nullptr;
}

QString BlockLibrary::uniqueName(const QString &name) const
{
    const QList<Item> items = list();
    const QString trimmed = name.trimmed();
    QString candidate = trimmed;
    for (int n = 2; itemNamed(items, candidate); ++n)
        candidate = u"%1 (%2)"_s.arg(trimmed).arg(n);
    return candidate;
}

// A path for a block of this name that no other file takes (regardless of
// case, as Windows and macOS compare names); except is the block's own file.
QString BlockLibrary::freePath(const QString &name, const QString &except) const
{
    const QString fileName = fileNameFor(name);
    const QString stem = fileName.chopped(extension.size());
    const QStringList taken = QDir(m_folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    const auto isTaken = [&](const QString &candidate) {
        if (!except.isEmpty() && candidate.compare(QFileInfo(except).fileName(), Qt::CaseInsensitive) == 0)
            return false;
        return std::any_of(taken.cbegin(), taken.cend(), [&](const QString &existing) {
            return existing.compare(candidate, Qt::CaseInsensitive) == 0;
        });
    };
    QString candidate = fileName;
    for (int n = 2; isTaken(candidate); ++n)
        candidate = u"%1 (%2)%3"_s.arg(stem).arg(n).arg(extension);
    return QDir(m_folder).filePath(candidate);
}

void BlockLibrary::checkInside(const QString &path) const
{
    if (!samePath(QFileInfo(path).absolutePath(), m_folder) || !path.endsWith(extension))
        throw Failure(u"\"%1\" is no block of the library \"%2\""_s.arg(path, m_folder));
}

QString BlockLibrary::save(const Block &block, bool replace)
{
    const QList<Item> items = list();
    if (const Item *same = itemNamed(items, block.name)) {
        if (!replace)
            throw Failure(u"Cannot save block \"%1\": the library holds a block of that name"_s.arg(block.name));
        writeBlockFile(same->path, block);
        return same->path;
    }
    if (!QDir().mkpath(m_folder))
        throw Failure(u"Cannot save block \"%1\": the folder \"%2\" cannot be made"_s.arg(block.name, m_folder));
    const QString path = freePath(block.name);
    writeBlockFile(path, block);
    return path;
}

QString BlockLibrary::rename(const QString &path, const QString &name)
{
    checkInside(path);
    Block block = read(path);
    if (const QString problem = blockNameProblem(name); !problem.isEmpty())
        throw Failure(u"Cannot rename block \"%1\": %2"_s.arg(block.name, problem));
    if (itemNamed(list(), name, path))
        throw Failure(
            u"Cannot rename block \"%1\": the library holds a block named \"%2\""_s.arg(block.name, name.trimmed()));
    block.name = name.trimmed();
    const QString target = freePath(block.name, path);
    // Only the name changes (or only its case): the file is written in place.
    if (QFileInfo(target).fileName().compare(QFileInfo(path).fileName(), Qt::CaseInsensitive) == 0) {
        writeBlockFile(path, block);
        return path;
    }
    writeBlockFile(target, block);
    QFile old(path);
    if (!old.remove()) {
        const QString reason = old.errorString();
        QFile::remove(target);
        throw Failure(u"Cannot rename block \"%1\": %2"_s.arg(path, reason));
    }
    return target;
}

void BlockLibrary::moveToTrash(const QString &path)
{
    checkInside(path);
    const auto fail
        = [&](const QString &why) { throw Failure(u"Cannot move block \"%1\" to the trash: %2"_s.arg(path, why)); };
    QFile file(path);
    if (!file.moveToTrash())
        fail(file.errorString().isEmpty() ? u"there is no trash here"_s : file.errorString());
    // Where Qt cannot set up the desktop's trash (no data folder), it moves
    // the file into "files/" under the working folder and says it succeeded:
    // the file goes back and the move fails.
    const QString moved = file.fileName();
    if (QFileInfo(moved).isRelative()) {
        const QString name = QFileInfo(moved).fileName();
        QFile::remove(u"info/"_s + name + u".trashinfo"_s);
        const bool back = QFile::rename(moved, path);
        for (const QString &folder : {u"files"_s, u"info"_s})
            QDir().rmdir(folder);
        fail(back ? u"there is no trash here"_s
                  : u"it was moved to \"%1\" instead"_s.arg(QFileInfo(moved).absoluteFilePath()));
    }
}

void BlockLibrary::exportTo(const QString &path, const QString &target) const
{
    writeBlockFile(target, read(path));
}

QString BlockLibrary::importFrom(const QString &source)
{
    Block block = readBlockFile(source, m_pages);
    block.name = uniqueName(block.name);
    return save(block);
}

} // namespace orv
