#include "testjpeg.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace orv::test {

QByteArray makeJpeg(int width, int height)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char *data = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &data, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(size_t(width), 128);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    jpeg_destroy_compress(&cinfo);
    std::free(data);
    return bytes;
}

QByteArray withExif(const QByteArray &jpeg, int size)
{
    QByteArray block;
    for (int left = size; left > 0;) {
        const int payload = left < 65533 ? left : 65533; // a segment holds at most this
        QByteArray segment("\xFF\xE1", 2);
        segment.append(char((payload + 2) >> 8)).append(char((payload + 2) & 0xFF));
        segment.append(QByteArray("Exif\0\0", 6).leftJustified(payload, 'e', true));
        block += segment;
        left -= payload;
    }
    return jpeg.left(2) + block + jpeg.mid(2);
}

} // namespace orv::test
