// The JPEG measurement on any bytes: a size within the format's limits, or a
// failure "JPEG error #<code>"; never a crash, a hang or a leak.

#include "fuzzcheck.h"

#include "core/failure.h"
#include "core/jpegheader.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QRegularExpression message(QStringLiteral("^JPEG error #\\d+$"));
    try {
        const QSize measured = orv::jpegSize(orv::fuzz::bytes(data, size));
        FUZZ_CHECK(measured.width() >= 0 && measured.width() <= 65535);
        FUZZ_CHECK(measured.height() >= 0 && measured.height() <= 65535);
        FUZZ_CHECK(size > 0 || measured == QSize(0, 0));
    } catch (const orv::Failure &failure) {
        FUZZ_CHECK(size > 0);
        FUZZ_CHECK(message.match(failure.message()).hasMatch());
    }
    return 0;
}
