#pragma once

#include "core/check/pagecheck.h"
#include "core/pictureheader.h"
#include "core/picturemeasurer.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

namespace orv::check {

// One place where the checked HTML shows a picture: an <img src>, a
// background attribute or a url(...) of an inline background style. Addresses that are
// data: or script addresses are left out (the page check reports them).
struct PictureUse {
    QString address;      // as written, references decoded, blanks removed
    QString url;          // what to fetch: the address, with "https:" before "//host/..."
    qsizetype offset = 0; // of the address in the checked text
    int line = 1;
    int column = 1;
    int pageWidth = 750; // the page width where it stands
    int entry = 0;       // the module-list entry holding it; 0: none
    QString entryName;
};

// Every picture of the HTML in document order, with the same segments and
// page width as checkPage().
QList<PictureUse> listPictures(const QString &html, int pageWidth, const QList<CheckSegment> &segments = {});

// The distinct URLs to fetch, in the order of first use: each is fetched once.
QStringList pictureUrls(const QList<PictureUse> &uses);

// What fetching one picture found out.
struct PictureFacts {
    // Set when the fetch failed: "Cannot download "<url>". <reason>".
    QString failure;
    // The format and size from the picture's first bytes (PictureHeaderReader).
    PictureHeader header;
    // The whole picture's size in bytes (Content-Length); -1 when unknown.
    qint64 byteSize = -1;
};

// The picture findings: picture-dead, picture-format, picture-wide and
// mobile-fit. A URL is fetched once but reported at every use, since each use
// is a place to correct (and may stand in another entry, at another page
// width). Uses whose URL has no facts (not fetched, cancelled) give nothing.
QList<Finding> checkPictures(const QList<PictureUse> &uses, const QHash<QString, PictureFacts> &facts);

// What a measurer's outcome tells of a picture: a failed fetch, or what its
// first bytes and the server said.
PictureFacts factsOf(const QString &url, const MeasuredPicture &outcome);

// Fetches the pictures of uses, each distinct URL once and all at once,
// through measurer (which holds every fetch within its limits), and returns
// their findings as checkPictures() gives them. progress counts the distinct
// URLs. Throws Cancelled when cancel becomes true first.
QList<Finding> measureAndCheckPictures(const QList<PictureUse> &uses, PictureMeasurer &measurer,
                                       const PictureMeasurer::Progress &progress = {},
                                       const std::atomic_bool *cancel = nullptr);

} // namespace orv::check

// Moved in memory as it is, so that long lists grow cheaply.
Q_DECLARE_TYPEINFO(orv::check::PictureUse, Q_RELOCATABLE_TYPE);
