#pragma once

#include <QByteArray>

namespace orv::test {

// A grey JPEG picture of the given size, made with libjpeg's compressor.
QByteArray makeJpeg(int width, int height);

} // namespace orv::test
