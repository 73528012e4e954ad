#pragma once

#include "core/page.h"

namespace orv {

// The eleven module pages in the order of the page control.
const QList<const PageSpec *> &modulePages();

// The page with the given component name, or nullptr.
const PageSpec *findPage(const QString &name);

} // namespace orv
