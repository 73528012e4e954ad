#include "testpictures.h"

#include <algorithm>

namespace orv::test {

QByteArray littleEndian(quint32 value, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out.append(char(value >> (8 * i) & 0xFF));
    return out;
}

QByteArray bigEndian32(quint32 value)
{
    QByteArray out = littleEndian(value, 4);
    std::reverse(out.begin(), out.end());
    return out;
}

QByteArray png(quint32 width, quint32 height, const QByteArray &chunk)
{
    return QByteArray("\x89PNG\r\n\x1A\n", 8) + bigEndian32(13) + chunk + bigEndian32(width) + bigEndian32(height)
           + QByteArray("\x08\x02\0\0\0\0\0\0\0", 9);
}

QByteArray gif(int width, int height)
{
    return "GIF89a" + littleEndian(width, 2) + littleEndian(height, 2) + QByteArray("\xF7\0\0", 3);
}

QByteArray bmp(qint32 width, qint32 height, quint32 dibSize)
{
    QByteArray out = "BM" + littleEndian(70, 4) + littleEndian(0, 4) + littleEndian(54, 4) + littleEndian(dibSize, 4);
    if (dibSize == 12)
        return out + littleEndian(width, 2) + littleEndian(height, 2) + littleEndian(1, 2) + littleEndian(24, 2);
    return out + littleEndian(quint32(width), 4) + littleEndian(quint32(height), 4) + QByteArray(16, '\0');
}

QByteArray webp(const QByteArray &chunk, const QByteArray &data)
{
    return "RIFF" + littleEndian(quint32(12 + data.size()), 4) + "WEBP" + chunk + littleEndian(data.size(), 4) + data;
}

QByteArray vp8(int width, int height, const QByteArray &startCode)
{
    return webp("VP8 ", QByteArray("\x50\x12\x00", 3) + startCode + littleEndian(width, 2) + littleEndian(height, 2)
                            + QByteArray(10, '\0'));
}

QByteArray vp8l(int width, int height, char signature)
{
    const quint32 bits = quint32(width - 1) | quint32(height - 1) << 14 | 1u << 28;
    return webp("VP8L", signature + littleEndian(bits, 4) + QByteArray(8, '\0'));
}

QByteArray vp8x(int width, int height)
{
    return webp("VP8X", QByteArray("\x10\0\0\0", 4) + littleEndian(width - 1, 3) + littleEndian(height - 1, 3));
}

} // namespace orv::test
