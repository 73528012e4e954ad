#pragma once

#include <QByteArray>

namespace orv::test {

// A grey JPEG picture of the given size, made with libjpeg's compressor.
QByteArray makeJpeg(int width, int height);

// The picture with an EXIF block of about the given size right after its
// start marker, before the frame header: as many APP1 segments as it takes.
QByteArray withExif(const QByteArray &jpeg, int size);

} // namespace orv::test
