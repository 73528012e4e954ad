#include "recovery.h"

#include "core/failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

const QString lockSuffix = u".lock"_s;

// A lock that is only stale when its program is gone, however long a window
// has been open.
std::unique_ptr<QLockFile> lockFor(const QString &path)
{
    auto lock = std::make_unique<QLockFile>(path + lockSuffix);
    lock->setStaleLockTime(0);
    return lock;
}

} // namespace

Recovery::Recovery(QString folder)
    : m_folder(std::move(folder))
{
    QDir().mkpath(m_folder);
    m_path = QDir(m_folder).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) + u".orvanta"_s);
    // Locks whose file was never written, left by windows that are gone.
    const QStringList locks = QDir(m_folder).entryList({u"*.orvanta"_s + lockSuffix}, QDir::Files);
    for (const QString &name : locks) {
        const QString path = QDir(m_folder).filePath(name.chopped(lockSuffix.size()));
        if (!QFile::exists(path))
            lockFor(path)->tryLock(0); // takes a stale lock and removes it again
    }
    m_lock = lockFor(m_path);
    if (!m_lock->tryLock(0))
        qWarning("Cannot lock the recovery file %s; unsaved work is not kept", qPrintable(m_path));
    m_writer.setMaxThreadCount(1);
}

Recovery::~Recovery()
{
    m_writer.waitForDone();
}

QString Recovery::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/recovery"_s;
}

void Recovery::write(const Project &project, const QString &recoveryOf)
{
    if (!m_lock->isLocked())
        return;
    {
        const QMutexLocker locker(&m_mutex);
        m_wanted = true;
    }
    m_writer.start([this, project, recoveryOf] {
        const QMutexLocker locker(&m_mutex);
        if (!m_wanted)
            return; // discarded since
        try {
            writeProjectFile(m_path, project, &recoveryOf);
        } catch (const Failure &failure) {
            qWarning("%s", qPrintable(failure.message()));
        }
    });
}

void Recovery::wait()
{
    m_writer.waitForDone();
}

void Recovery::discard()
{
    {
        const QMutexLocker locker(&m_mutex);
        m_wanted = false;
    }
    m_writer.waitForDone();
    QFile::remove(m_path);
}

QList<Recovery::Orphan> Recovery::orphans() const
{
    QList<Orphan> found;
    const QFileInfoList files = QDir(m_folder).entryInfoList({u"*.orvanta"_s}, QDir::Files, QDir::Time);
    for (const QFileInfo &file : files) {
        if (file.absoluteFilePath() == QFileInfo(m_path).absoluteFilePath())
            continue;
        const std::unique_ptr<QLockFile> lock = lockFor(file.absoluteFilePath());
        if (lock->tryLock(0))
            found.append({file.absoluteFilePath(), file.lastModified()});
    }
    return found;
}

Project Recovery::readOrphan(const Orphan &orphan, const QList<const PageSpec *> &pages, QString *recoveryOf)
{
    return readProjectFile(orphan.path, pages, recoveryOf);
}

void Recovery::discardOrphan(const Orphan &orphan)
{
    const std::unique_ptr<QLockFile> lock = lockFor(orphan.path);
    if (!lock->tryLock(0))
        return;
    QFile::remove(orphan.path);
}

} // namespace orv
