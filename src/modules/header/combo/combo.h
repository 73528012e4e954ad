#pragma once

#include "core/page.h"

// Combo offer: two linked products with a "+" between them and a price column
// with the package's list and offer prices and a buy button.
namespace orv::combo {

// The width of each of the three columns for a shop type: 220 for Taobao,
// 230 for Tmall.
int columnWidth(Shop shop);

const PageSpec &pageSpec();

// Writes the column width into the image width of the metrics and builds
// the offer with it.
Generated generate(PageState &state, const Services &services);

} // namespace orv::combo
