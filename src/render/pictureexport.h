#pragma once

#include "pagerenderer.h"
#include "picturelimits.h"

#include <QObject>
#include <QSize>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

namespace orv::render {

enum class PictureFormat { Jpeg, Png };

// What to do when remote pictures of the page failed to load.
enum class FailedPictures {
    Stop,      // fail, naming them
    KeepGoing, // write the pictures as rendered (with the failed pictures missing)
    Ask,       // PictureExport::picturesFailed(), then proceed() or cancel()
};

struct ExportOptions {
    int outputWidth = 0; // 480 to 1500; 0 for the page width
    PictureFormat format = PictureFormat::Jpeg;
    // Replace what existingPictureFiles() lists; without it an export into a
    // folder holding any of those files fails before writing anything.
    bool overwrite = false;
    FailedPictures failedPictures = FailedPictures::Stop;
};

struct PictureFile {
    QString fileName; // "01.jpg"
    QSize size;
    qint64 bytes = 0;
    int jpegQuality = -1;          // -1 for PNG
    bool jpegInsteadOfPng = false; // asked for PNG, but the PNG exceeded 3 MiB
};

struct ExportResult {
    QString folder;
    QList<PictureFile> pictures; // in page order; pictures.txt lists them too
    QStringList failedPictures;  // remote pictures that did not load (KeepGoing)
};

// The output width for a page: outputWidth, or the page width for 0. Throws
// Failure when the result lies outside 480 to 1500.
int checkedOutputWidth(int pageWidth, int outputWidth);

// "01.jpg" for index 0: two digits, or as many as count needs.
QString pictureFileName(int index, int count, PictureFormat format);

// The files in folder that an export may replace: pictures.txt and every file
// named by digits only (two or more) with .jpg or .png. The caller asks the
// user about these before exporting with overwrite set.
QStringList existingPictureFiles(const QString &folder);

struct EncodedPicture {
    QByteArray data;
    PictureFormat format = PictureFormat::Jpeg;
    int jpegQuality = -1;
};

// JPEG at quality 90, lowered in steps of 5 until the picture takes at most
// 3 MiB; PNG when asked, falling back to that JPEG when the PNG exceeds 3 MiB.
// Throws Failure when even quality 30 exceeds the limit.
EncodedPicture encodePicture(const QImage &image, PictureFormat format);

// The page scaled to the output width (smoothly) and the rows where it is cut
// into pictures of at most 2500 rows (see cutPage): picture i holds the
// scaled rows [cuts[i], cuts[i + 1]).
struct CutPicture {
    QImage image;
    QList<int> cuts;
};
CutPicture cutRenderedPage(const RenderedPage &page, int outputWidth);

// Encodes the pictures of a cut page and writes them with pictures.txt (one
// line per picture: "01.jpg 750x2500 123456", name, pixel size and bytes, in
// page order) into folder, made if missing. All files are written beside
// their names first and put in place together at the end, so that a failure
// or a cancel (the flag is read between pictures) leaves the folder as it was.
// progress(i, n) follows each picture. Returns false when cancelled; throws
// Failure.
bool writePictures(const CutPicture &cut, const QString &folder, const ExportOptions &options, ExportResult &result,
                   const std::function<void(int, int)> &progress = {}, const std::atomic_bool *cancel = nullptr);

// A whole export for the window: renders the page (event loop), then encodes
// and writes on a worker thread, reporting progress; cancel() at any time
// leaves the folder as it was.
class PictureExport : public QObject {
    Q_OBJECT
public:
    explicit PictureExport(QObject *parent = nullptr);
    ~PictureExport() override; // cancels and waits for the worker

    void start(const PageSource &source, const QString &folder, const ExportOptions &options,
               const RenderOptions &renderOptions = {});
    // After picturesFailed(): writes the pictures as rendered.
    void proceed();
    // Stops a running export at once: cancelled() follows and the folder is
    // as it was, unless the files were already being put in place, when
    // finished() follows instead. Nothing else is reported after it.
    void cancel();
    bool isRunning() const;

signals:
    void progress(int done, int total); // "正在生成图片 i / N"
    void picturesFailed(const QStringList &addresses);
    void finished(const orv::render::ExportResult &result);
    void failed(const QString &message);
    void cancelled();

private:
    class Work;
    void onRendered(const RenderedPage &page);
    void startWriting(const RenderedPage &page);

    PageRenderer m_renderer;
    QString m_folder;
    ExportOptions m_options;
    RenderedPage m_pending;
    std::shared_ptr<Work> m_work;
    quint64 m_workCount = 0;
};

// The export in a local event loop, for the command line: Ask acts as Stop.
// Throws Failure.
ExportResult exportPictures(const PageSource &source, const QString &folder, const ExportOptions &options,
                            const RenderOptions &renderOptions = {},
                            const std::function<void(int, int)> &progress = {});

// The message for pictures that failed to load, one address a line.
QString failedPicturesMessage(const QStringList &addresses);

} // namespace orv::render
