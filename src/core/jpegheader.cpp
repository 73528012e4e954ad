#include "jpegheader.h"

#include "core/failure.h"

#include <QFile>
#include <QFileInfo>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace orv {

namespace {

// The decoder's error manager with a way back out of the library: its error
// exit jumps to the point set before the library was called.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void errorExit(j_common_ptr cinfo)
{
    auto *errors = reinterpret_cast<ErrorManager *>(cinfo->err);
    std::longjmp(errors->jump, 1);
}

// Warnings (such as a premature end of data) are no failure and go nowhere.
void outputMessage(j_common_ptr) {}

struct HeaderResult {
    bool failed = false;
    int messageCode = 0;
    JDIMENSION width = 0;
    JDIMENSION height = 0;
};

// Reads the header only. Holds nothing with a destructor, so that the jump
// out of the library skips no clean-up.
HeaderResult readHeader(const unsigned char *data, unsigned long size)
{
    HeaderResult result;
    jpeg_decompress_struct cinfo{};
    ErrorManager errors{};
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = errorExit;
    errors.base.output_message = outputMessage;
    if (setjmp(errors.jump)) {
        result.failed = true;
        result.messageCode = errors.base.msg_code;
        jpeg_destroy_decompress(&cinfo);
        return result;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    result.width = cinfo.image_width;
    result.height = cinfo.image_height;
    jpeg_destroy_decompress(&cinfo);
    return result;
}

} // namespace

QSize jpegSize(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return QSize(0, 0);
    const HeaderResult header = readHeader(reinterpret_cast<const unsigned char *>(bytes.constData()),
                                           static_cast<unsigned long>(bytes.size()));
    if (header.failed)
        throw Failure(QStringLiteral("JPEG error #%1").arg(header.messageCode));
    return QSize(static_cast<int>(header.width), static_cast<int>(header.height));
}

QSize jpegFileSize(const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure::cannotOpenFile(QFileInfo(filePath).absoluteFilePath(), file.errorString());
    return jpegSize(file.readAll());
}

} // namespace orv
