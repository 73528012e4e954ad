#pragma once

#include "core/page.h"

// Combo offer: two linked products with a "+" between them and a price column
// with the package's list and offer prices and a buy button.
namespace orv::dapei {

// The width of each of the three columns for a shop type: "220" for Taobao,
// "230" for Tmall.
QString columnWidth(int shopType);

const PageSpec &page();

// Writes the column width into the image width of the metrics and builds
// the offer with it.
Generated btn7Click(PageState &state, const Services &services);

} // namespace orv::dapei
