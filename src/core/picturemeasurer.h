#pragma once

#include "core/failure.h"
#include "core/pictureheader.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

namespace orv {

// The outcome of fetching and measuring one picture: its natural height, or
// the message of the failure that ends the action when the picture is used.
// height and failure are read as a JPEG picture, whatever the bytes are; the
// rest says what the picture is, for the page check.
struct MeasuredPicture {
    int height = 0;
    QString failure; // empty when measured

    // Whether the server's bytes came: failure is then the JPEG reading's, not
    // "Cannot download".
    bool fetched = false;
    // The format and size from the first bytes, whatever the format.
    PictureHeader header;
    // The whole picture's size in bytes, where the server gave it
    // (Content-Length) or the body was read to its end; -1 when unknown.
    qint64 byteSize = -1;

    bool measured() const { return failure.isEmpty(); }
    bool operator==(const MeasuredPicture &) const = default;
};

// Thrown when the user stops a running action; it ends the action without a
// message and without changing anything.
class Cancelled : public Failure {
public:
    Cancelled();
};

// "Cannot download "<url>". <reason>": the failure of a picture fetch.
Failure cannotDownload(const QString &url, const QString &reason);

// Fetches and measures a batch of pictures before they are used, so that the
// fetches may run at once and stop as soon as the height is known. The
// outcomes are those of fetching each picture whole into a file and reading
// the file's header: "Cannot download "<url>". <reason>" for a failed fetch,
// "JPEG error #%d" for a picture the decoder rejects, height 0 for an empty one.
// A measurer that reads headers of every format also fills in fetched, header
// and byteSize.
class PictureMeasurer {
public:
    // Pictures done so far, of all.
    using Progress = std::function<void(int done, int total)>;

    virtual ~PictureMeasurer();

    // One outcome per address, in the order given; an address given several
    // times is fetched once. Progress may be reported from another thread.
    // Throws Cancelled when cancel becomes true before all are done.
    virtual QList<MeasuredPicture> measureAll(const QStringList &urls, const Progress &progress = {},
                                              const std::atomic_bool *cancel = nullptr)
        = 0;
};

} // namespace orv
