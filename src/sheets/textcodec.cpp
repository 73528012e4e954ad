#include "textcodec.h"

#include "core/failure.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

namespace orv::sheets {

using namespace Qt::StringLiterals;

namespace {

struct Mark {
    Encoding encoding;
    QByteArrayView bytes;
};

constexpr Mark marks[] = {
    {Encoding::Utf8, "\xEF\xBB\xBF"},
    {Encoding::Utf16Le, "\xFF\xFE"},
    {Encoding::Utf16Be, "\xFE\xFF"},
    {Encoding::Gb18030, "\x84\x31\x95\x33"},
};

QByteArrayView markOf(Encoding encoding)
{
    for (const Mark &mark : marks) {
        if (mark.encoding == encoding)
            return mark.bytes;
    }
    return {};
}

std::optional<Encoding> encodingOfMark(QByteArrayView data)
{
    for (const Mark &mark : marks) {
        if (data.startsWith(mark.bytes))
            return mark.encoding;
    }
    return std::nullopt;
}

// The byte-order mark is stripped here, so the converters keep any other.
constexpr auto flags = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

QStringConverter::Encoding unicodeEncoding(Encoding encoding)
{
    return encoding == Encoding::Utf16Le   ? QStringConverter::Utf16LE
           : encoding == Encoding::Utf16Be ? QStringConverter::Utf16BE
                                           : QStringConverter::Utf8;
}

// The bytes decoded, and whether all of them were valid. The decoders are
// made where they are used: an ICU one must not move once made, as its
// error reports go to where it was made.
QString decodeBytes(QByteArrayView data, Encoding encoding, const QString &fileName, bool *valid)
{
    if (encoding == Encoding::Gb18030) {
        QStringDecoder decoder("GB18030", flags);
        if (!decoder.isValid())
            throw Failure(
                u"Cannot read sheet \"%1\": this system's Qt cannot decode GB18030 (it is built without ICU)"_s.arg(
                    fileName));
        QString text = decoder(data);
        *valid = !decoder.hasError();
        return text;
    }
    QStringDecoder decoder(unicodeEncoding(encoding), flags);
    QString text = decoder(data);
    // Qt's UTF-16 decoder lets a lone surrogate or a last lone byte through.
    *valid = !decoder.hasError()
             && (encoding == Encoding::Utf8 || (data.size() % 2 == 0 && QStringView(text).isValidUtf16()));
    return text;
}

// The physical line (from 1) of the first bytes that do not decode: the lines
// are decoded one by one. A line ends after LF or after a CR not followed by
// LF, read in code units of one byte or (UTF-16) two.
int lineOfFirstError(QByteArrayView data, Encoding encoding, const QString &fileName)
{
    const int unit = encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be ? 2 : 1;
    const auto codeAt = [&](qsizetype i) -> int {
        if (unit == 1)
            return uchar(data[i]);
        return encoding == Encoding::Utf16Le ? uchar(data[i]) | uchar(data[i + 1]) << 8
                                             : uchar(data[i]) << 8 | uchar(data[i + 1]);
    };
    int line = 1;
    qsizetype start = 0;
    const qsizetype whole = data.size() - data.size() % unit;
    for (qsizetype i = 0; i < whole; i += unit) {
        const int code = codeAt(i);
        const bool end = code == '\n' || (code == '\r' && (i + unit >= whole || codeAt(i + unit) != '\n'));
        if (!end)
            continue;
        bool valid = true;
        decodeBytes(data.sliced(start, i + unit - start), encoding, fileName, &valid);
        if (!valid)
            return line;
        ++line;
        start = i + unit;
    }
    return line;
}

[[noreturn]] void failDecoding(QByteArrayView data, Encoding encoding, bool detected, const QString &fileName)
{
    const int line = lineOfFirstError(data, encoding, fileName);
    const QString what = detected ? u"the text is neither UTF-8 nor GB18030 (GBK); give its encoding"_s
                                  : u"the text is not valid %1"_s.arg(encodingName(encoding));
    throw Failure(u"Cannot read sheet \"%1\": line %2: %3"_s.arg(fileName).arg(line).arg(what));
}

} // namespace

Encoding encodingFromName(const QString &name)
{
    QString key = name.trimmed().toLower();
    key.remove(u'-').remove(u'_');
    if (key.isEmpty() || key == u"auto")
        return Encoding::Detect;
    if (key == u"utf8")
        return Encoding::Utf8;
    if (key == u"utf16le")
        return Encoding::Utf16Le;
    if (key == u"utf16be")
        return Encoding::Utf16Be;
    if (key == u"gb18030" || key == u"gbk" || key == u"gb2312" || key == u"cp936")
        return Encoding::Gb18030;
    throw Failure(u"'%1' is no encoding of a sheet: use utf-8, utf-16le, utf-16be, gbk or gb18030"_s.arg(name));
}

QString encodingName(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Detect:
        break;
    case Encoding::Utf8:
        return u"UTF-8"_s;
    case Encoding::Utf16Le:
        return u"UTF-16LE"_s;
    case Encoding::Utf16Be:
        return u"UTF-16BE"_s;
    case Encoding::Gb18030:
        return u"GB18030"_s;
    }
    return u"auto"_s;
}

DecodedText decodeText(const QByteArray &data, Encoding encoding, const QString &fileName)
{
    DecodedText result;
    const bool detect = encoding == Encoding::Detect;
    const std::optional<Encoding> marked = encodingOfMark(data);
    if (detect && marked)
        encoding = *marked;
    QByteArrayView body = data;
    if (encoding != Encoding::Detect && body.startsWith(markOf(encoding))) {
        body = body.sliced(markOf(encoding).size());
        result.byteOrderMark = true;
    }

    bool valid = true;
    if (encoding == Encoding::Detect) {
        result.text = decodeBytes(body, Encoding::Utf8, fileName, &valid);
        result.encoding = Encoding::Utf8;
        if (valid)
            return result;
        encoding = Encoding::Gb18030;
    }
    result.text = decodeBytes(body, encoding, fileName, &valid);
    result.encoding = encoding;
    if (!valid)
        failDecoding(body, encoding, detect && !marked, fileName);
    return result;
}

QByteArray encodeText(const QString &text, Encoding encoding, bool byteOrderMark)
{
    QByteArray bytes = byteOrderMark ? markOf(encoding).toByteArray() : QByteArray();
    switch (encoding) {
    case Encoding::Detect:
    case Encoding::Utf8:
        return bytes + text.toUtf8();
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: {
        QStringEncoder encoder(unicodeEncoding(encoding), flags);
        return bytes + QByteArray(encoder(text));
    }
    case Encoding::Gb18030:
        break;
    }
    QStringEncoder encoder("GB18030", flags);
    return bytes + QByteArray(encoder(text));
}

} // namespace orv::sheets
