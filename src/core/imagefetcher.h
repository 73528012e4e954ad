#pragma once

#include "core/failure.h"

#include <QString>

namespace orv {

// Fetches a picture from its web address into a local file, blocking until
// the fetch has finished or failed. The transport lies behind this interface
// so that tests and other front ends can swap it.
class ImageFetcher {
public:
    virtual ~ImageFetcher();

    // Stores the resource at url in filePath and returns true. On failure
    // returns false, leaves no partial file at filePath and, when reason is
    // given, sets it to a short sentence saying why ("HTTP status 404").
    // Never throws.
    virtual bool DownloadUrlToFile(const QString &url, const QString &filePath, QString *reason) = 0;
};

// "Cannot download "<url>". <reason>": the failure of a picture fetch.
Failure cannotDownload(const QString &url, const QString &reason);

} // namespace orv
