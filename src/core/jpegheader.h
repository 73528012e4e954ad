#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

namespace orv {

// The natural size of a JPEG picture in pixels as its header records it; the
// image data is not decoded. Empty data counts as a picture of 0 x 0 pixels.
// Data the decoder rejects fails with "JPEG error #%d" and the decoder's
// message code (53 when the data does not start with the start-of-image
// marker).
QSize jpegSize(const QByteArray &bytes);

// The same for the whole content of a file; a file that cannot be read fails
// with "Cannot open file "%s". %s" and the file's full path.
QSize jpegFileSize(const QString &filePath);

} // namespace orv
