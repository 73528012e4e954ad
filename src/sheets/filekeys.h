#pragma once

// The parts of fileKeys (sheet.h), for callers that name files from other
// texts the same way.

#include "sheets/sheet.h"

namespace orv::sheets {

// A key is cut to this many bytes of UTF-8, below every system's limit for a
// file name with room for "-999" and an extension.
constexpr qsizetype maxKeyBytes = 120;

// The key as a file name, or empty when nothing of it is left: characters
// that Windows forbids in names ("<>:\"/\\|?*"), control and format
// characters become "_"; blanks at either end and dots and blanks at its end
// go; a leading dot becomes "_" (no hidden files, no "." or ".."); a device
// name (CON, NUL, COM1..., with or without extension, any case) gets a
// leading "_"; at most maxKeyBytes.
QString safeFileName(const QString &key);

// The names made unique regardless of case, in order: a name taken before
// gets the first free "-2", "-3"...
QStringList uniqueFileNames(const QStringList &names);

} // namespace orv::sheets
