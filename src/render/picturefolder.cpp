#include "picturefolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>

namespace orv::render {

using namespace Qt::StringLiterals;

namespace {

// Far above the list of any page (a line per 2,500 rows).
constexpr qint64 maxListBytes = 1024 * 1024;

QString native(const QString &path)
{
    return QDir::toNativeSeparators(QDir(path).absolutePath());
}

bool present(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString renameFile(const QString &from, const QString &to)
{
    QFile file(from);
    return file.rename(to) ? QString() : file.errorString();
}

} // namespace

QStringList listedPictures(const QString &path, const QByteArray &text)
{
    static const QRegularExpression pattern(u"^([0-9]{2,}\\.(?:jpg|png)) [0-9]{1,9}x[0-9]{1,9} [0-9]{1,12}$"_s);
    QStringList names;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines.at(i);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(line));
        if (!match.hasMatch()) {
            throw Failure(u"%1, line %2: not a line of an export's list (“01.jpg 750x2500 123456”)"_s
                              .arg(QDir::toNativeSeparators(path))
                              .arg(i + 1));
        }
        names.append(match.captured(1));
    }
    return names;
}

EarlierPictures earlierPictures(const QString &folder)
{
    EarlierPictures earlier;
    const QDir dir(folder);
    const QString listPath = dir.filePath(pictureListName);
    if (!present(listPath))
        return earlier;
    QFile list(listPath);
    if (!QFileInfo(listPath).isFile() || list.size() > maxListBytes) {
        earlier.notAList = u"%1 is not a list an export wrote"_s.arg(QDir::toNativeSeparators(listPath));
        return earlier;
    }
    if (!list.open(QIODevice::ReadOnly)) {
        earlier.notAList = u"%1 cannot be read: %2"_s.arg(QDir::toNativeSeparators(listPath), list.errorString());
        return earlier;
    }
    try {
        const QStringList names = listedPictures(listPath, list.readAll());
        earlier.files.append(pictureListName);
        for (const QString &name : names) {
            if (QFileInfo(dir.filePath(name)).isFile() && !earlier.files.contains(name))
                earlier.files.append(name);
        }
        if (QFileInfo(dir.filePath(slicesManifestName)).isFile())
            earlier.files.append(slicesManifestName);
    } catch (const Failure &failure) {
        earlier.notAList = failure.message();
    }
    earlier.files.sort();
    return earlier;
}

EarlierPictures checkFolder(const QString &folder, bool replaceEarlier)
{
    const QFileInfo info(folder);
    if (present(folder) && !info.isDir())
        throw FolderInUse(u"%1 is a file, not a folder"_s.arg(QDir::toNativeSeparators(folder)), {}, false);
    EarlierPictures earlier = earlierPictures(folder);
    if (!earlier.files.isEmpty() && !replaceEarlier) {
        throw FolderInUse(u"The folder %1 already holds the pictures of an earlier export (%2); choose another "
                          "folder or allow replacing them"_s.arg(native(folder), earlier.files.join(u", "_s)),
                          earlier.files, true);
    }
    if (!earlier.notAList.isEmpty()) {
        throw FolderInUse(
            u"The folder %1 holds a %2 that no export wrote, which the new list would write over "
            "(%3). Move it away or choose another folder"_s.arg(native(folder), pictureListName, earlier.notAList),
            {pictureListName}, false);
    }
    return earlier;
}

QString unlistedMessage(const QString &folder, const QStringList &files)
{
    return u"The folder %1 holds %2, which no earlier export listed in its %3; the new pictures would write over "
           "it. Move it away or choose another folder"_s.arg(native(folder), files.join(u", "_s), pictureListName);
}

FolderInUse::FolderInUse(const QString &message, const QStringList &files, bool earlierSet)
    : Failure(message)
    , m_files(files)
    , m_earlierSet(earlierSet)
{
}

PictureStaging::PictureStaging(const QString &folder, FileMover move)
    : m_folder(QDir(folder).absolutePath())
    , m_move(move ? std::move(move) : FileMover(renameFile))
{
}

PictureStaging::~PictureStaging()
{
    discard();
}

void PictureStaging::add(const QByteArray &data)
{
    if (!m_staging) {
        if (!QFileInfo(m_folder).isDir()) {
            if (!QDir().mkpath(m_folder))
                throw Failure::cannotCreateFile(native(m_folder), u"the folder cannot be made"_s);
            m_madeFolder = true;
        }
        m_staging = std::make_unique<QTemporaryDir>(QDir(m_folder).filePath(u".orvanta-new-XXXXXX"_s));
        if (!m_staging->isValid()) {
            const QString reason = m_staging->errorString();
            m_staging.reset();
            throw Failure::cannotCreateFile(native(m_folder), reason);
        }
    }
    QFile file(m_staging->filePath(QString::number(m_count)));
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.flush())
        throw Failure::cannotCreateFile(QDir::toNativeSeparators(file.fileName()), file.errorString());
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw Failure::cannotCreateFile(QDir::toNativeSeparators(file.fileName()), file.errorString());
    ++m_count;
}

QStringList PictureStaging::unlisted(const QStringList &names) const
{
    const EarlierPictures earlier = earlierPictures(m_folder);
    QStringList found;
    for (const QString &name : names) {
        if (!earlier.files.contains(name) && present(QDir(m_folder).filePath(name)) && !found.contains(name))
            found.append(name);
    }
    return found;
}

void PictureStaging::commit(const QStringList &names, bool replaceEarlier, const QStringList &replaceUnlisted)
{
    Q_ASSERT(names.size() == m_count && m_staging);
    const QDir dir(m_folder);
    const EarlierPictures earlier = checkFolder(m_folder, replaceEarlier);
    QStringList unlistedFiles = unlisted(names);
    QStringList refused;
    for (const QString &name : std::as_const(unlistedFiles)) {
        // A folder in the way is never removed, whatever the user allowed.
        const QFileInfo info(dir.filePath(name));
        if (!replaceUnlisted.contains(name) || (info.isDir() && !info.isSymLink()))
            refused.append(name);
    }
    if (!refused.isEmpty()) {
        throw FolderInUse(unlistedMessage(m_folder, refused), refused, false);
    }

    // The earlier set, and what the user let go, aside.
    QStringList aside = replaceEarlier ? earlier.files : QStringList();
    for (const QString &name : std::as_const(unlistedFiles)) {
        if (!aside.contains(name))
            aside.append(name);
    }
    std::unique_ptr<QTemporaryDir> earlierDir;
    if (!aside.isEmpty()) {
        earlierDir = std::make_unique<QTemporaryDir>(dir.filePath(u".orvanta-earlier-XXXXXX"_s));
        if (!earlierDir->isValid())
            throw Failure::cannotCreateFile(native(m_folder), earlierDir->errorString());
        earlierDir->setAutoRemove(false);
    }
    QStringList movedAside;
    QStringList placed;
    const auto putBack = [&](const QString &what, const QString &reason) {
        for (const QString &name : std::as_const(placed))
            QFile::remove(dir.filePath(name));
        QStringList stuck;
        for (const QString &name : std::as_const(movedAside)) {
            if (!m_move(earlierDir->filePath(name), dir.filePath(name)).isEmpty())
                stuck.append(name);
        }
        QString message
            = u"The pictures could not be put in place in %1: %2 (%3)"_s.arg(native(m_folder), what, reason);
        if (stuck.isEmpty()) {
            if (earlierDir)
                QDir().rmdir(earlierDir->path());
            message += u"; the folder is as it was"_s;
        } else {
            message
                += u"; the earlier pictures %1 are kept in %2"_s.arg(stuck.join(u", "_s), native(earlierDir->path()));
        }
        throw Failure(message);
    };
    for (const QString &name : std::as_const(aside)) {
        const QString reason = m_move(dir.filePath(name), earlierDir->filePath(name));
        if (!reason.isEmpty())
            putBack(u"%1 could not be moved aside"_s.arg(name), reason);
        movedAside.append(name);
    }
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString reason = m_move(m_staging->filePath(QString::number(i)), dir.filePath(names.at(i)));
        if (!reason.isEmpty())
            putBack(u"%1 could not be moved in"_s.arg(names.at(i)), reason);
        placed.append(names.at(i));
    }
    if (earlierDir)
        QDir(earlierDir->path()).removeRecursively();
    m_staging.reset(); // empty now: removed
    m_count = 0;
    m_madeFolder = false;
}

void PictureStaging::discard()
{
    m_staging.reset();
    m_count = 0;
    if (m_madeFolder)
        QDir().rmdir(m_folder);
    m_madeFolder = false;
}

} // namespace orv::render
