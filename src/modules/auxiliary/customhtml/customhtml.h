#pragma once

#include "core/page.h"

// Custom HTML: the user's own code wrapped in a one-cell table 750 wide.
namespace orv::customhtml {

const PageSpec &pageSpec();

// Sets the buffer only; the fragment is not previewed.
Generated generate(PageState &state, const Services &services);

} // namespace orv::customhtml
