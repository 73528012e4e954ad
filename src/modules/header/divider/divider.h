#pragma once

#include "core/page.h"

// The divider bar: one 40-pixel bar across the page with a highlighted title
// at the left and a line of explanation at the right.
namespace orv::divider {

const PageSpec &pageSpec();

Generated generate(PageState &state, const Services &services);

} // namespace orv::divider
