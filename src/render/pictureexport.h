#pragma once

#include "pagerenderer.h"
#include "picturewriter.h"

#include <QObject>
#include <QStringList>

#include <memory>

namespace orv::render {

// A whole export for the window: draws the page stretch by stretch (event
// loop) while a worker thread cuts, encodes and stages the pictures, reporting
// progress, then puts the set in place; memory stays bounded whatever the
// page height. A failure or cancel() at any time leaves the folder as it was.
class PictureExport : public QObject {
    Q_OBJECT
public:
    explicit PictureExport(QObject *parent = nullptr);
    ~PictureExport() override; // cancels and waits for the worker

    void start(const PageSource &source, const QString &folder, const ExportOptions &options,
               const RenderOptions &renderOptions = {});
    // After picturesFailed(): goes on without them; after unlistedFiles():
    // replaces those files too.
    void proceed();
    // Stops a running export at once: cancelled() follows and the folder is
    // as it was. Nothing else is reported after it.
    void cancel();
    bool isRunning() const;

signals:
    void progress(int done, int total); // "正在生成图片 i / N"; N as far as known
    // Remote pictures did not load (FailedPictures::Ask): proceed() or cancel().
    void picturesFailed(const QStringList &addresses);
    // Every picture is ready, but the set would write over these files of
    // the folder that no earlier export listed: proceed() or cancel().
    void unlistedFiles(const QStringList &files);
    void finished(const orv::render::ExportResult &result);
    void failed(const QString &message);
    void cancelled();

private:
    class Work;
    void onPicturesFailed(const QStringList &addresses);
    void onStaged();
    void commit(const QStringList &replaceUnlisted);
    void fail(const QString &message);

    PageRenderer m_renderer;
    ExportOptions m_options;
    std::unique_ptr<Work> m_work;
    quint64 m_workCount = 0;
    QStringList m_failedPictures; // accepted
    enum class Waiting { Nothing, Pictures, Unlisted } m_waiting = Waiting::Nothing;
    QStringList m_unlisted;
};

// The export in a local event loop, for the command line: Ask acts as Stop,
// and files that no earlier export listed are never written over. With
// ExportOptions::manifestOnly the folder is not looked at. Throws
// Failure; FolderInUse when files are in the way, PicturesFailed when remote
// pictures did not load and options.failedPictures is not KeepGoing.
ExportResult exportPictures(const PageSource &source, const QString &folder, const ExportOptions &options,
                            const RenderOptions &renderOptions = {},
                            const std::function<void(int, int)> &progress = {});

class PicturesFailed : public Failure {
public:
    explicit PicturesFailed(const QStringList &addresses);
    const QStringList &addresses() const { return m_addresses; }

private:
    QStringList m_addresses;
};

// The message for pictures that failed to load, one address a line.
QString failedPicturesMessage(const QStringList &addresses);

} // namespace orv::render
