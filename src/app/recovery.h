#pragma once

#include "core/project.h"

#include <QDateTime>
#include <QList>
#include <QLockFile>
#include <QMutex>
#include <QString>
#include <QThreadPool>

#include <memory>

namespace orv {

// The recovery file of one running window: while the work has unsaved
// changes, it is written here a little after each change, so that a crash or
// a power cut loses at most those seconds. Each window has a file of its own,
// held by a lock for as long as the window lives; a file whose lock is stale
// was left by a program that died, and is offered when the program starts.
class Recovery {
public:
    // A file in folder; by default the recovery folder under the program's
    // data location.
    explicit Recovery(QString folder = defaultFolder());
    ~Recovery();

    static QString defaultFolder();
    QString filePath() const { return m_path; }

    // Writes the project on a worker thread; a write asked for while another
    // runs follows it. The UI thread only copies the project's (shared) data.
    void write(const Project &project, const QString &recoveryOf);
    // Waits for the writes asked for so far.
    void wait();
    // Removes this window's file: the work is saved, or the window closes.
    void discard();

    // A file left by a window that is gone.
    struct Orphan {
        QString path;
        QDateTime written;
    };
    // Orphans in this recovery's folder, the newest first. Files of windows
    // that still run are none: their locks are live.
    QList<Orphan> orphans() const;

    // Reads an orphan (the project, and the file it recovers in
    // recoveryOf); throws Failure when it cannot be read. The orphan stays
    // until it is discarded.
    static Project readOrphan(const Orphan &orphan, const QList<const PageSpec *> &pages, QString *recoveryOf);
    // Removes an orphan and its lock, if no other window has taken it.
    static void discardOrphan(const Orphan &orphan);

private:
    QString m_folder;
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    QThreadPool m_writer;
    QMutex m_mutex;        // guards the file against a write and a discard at once
    bool m_wanted = false; // whether the file should exist
};

} // namespace orv
