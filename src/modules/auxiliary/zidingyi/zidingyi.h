#pragma once

#include "core/page.h"

// Custom HTML: the user's own code wrapped in a one-cell table 750 wide.
namespace orv::zidingyi {

const PageSpec &page();

// Sets the buffer only; the fragment is not previewed.
Generated btn23Click(PageState &state, const Services &services);

} // namespace orv::zidingyi
