#pragma once

#include "core/project.h"

#include <QDateTime>
#include <QList>
#include <QLockFile>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QWaitCondition>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace orv {

// A recovery file left by a window that is gone, held under its lock while
// this program decides about it, so that no other window offers it at the
// same time. The lock goes with the object; the file stays unless removed.
class ClaimedOrphan {
public:
    // The orphan at path, or null when another window holds it or it is gone.
    static std::unique_ptr<ClaimedOrphan> claim(const QString &path);
    ~ClaimedOrphan();

    QString path() const { return m_path; }
    QDateTime written() const { return m_written; }
    // Reads it (the project, and the file it recovers in recoveryOf); throws
    // Failure when it cannot be read.
    Project read(const QList<const PageSpec *> &pages, QString *recoveryOf) const;
    // Deletes the file, then lets the lock go.
    void remove();

private:
    ClaimedOrphan(QString path, std::unique_ptr<QLockFile> lock);

    QString m_path;
    QDateTime m_written;
    std::unique_ptr<QLockFile> m_lock;
};

// The recovery file of one running window: while the work has unsaved
// changes, it is written here a little after each change, so that a crash or
// a power cut loses at most those seconds. Each window has a file of its own,
// held by a lock for as long as the window lives; a file whose lock is stale
// was left by a program that died, and is offered when the program starts.
//
// The window's thread never waits for the disk: write() and discard() leave
// the work in a slot that a writer thread takes, the latest request replacing
// one not yet taken, and return at once. Requests are carried out in the
// order they were made. Only wait() and the destructor (when the window
// closes) wait for the writer.
class Recovery : public QObject {
    Q_OBJECT

public:
    // A file in folder; by default the recovery folder under the program's
    // data location.
    explicit Recovery(QString folder = defaultFolder());
    // Finishes the requests made so far: a window that closes leaves no
    // recovery file behind, and an orphan it took over goes only when this
    // window's file holds the work.
    ~Recovery() override;

    static QString defaultFolder();
    QString folder() const { return m_folder; }
    QString filePath() const { return m_path; }

    // Writes the project. A folder that could not be written is tried again.
    void write(const Project &project, const QString &recoveryOf);
    // Writes the project of an orphan taken over, and removes the orphan once
    // this window's file holds the work (or once the work is discarded).
    void takeOver(std::unique_ptr<ClaimedOrphan> orphan, const Project &project, const QString &recoveryOf);
    // Removes this window's file: the work is saved, or the window closes.
    void discard();
    // Waits for the requests made so far.
    void wait();

    // Orphans in this recovery's folder, the newest first. Files of windows
    // that still run are none: their locks are live. Each is claimed before
    // it is used, as another window may take it meanwhile.
    QStringList orphans() const;

    // Runs on the writer thread before each write, for tests and benchmarks
    // (a slow disk, a failing one: a Failure thrown fails the write).
    void setWriteHook(std::function<void()> hook);

signals:
    // After each write: the Failure's message, or empty when it succeeded.
    // Emitted on the writer thread.
    void written(const QString &error);

private:
    struct Request {
        std::optional<Project> project; // none: discard
        QString recoveryOf;
        // Orphans whose work this request carries on.
        std::vector<std::unique_ptr<ClaimedOrphan>> supersedes;
    };

    void request(Request request);
    void drain();
    void writeFile(const Request &request);

    QString m_folder;
    QString m_path;
    std::unique_ptr<QLockFile> m_lock; // used by the writer after construction
    QThreadPool m_writer;

    QMutex m_mutex; // guards what follows; never held over a disk access
    QWaitCondition m_idle;
    std::optional<Request> m_pending;
    // Orphans whose work is not yet in this window's file: a write failed.
    std::vector<std::unique_ptr<ClaimedOrphan>> m_unsettled;
    bool m_running = false;
    std::function<void()> m_writeHook;
};

} // namespace orv
