#pragma once

#include "core/page.h"

// The parameter card: the product picture on the left of a white card and the
// parameter lines, one per displayed line of the memo, on its right.
namespace orv::parameters {

const PageSpec &pageSpec();

// The parameter lines as the field displays them, each followed by "<br>",
// are the card's text; only the outer width follows the shop.
Generated generate(PageState &state, const Services &services);

} // namespace orv::parameters
