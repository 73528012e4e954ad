#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace orv {

// The picture formats the platform takes, told from a picture's first bytes.
enum class PictureFormat {
    Unknown, // the bytes ended before the format could be told
    Jpeg,
    Png,
    Gif,
    Bmp,
    WebP,
    Unsupported, // not a picture format we take (an HTML page, TIFF, AVIF, ...)
};

// "JPEG", "PNG", "GIF", "BMP", "WebP"; "unknown" and "unsupported" for the others.
QString pictureFormatName(PictureFormat format);

// What a picture's header says: its format and natural size in pixels.
struct PictureHeader {
    PictureFormat format = PictureFormat::Unknown;
    int width = 0;
    int height = 0;
    // Set when the size cannot be read: "JPEG error #%d" as jpegSize() gives
    // it, "<format> header cut short", "<format> header damaged", or for
    // Unknown and Unsupported "no data", "too short to tell the format",
    // "not a JPEG, PNG, GIF, BMP or WebP picture".
    QString failure;

    // The format is one we take and the size was read.
    bool measured() const { return failure.isEmpty(); }
    bool operator==(const PictureHeader &) const = default;
};

// Reads the format and size of a picture while its bytes arrive, so that a
// fetch can stop as soon as they are known. The format comes from the first
// bytes; the size of a JPEG picture from JpegHeaderReader (the same result and
// failures as jpegSize()), of PNG from IHDR, of GIF from the logical screen, of
// BMP from the DIB header and of WebP from its VP8, VP8L or VP8X chunk. The
// result depends only on the bytes, never on how they were split.
class PictureHeaderReader {
public:
    PictureHeaderReader();
    ~PictureHeaderReader();
    PictureHeaderReader(const PictureHeaderReader &) = delete;
    PictureHeaderReader &operator=(const PictureHeaderReader &) = delete;

    // Takes the next bytes. Returns true once the header has been read or
    // found damaged, or the bytes are no picture we take; later bytes are not
    // needed and ignored.
    bool append(QByteArrayView bytes);
    bool decided() const;
    qint64 bytesReceived() const;

    // The result; before it is decided, the result for the bytes so far as if
    // the picture ended there.
    PictureHeader header() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The header of a whole picture.
PictureHeader pictureHeader(QByteArrayView bytes);

} // namespace orv
