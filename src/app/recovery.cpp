#include "recovery.h"

#include "core/failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>

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

template<typename T>
void append(std::vector<T> &to, std::vector<T> &from)
{
    std::move(from.begin(), from.end(), std::back_inserter(to));
    from.clear();
}

} // namespace

// ---- An orphan under its lock

ClaimedOrphan::ClaimedOrphan(QString path, std::unique_ptr<QLockFile> lock)
    : m_path(std::move(path))
    , m_written(QFileInfo(m_path).lastModified())
    , m_lock(std::move(lock))
{
}

ClaimedOrphan::~ClaimedOrphan() = default;

std::unique_ptr<ClaimedOrphan> ClaimedOrphan::claim(const QString &path)
{
    std::unique_ptr<QLockFile> lock = lockFor(path);
    // Gone since it was listed: another window has dealt with it.
    if (!lock->tryLock(0) || !QFile::exists(path))
        return nullptr;
    return std::unique_ptr<ClaimedOrphan>(new ClaimedOrphan(path, std::move(lock)));
}

Project ClaimedOrphan::read(const QList<const PageSpec *> &pages, QString *recoveryOf) const
{
    return readProjectFile(m_path, pages, recoveryOf);
}

void ClaimedOrphan::remove()
{
    QFile::remove(m_path);
    m_lock.reset();
}

// ---- This window's file

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
    // A folder that cannot be written now is tried again by the first write,
    // which reports it.
    m_lock = lockFor(m_path);
    m_lock->tryLock(0);
    m_writer.setMaxThreadCount(1);
}

Recovery::~Recovery()
{
    wait();
    m_writer.waitForDone();
}

QString Recovery::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/recovery"_s;
}

void Recovery::write(const Project &project, const QString &recoveryOf)
{
    request({project, recoveryOf, {}});
}

void Recovery::takeOver(std::unique_ptr<ClaimedOrphan> orphan, const Project &project, const QString &recoveryOf)
{
    Request r{project, recoveryOf, {}};
    r.supersedes.push_back(std::move(orphan));
    request(std::move(r));
}

void Recovery::discard()
{
    request({});
}

void Recovery::request(Request r)
{
    const QMutexLocker locker(&m_mutex);
    // A request not yet taken is replaced; the orphans it would have settled
    // pass to this one.
    if (m_pending)
        append(r.supersedes, m_pending->supersedes);
    append(r.supersedes, m_unsettled);
    m_pending = std::move(r);
    if (!m_running) {
        m_running = true;
        m_writer.start([this] { drain(); });
    }
}

void Recovery::wait()
{
    const QMutexLocker locker(&m_mutex);
    while (m_running)
        m_idle.wait(&m_mutex);
}

void Recovery::setWriteHook(std::function<void()> hook)
{
    const QMutexLocker locker(&m_mutex);
    m_writeHook = std::move(hook);
}

// The writer thread: takes the requests one at a time until none is left.
void Recovery::drain()
{
    for (;;) {
        Request r;
        std::function<void()> hook;
        {
            const QMutexLocker locker(&m_mutex);
            if (!m_pending) {
                m_running = false;
                m_idle.wakeAll();
                return;
            }
            r = std::move(*m_pending);
            m_pending.reset();
            hook = m_writeHook;
        }
        QString error;
        if (r.project) {
            try {
                if (hook)
                    hook();
                writeFile(r);
            } catch (const Failure &failure) {
                error = failure.message();
            }
        } else {
            QFile::remove(m_path);
        }
        if (error.isEmpty()) {
            // This window's file holds their work now, or the work is discarded.
            for (const std::unique_ptr<ClaimedOrphan> &orphan : r.supersedes)
                orphan->remove();
        } else {
            const QMutexLocker locker(&m_mutex);
            append(m_pending ? m_pending->supersedes : m_unsettled, r.supersedes);
        }
        if (r.project)
            emit written(error);
    }
}

void Recovery::writeFile(const Request &r)
{
    // The folder may have been removed, or could not be written before.
    QDir().mkpath(m_folder);
    if (m_lock->isLocked() && !QFile::exists(m_lock->fileName()))
        m_lock->unlock(); // its file was removed: taken again below
    if (!m_lock->isLocked() && !m_lock->tryLock(0))
        throw Failure(u"Cannot write the recovery file \"%1\": its folder cannot be written"_s.arg(m_path));
    writeProjectFile(m_path, *r.project, &r.recoveryOf);
}

QStringList Recovery::orphans() const
{
    QStringList found;
    const QFileInfoList files = QDir(m_folder).entryInfoList({u"*.orvanta"_s}, QDir::Files, QDir::Time);
    for (const QFileInfo &file : files) {
        if (file.absoluteFilePath() == QFileInfo(m_path).absoluteFilePath())
            continue;
        if (lockFor(file.absoluteFilePath())->tryLock(0))
            found.append(file.absoluteFilePath());
    }
    return found;
}

} // namespace orv
