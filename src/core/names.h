#pragma once

#include <QString>

namespace orv {

// A name as names are compared (a product sheet's columns, the names in
// slots): without the blanks (codes 1 to 32, and every Unicode space such as
// the ideographic one) at either end.
QString trimmedName(const QString &name);

} // namespace orv
