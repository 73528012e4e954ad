#pragma once

// The text of a CSV file: its encoding found and decoded strictly, and
// encoded again the same way. Qt's converters do the work (GB18030 through
// ICU, which Debian's Qt is built with).

#include "sheets/sheet.h"

namespace orv::sheets {

struct DecodedText {
    QString text; // without the byte-order mark
    Encoding encoding = Encoding::Utf8;
    bool byteOrderMark = false;
};

// Decodes the bytes in the given encoding, or for Detect in the one its
// byte-order mark names, else UTF-8 when they are valid UTF-8, else GB18030.
// Bytes that are not valid in that encoding fail, naming the line they are on
// and the file (fileName).
DecodedText decodeText(const QByteArray &data, Encoding encoding, const QString &fileName);

// The text in the encoding, after the encoding's byte-order mark if asked.
// The text must be valid UTF-16.
QByteArray encodeText(const QString &text, Encoding encoding, bool byteOrderMark);

} // namespace orv::sheets
