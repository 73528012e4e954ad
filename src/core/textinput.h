#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QIODevice;

// Reading what a user hands the program as text: a file, standard input, an
// argument. Shared by every reader so that none of them cuts a stream short or
// lets bytes that are not UTF-8 through.
namespace orv {

// Reads the device (open for reading) to its end, but never more than
// limit + 1 bytes: a result longer than limit says that there is more. A pipe
// or another stream that hands its bytes over piece by piece is read until it
// ends, not just once. Empty when reading fails (the device's errorString()
// says why).
std::optional<QByteArray> readAtMost(QIODevice &device, qint64 limit);

// The bytes as UTF-8 text, one leading byte-order mark dropped. Anything that
// is not UTF-8 (a cut or invalid sequence, an encoded surrogate) throws Failure
// "SOURCE is not valid UTF-8 at byte N" (N counts from 1), with the line
// added when the bytes hold more than one.
QString strictUtf8(const QByteArray &bytes, const QString &source);

} // namespace orv
