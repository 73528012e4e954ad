#include "textinput.h"

#include "core/failure.h"

#include <QIODevice>
#include <QStringDecoder>

#include <algorithm>

namespace orv {

using namespace Qt::StringLiterals;

std::optional<QByteArray> readAtMost(QIODevice &device, qint64 limit)
{
    constexpr qint64 chunk = qint64(1) << 20;
    const qint64 wanted = limit + 1;
    QByteArray bytes;
    while (bytes.size() < wanted) {
        const qsizetype before = bytes.size();
        const qint64 size = std::min(chunk, wanted - before);
        bytes.resize(before + size);
        const qint64 got = device.read(bytes.data() + before, size);
        if (got < 0)
            return std::nullopt;
        bytes.resize(before + got);
        // Nothing read: the end, unless a stream is still to deliver.
        if (got == 0 && !(device.isSequential() && device.waitForReadyRead(-1)))
            break;
    }
    return bytes;
}

namespace {

// Where Qt's decoder first failed: everything before the first replacement
// character it made that is not an encoded U+FFFD in the input is valid, and
// so encodes back to the very bytes it came from.
qsizetype firstInvalidByte(QByteArrayView bytes)
{
    static constexpr QByteArrayView encodedReplacement("\xEF\xBF\xBD");
    const QString text = QString::fromUtf8(bytes);
    qsizetype offset = 0;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(QChar::ReplacementCharacter, from);
        if (at < 0)
            return bytes.size(); // a sequence cut at the end
        offset += QStringView(text).sliced(from, at - from).toUtf8().size();
        if (!bytes.sliced(offset).startsWith(encodedReplacement))
            return offset;
        offset += encodedReplacement.size();
        from = at + 1;
    }
}

} // namespace

QString strictUtf8(const QByteArray &bytes, const QString &source)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (!decoder.hasError())
        return text;
    static constexpr QByteArrayView byteOrderMark("\xEF\xBB\xBF");
    const qsizetype skipped = bytes.startsWith(byteOrderMark) ? byteOrderMark.size() : 0;
    const qsizetype offset = skipped + firstInvalidByte(QByteArrayView(bytes).sliced(skipped));
    QString message = u"%1 is not valid UTF-8 at byte %2"_s.arg(source).arg(offset + 1);
    if (bytes.contains('\n'))
        message += u" (line %1)"_s.arg(QByteArrayView(bytes).first(offset).count('\n') + 1);
    throw Failure(message);
}

} // namespace orv
