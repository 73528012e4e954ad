#pragma once

#include "core/page.h"

// The size table: a fixed chart of five sizes, always 750 pixels wide.
namespace orv::sizetable {

const PageSpec &pageSpec();

// The chart's 54 lines, each followed by CR LF; it never changes during a run.
const QString &sizeTable();

// The fragment is the chart, whatever the shop type or the style choice.
Generated generate(PageState &state, const Services &services);

} // namespace orv::sizetable
