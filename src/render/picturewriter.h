#pragma once

#include "pagerenderer.h"
#include "picturecutter.h"
#include "picturefolder.h"
#include "picturelimits.h"

#include <QSize>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

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
    // Replace the earlier export's pictures (earlierPictures()); without it an
    // export into a folder holding them fails before writing anything.
    bool overwrite = false;
    FailedPictures failedPictures = FailedPictures::Stop;
    // A picture's height limit in its rows: defaultPictureHeight (2000, both
    // editors) or maxPictureHeight (2500, the older mobile description).
    int maxPictureHeight = defaultPictureHeight;
    // Draw and cut, but encode and write nothing: the result holds the
    // manifest (ExportResult::manifest) and the folder is never touched.
    bool manifestOnly = false;
};

struct PictureFile {
    QString fileName; // "01.jpg"
    QSize size;
    qint64 bytes = 0;
    int jpegQuality = -1;          // -1 for PNG
    bool jpegInsteadOfPng = false; // asked for PNG, but the PNG exceeded 3 MiB
    int pageTop = 0;               // the page rows it shows: [pageTop, pageBottom)
    int pageBottom = 0;
    QList<HotArea> hotAreas; // the links on it
};

struct ExportResult {
    QString folder;
    QList<PictureFile> pictures; // in page order; pictures.txt lists them too
    QStringList failedPictures;  // remote pictures that did not load (KeepGoing)
    int pageWidth = 0;
    int outputWidth = 0;
    int maxPictureHeight = 0;
    bool manifestOnly = false;       // nothing was encoded or written: bytes are 0
    QList<check::LinkBox> links;     // the page's link boxes as last measured
    QList<check::LinkBox> lostLinks; // one box each of the links that got no hot area on any picture
    QByteArray manifest;             // slices.json (also with manifestOnly)
};

// slices.json for the pictures of a result (docs/slices-format.md): the
// format and version, the page and picture widths, the height limit and per
// picture its file, size, bytes (left out with manifestOnly) and hot areas.
QByteArray slicesManifest(const ExportResult &result);

// The output width for a page: outputWidth, or the page width for 0. Throws
// Failure when the result lies outside 480 to 1500.
int checkedOutputWidth(int pageWidth, int outputWidth);

// "01.jpg" for index 0: two digits, or as many as count needs.
QString pictureFileName(int index, int count, PictureFormat format);

struct EncodedPicture {
    QByteArray data;
    PictureFormat format = PictureFormat::Jpeg;
    int jpegQuality = -1;
};

// JPEG at quality 90, lowered in steps of 5 until the picture takes at most
// 3 MiB; PNG when asked, falling back to that JPEG when the PNG exceeds 3 MiB.
// Throws Failure when even quality 30 exceeds the limit.
EncodedPicture encodePicture(const QImage &image, PictureFormat format);

// Makes the pictures of a page from its rows as they are drawn: cuts them
// (PictureCutter), encodes each at once and stages it in the folder
// (PictureStaging), so that only one picture is held at a time; finish()
// stages slices.json and pictures.txt (one line per picture: "01.jpg
// 750x2500 123456", name, pixel size and bytes, in page order) and commit()
// puts the set in place. With ExportOptions::manifestOnly nothing is encoded
// or staged, and commit() does nothing.
// A writer is used from one thread at a time.
class PictureWriter {
public:
    // progress(i, n) follows each picture staged (n: as far as known); the
    // cancel flag is read between pictures.
    PictureWriter(const QString &folder, const ExportOptions &options, std::function<void(int, int)> progress = {},
                  const std::atomic_bool *cancel = nullptr, FileMover move = {});

    // A pass over the page begins: what an earlier pass staged is dropped.
    void startPass(const PageLayout &layout);
    // The next rows of the pass; false when cancelled. Throws Failure.
    bool add(const PageStretch &stretch);
    // After the last rows: names the pictures and stages pictures.txt.
    // Throws Failure.
    void finish();

    // After finish(): the files the set would write over that no earlier
    // export listed.
    QStringList unlisted() const;
    // Puts the set in place (see PictureStaging::commit), replacing the
    // earlier export's set when the options allow it, and these files of
    // unlisted(). Throws FolderInUse or Failure.
    void commit(const QStringList &replaceUnlisted = {});
    const ExportResult &result() const { return m_result; }

private:
    QStringList names() const;

    QString m_folder;
    ExportOptions m_options;
    std::function<void(int, int)> m_progress;
    const std::atomic_bool *m_cancel;
    PictureStaging m_staging;
    std::optional<PictureCutter> m_cutter;
    ExportResult m_result;
};

// The pictures of a page drawn whole, in memory: stacked into one image and
// the rows where each begins (picture i holds the stacked rows [cuts[i],
// cuts[i + 1])); exactly what an export writes.
struct CutPicture {
    QImage image;
    QList<int> cuts;
    QList<int> pageCuts;            // the same cuts in page rows
    QList<QList<HotArea>> hotAreas; // per picture
};
CutPicture cutRenderedPage(const RenderedPage &page, int outputWidth, int maxHeight = defaultPictureHeight);

// Writes the pictures of a page drawn whole into folder (made if missing),
// as an export writes them; a failure or a cancel leaves the folder as it
// was. Returns false when cancelled; throws Failure (FolderInUse where files
// are in the way).
bool writePictures(const RenderedPage &page, const QString &folder, const ExportOptions &options, ExportResult &result,
                   const std::function<void(int, int)> &progress = {}, const std::atomic_bool *cancel = nullptr);

} // namespace orv::render
