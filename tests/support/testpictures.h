#pragma once

#include <QByteArray>

// The first bytes of pictures of the formats other than JPEG, as their
// headers lay them out (see testjpeg.h for JPEG pictures made whole).
namespace orv::test {

QByteArray littleEndian(quint32 value, int bytes);
QByteArray bigEndian32(quint32 value);

// Signature and IHDR chunk (its type as given).
QByteArray png(quint32 width, quint32 height, const QByteArray &chunk = "IHDR");
// GIF89a signature and logical screen.
QByteArray gif(int width, int height);
// File header and a DIB header of the given size (12: the OS/2 one).
QByteArray bmp(qint32 width, qint32 height, quint32 dibSize = 40);
// A RIFF WebP file holding one chunk.
QByteArray webp(const QByteArray &chunk, const QByteArray &data);
QByteArray vp8(int width, int height, const QByteArray &startCode = "\x9D\x01\x2A"); // lossy
QByteArray vp8l(int width, int height, char signature = 0x2F);                       // lossless
QByteArray vp8x(int width, int height);                                              // extended

} // namespace orv::test
