#pragma once

#include <QString>
#include <QStringList>

namespace orv {

// Every line followed by CR LF, the last one included.
QString joinLines(const QStringList &lines);

// Cuts a text into lines at CR LF, a lone CR or a lone LF. A final line break
// gives no empty last line; LF followed by CR is two line breaks.
QStringList splitLines(const QString &text);

// A text with every line break (CR LF, CR or LF) written as CR LF: the form in
// which multi-line fields hold their text.
QString toCrLf(const QString &text);

// A text with every line break written as LF, as Qt's plain-text widgets hold it.
QString toLf(const QString &text);

} // namespace orv
