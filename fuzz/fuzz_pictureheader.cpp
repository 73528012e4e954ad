// The picture header reader on any bytes: the same result whether the bytes
// come whole, one at a time or in pieces; a size only for a format we take;
// for JPEG the size or failure jpegSize() gives, for anything else the
// jpegSize() of the first 16 bytes is that of all of them. Never a crash, a
// hang or a leak.

#include "fuzzcheck.h"

#include "core/failure.h"
#include "core/jpegheader.h"
#include "core/pictureheader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = orv::fuzz::bytes(data, size);
    const orv::PictureHeader whole = orv::pictureHeader(bytes);

    orv::PictureHeaderReader single;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const bool decided = single.append(QByteArrayView(bytes).sliced(i, 1));
        FUZZ_CHECK(decided == single.decided());
    }
    FUZZ_CHECK(single.header() == whole);

    // Pieces whose sizes the bytes themselves choose.
    orv::PictureHeaderReader pieces;
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = std::min<qsizetype>(1 + quint8(bytes[i]) % 13, bytes.size() - i);
        pieces.append(QByteArrayView(bytes).sliced(i, length));
        i += length;
    }
    FUZZ_CHECK(pieces.header() == whole);

    if (whole.measured()) {
        FUZZ_CHECK(whole.format != orv::PictureFormat::Unknown && whole.format != orv::PictureFormat::Unsupported);
        FUZZ_CHECK(whole.width >= 0 && whole.height >= 0);
        FUZZ_CHECK(whole.format == orv::PictureFormat::Jpeg || (whole.width > 0 && whole.height > 0));
    } else {
        FUZZ_CHECK(whole.width == 0 && whole.height == 0);
    }
    if (whole.format == orv::PictureFormat::Jpeg) {
        try {
            const QSize expected = orv::jpegSize(bytes);
            FUZZ_CHECK(whole.measured() && whole.width == expected.width() && whole.height == expected.height());
        } catch (const orv::Failure &failure) {
            FUZZ_CHECK(whole.failure == failure.message());
        }
    } else {
        // What the batch measurer relies on: a JPEG reading of anything else
        // is decided by its first bytes.
        const auto reading = [](const QByteArray &b) {
            try {
                return QString::number(orv::jpegSize(b).height());
            } catch (const orv::Failure &failure) {
                return failure.message();
            }
        };
        FUZZ_CHECK(reading(bytes.first(std::min<qsizetype>(bytes.size(), 16))) == reading(bytes));
    }
    return 0;
}
