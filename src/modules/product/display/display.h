#pragma once

#include "core/page.h"

// The product display: a column of pictures at the total width, as many as
// the count field asks for, taken in order from a pipe list of addresses.
namespace orv::display {

const PageSpec &pageSpec();

// Cleans the address list, then fails on a count that is no whole number or
// on a list shorter than the count. A count of 0 or less gives the empty
// fragment.
Generated generate(PageState &state, const Services &services);

} // namespace orv::display
