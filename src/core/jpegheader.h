#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include <memory>

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

// Reads the header of a JPEG picture while its bytes arrive, so that a fetch
// can stop as soon as the size is known. The decoder reads exactly the bytes
// it would read from the whole picture and stops at the same place, so the
// size or failure is the one jpegSize() gives for the whole picture.
class JpegHeaderReader {
public:
    JpegHeaderReader();
    ~JpegHeaderReader();
    JpegHeaderReader(const JpegHeaderReader &) = delete;
    JpegHeaderReader &operator=(const JpegHeaderReader &) = delete;

    // Takes the next bytes of the picture. Returns true once the header has
    // given the size or a failure; later bytes are not needed and ignored.
    bool append(QByteArrayView bytes);
    bool decided() const;
    qint64 bytesReceived() const;

    // The size as jpegSize() gives it for the whole picture; when the header
    // is not complete, for the bytes received so far. Throws the same Failure.
    QSize size() const;

private:
    struct Decoder;
    std::unique_ptr<Decoder> m_decoder;
};

} // namespace orv
