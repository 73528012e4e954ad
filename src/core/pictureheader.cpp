#include "pictureheader.h"

#include "core/failure.h"
#include "core/jpegheader.h"

#include <climits>
#include <optional>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

// Every format but JPEG gives its size within the first 30 bytes.
constexpr qsizetype prefixLength = 30;

struct Signature {
    QByteArrayView bytes; // '?' matches any byte
    PictureFormat format;
};

const Signature signatures[] = {
    {"\xFF\xD8", PictureFormat::Jpeg}, {"\x89PNG\r\n\x1A\n", PictureFormat::Png},
    {"GIF87a", PictureFormat::Gif},    {"GIF89a", PictureFormat::Gif},
    {"BM", PictureFormat::Bmp},        {"RIFF????WEBP", PictureFormat::WebP},
};

// The format the first bytes show; Unknown while a signature may still match.
PictureFormat sniff(QByteArrayView prefix)
{
    bool possible = false;
    for (const Signature &signature : signatures) {
        const qsizetype length = qMin(signature.bytes.size(), prefix.size());
        bool matches = true;
        for (qsizetype i = 0; i < length && matches; ++i)
            matches = signature.bytes[i] == '?' || signature.bytes[i] == prefix[i];
        if (!matches)
            continue;
        if (prefix.size() >= signature.bytes.size())
            return signature.format;
        possible = true;
    }
    return possible ? PictureFormat::Unknown : PictureFormat::Unsupported;
}

quint32 byteAt(QByteArrayView bytes, qsizetype i)
{
    return quint32(quint8(bytes[i]));
}

quint32 littleEndian16(QByteArrayView b, qsizetype i)
{
    return byteAt(b, i) | byteAt(b, i + 1) << 8;
}

quint32 littleEndian24(QByteArrayView b, qsizetype i)
{
    return littleEndian16(b, i) | byteAt(b, i + 2) << 16;
}

quint32 littleEndian32(QByteArrayView b, qsizetype i)
{
    return littleEndian24(b, i) | byteAt(b, i + 3) << 24;
}

quint32 bigEndian32(QByteArrayView b, qsizetype i)
{
    return byteAt(b, i) << 24 | byteAt(b, i + 1) << 16 | byteAt(b, i + 2) << 8 | byteAt(b, i + 3);
}

PictureHeader sized(PictureFormat format, qint64 width, qint64 height)
{
    if (width <= 0 || height <= 0 || width > INT_MAX || height > INT_MAX)
        return {format, 0, 0, pictureFormatName(format) + u" header damaged"_s};
    return {format, int(width), int(height), {}};
}

PictureHeader damaged(PictureFormat format)
{
    return {format, 0, 0, pictureFormatName(format) + u" header damaged"_s};
}

// The header of a format other than JPEG from its first bytes; nothing while
// more bytes are needed.
std::optional<PictureHeader> readHeader(PictureFormat format, QByteArrayView b)
{
    switch (format) {
    case PictureFormat::Png: // signature, then the IHDR chunk: length, type, width, height
        if (b.size() < 24)
            return std::nullopt;
        if (b.sliced(12, 4) != "IHDR")
            return damaged(format);
        return sized(format, bigEndian32(b, 16), bigEndian32(b, 20));
    case PictureFormat::Gif: // signature, then the logical screen's width and height
        if (b.size() < 10)
            return std::nullopt;
        return sized(format, littleEndian16(b, 6), littleEndian16(b, 8));
    case PictureFormat::Bmp: { // file header, then the DIB header, which starts with its size
        if (b.size() < 18)
            return std::nullopt;
        const quint32 dibSize = littleEndian32(b, 14);
        if (dibSize == 12) { // OS/2 1.x: 16-bit width and height
            if (b.size() < 22)
                return std::nullopt;
            return sized(format, littleEndian16(b, 18), littleEndian16(b, 20));
        }
        if (dibSize < 16 || dibSize > 1024)
            return damaged(format);
        if (b.size() < 26)
            return std::nullopt;
        // Signed: a negative height is a picture stored top-down.
        const auto height = qint64(qint32(littleEndian32(b, 22)));
        return sized(format, qint32(littleEndian32(b, 18)), height < 0 ? -height : height);
    }
    case PictureFormat::WebP: { // RIFF header, then the first chunk
        if (b.size() < 16)
            return std::nullopt;
        const QByteArrayView chunk = b.sliced(12, 4);
        if (chunk == "VP8 ") { // lossy: a key frame's start code, then 14-bit sizes
            if (b.size() < 30)
                return std::nullopt;
            if (b.sliced(23, 3) != "\x9D\x01\x2A")
                return damaged(format);
            return sized(format, littleEndian16(b, 26) & 0x3FFF, littleEndian16(b, 28) & 0x3FFF);
        }
        if (chunk == "VP8L") { // lossless: a signature byte, then 14-bit sizes less one
            if (b.size() < 25)
                return std::nullopt;
            if (byteAt(b, 20) != 0x2F)
                return damaged(format);
            const quint32 bits = littleEndian32(b, 21);
            return sized(format, (bits & 0x3FFF) + 1, (bits >> 14 & 0x3FFF) + 1);
        }
        if (chunk == "VP8X") { // extended: flags, then the canvas's 24-bit sizes less one
            if (b.size() < 30)
                return std::nullopt;
            return sized(format, qint64(littleEndian24(b, 24)) + 1, qint64(littleEndian24(b, 27)) + 1);
        }
        return damaged(format);
    }
    case PictureFormat::Unknown:
    case PictureFormat::Jpeg:
    case PictureFormat::Unsupported:
        break;
    }
    return std::nullopt;
}

PictureHeader jpegResult(const JpegHeaderReader &reader)
{
    try {
        const QSize size = reader.size();
        return {PictureFormat::Jpeg, size.width(), size.height(), {}};
    } catch (const Failure &failure) {
        return {PictureFormat::Jpeg, 0, 0, failure.message()};
    }
}

} // namespace

QString pictureFormatName(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Jpeg:
        return u"JPEG"_s;
    case PictureFormat::Png:
        return u"PNG"_s;
    case PictureFormat::Gif:
        return u"GIF"_s;
    case PictureFormat::Bmp:
        return u"BMP"_s;
    case PictureFormat::WebP:
        return u"WebP"_s;
    case PictureFormat::Unsupported:
        return u"unsupported"_s;
    case PictureFormat::Unknown:
        break;
    }
    return u"unknown"_s;
}

struct PictureHeaderReader::State {
    QByteArray prefix; // the first bytes, while the format or a short header is read
    PictureFormat format = PictureFormat::Unknown;
    std::unique_ptr<JpegHeaderReader> jpeg;
    qint64 received = 0;
    std::optional<PictureHeader> result; // set once decided
};

PictureHeaderReader::PictureHeaderReader()
    : m_state(std::make_unique<State>())
{
}

PictureHeaderReader::~PictureHeaderReader() = default;

bool PictureHeaderReader::append(QByteArrayView bytes)
{
    State &s = *m_state;
    if (s.result || bytes.isEmpty())
        return s.result.has_value();
    s.received += bytes.size();
    if (s.jpeg) {
        if (s.jpeg->append(bytes))
            s.result = jpegResult(*s.jpeg);
        return s.result.has_value();
    }

    const qsizetype taken = qMin(bytes.size(), prefixLength - s.prefix.size());
    s.prefix.append(bytes.first(taken));
    if (s.format == PictureFormat::Unknown)
        s.format = sniff(s.prefix);
    switch (s.format) {
    case PictureFormat::Unknown:
        break;
    case PictureFormat::Unsupported:
        s.result = PictureHeader{s.format, 0, 0, u"not a JPEG, PNG, GIF, BMP or WebP picture"_s};
        break;
    case PictureFormat::Jpeg:
        // From here on the JPEG reader takes every byte, the first ones included.
        s.jpeg = std::make_unique<JpegHeaderReader>();
        if (s.jpeg->append(s.prefix) || s.jpeg->append(bytes.sliced(taken)))
            s.result = jpegResult(*s.jpeg);
        s.prefix.clear();
        break;
    default:
        s.result = readHeader(s.format, s.prefix);
        break;
    }
    return s.result.has_value();
}

bool PictureHeaderReader::decided() const
{
    return m_state->result.has_value();
}

qint64 PictureHeaderReader::bytesReceived() const
{
    return m_state->received;
}

PictureHeader PictureHeaderReader::header() const
{
    const State &s = *m_state;
    if (s.result)
        return *s.result;
    if (s.jpeg)
        return jpegResult(*s.jpeg);
    if (s.received == 0)
        return {PictureFormat::Unknown, 0, 0, u"no data"_s};
    if (s.format == PictureFormat::Unknown)
        return {PictureFormat::Unknown, 0, 0, u"too short to tell the format"_s};
    return {s.format, 0, 0, pictureFormatName(s.format) + u" header cut short"_s};
}

PictureHeader pictureHeader(QByteArrayView bytes)
{
    PictureHeaderReader reader;
    reader.append(bytes);
    return reader.header();
}

} // namespace orv
