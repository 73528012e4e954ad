#pragma once

#include "core/page.h"

// The divider bar: one 40-pixel bar across the page with a highlighted title
// at the left and a line of explanation at the right.
namespace orv::fengetiao {

const PageSpec &page();

Generated btn15Click(PageState &state, const Services &services);

} // namespace orv::fengetiao
