#pragma once

#include "core/metrics.h"

#include <QString>

namespace orv::catalog {

// The width in pixels a page lays its fragments out for: the shop's page
// width (750 or 790), except for the size table, the buyer's notice and
// custom HTML, which are always 750 wide. An unknown page id gets the shop's.
int layoutWidth(const QString &pageId, Shop shop);

} // namespace orv::catalog
