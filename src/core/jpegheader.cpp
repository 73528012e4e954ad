#include "jpegheader.h"

#include "core/failure.h"

#include <QFile>
#include <QFileInfo>

#include <csetjmp>
#include <cstdio>
#include <optional>

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

Failure jpegError(int messageCode)
{
    return Failure(QStringLiteral("JPEG error #%1").arg(messageCode));
}

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

// A data source over the bytes received so far that suspends the decoder
// when it needs more: the decoder then returns to the last marker it had
// read whole and goes on from there when more bytes have come.
struct SuspendingSource {
    jpeg_source_mgr base;
    size_t pendingSkip = 0; // bytes to skip that have not arrived yet
};

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}
boolean fillInputBuffer(j_decompress_ptr)
{
    return FALSE;
}

void skipInputData(j_decompress_ptr cinfo, long count)
{
    auto *source = reinterpret_cast<SuspendingSource *>(cinfo->src);
    if (count <= 0)
        return;
    const auto wanted = static_cast<size_t>(count);
    const size_t now = qMin(wanted, source->base.bytes_in_buffer);
    source->base.next_input_byte += now;
    source->base.bytes_in_buffer -= now;
    source->pendingSkip += wanted - now;
}

// The decoder's state between pieces of the picture. Plain data only, since
// the error exit jumps out of the library past this frame.
struct IncrementalHeader {
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
    SuspendingSource source;
    bool created = false;
};

enum class Progress { NeedMore, Read, Failed };

Progress continueHeader(IncrementalHeader &header, int *messageCode)
{
    if (setjmp(header.errors.jump)) {
        *messageCode = header.errors.base.msg_code;
        return Progress::Failed;
    }
    return jpeg_read_header(&header.cinfo, TRUE) == JPEG_SUSPENDED ? Progress::NeedMore : Progress::Read;
}

} // namespace

struct JpegHeaderReader::Decoder {
    IncrementalHeader header{};
    QByteArray bytes;
    bool decided = false;
    std::optional<QSize> size;
    int messageCode = 0;

    Decoder()
    {
        header.cinfo.err = jpeg_std_error(&header.errors.base);
        header.errors.base.error_exit = errorExit;
        header.errors.base.output_message = outputMessage;
        jpeg_create_decompress(&header.cinfo);
        header.created = true;
        header.source.base.init_source = initSource;
        header.source.base.fill_input_buffer = fillInputBuffer;
        header.source.base.skip_input_data = skipInputData;
        header.source.base.resync_to_restart = jpeg_resync_to_restart;
        header.source.base.term_source = termSource;
        header.cinfo.src = &header.source.base;
    }
    ~Decoder() { destroy(); }

    void destroy()
    {
        if (header.created)
            jpeg_destroy_decompress(&header.cinfo);
        header.created = false;
    }
};

JpegHeaderReader::JpegHeaderReader()
    : m_decoder(std::make_unique<Decoder>())
{
}

JpegHeaderReader::~JpegHeaderReader() = default;

bool JpegHeaderReader::append(QByteArrayView bytes)
{
    Decoder &d = *m_decoder;
    if (d.decided || bytes.isEmpty())
        return d.decided;
    jpeg_source_mgr &source = d.header.source.base;
    // Where the decoder stands, kept across a move of the bytes.
    const auto *start = reinterpret_cast<const JOCTET *>(d.bytes.constData());
    size_t consumed = source.next_input_byte ? size_t(source.next_input_byte - start) : 0;
    d.bytes.append(bytes);
    const auto total = size_t(d.bytes.size());
    const size_t skipped = qMin(d.header.source.pendingSkip, total - consumed);
    consumed += skipped;
    d.header.source.pendingSkip -= skipped;
    source.next_input_byte = reinterpret_cast<const JOCTET *>(d.bytes.constData()) + consumed;
    source.bytes_in_buffer = total - consumed;
    if (source.bytes_in_buffer == 0)
        return false;

    switch (continueHeader(d.header, &d.messageCode)) {
    case Progress::NeedMore:
        return false;
    case Progress::Read:
        d.size = QSize(static_cast<int>(d.header.cinfo.image_width), static_cast<int>(d.header.cinfo.image_height));
        break;
    case Progress::Failed:
        break;
    }
    d.decided = true;
    d.destroy();
    return true;
}

bool JpegHeaderReader::decided() const
{
    return m_decoder->decided;
}

qint64 JpegHeaderReader::bytesReceived() const
{
    return m_decoder->bytes.size();
}

QSize JpegHeaderReader::size() const
{
    const Decoder &d = *m_decoder;
    if (!d.decided)
        return jpegSize(d.bytes);
    if (!d.size)
        throw jpegError(d.messageCode);
    return *d.size;
}

QSize jpegSize(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return QSize(0, 0);
    const HeaderResult header = readHeader(reinterpret_cast<const unsigned char *>(bytes.constData()),
                                           static_cast<unsigned long>(bytes.size()));
    if (header.failed)
        throw jpegError(header.messageCode);
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
