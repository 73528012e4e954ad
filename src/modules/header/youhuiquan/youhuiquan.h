#pragma once

#include "core/page.h"

// Coupons: a row of exactly three linked coupon cards, each with a vertical
// claim tab, the amount, the word "优惠券" and a line of conditions.
namespace orv::youhuiquan {

const PageSpec &page();

Generated btn16Click(PageState &state, const Services &services);

} // namespace orv::youhuiquan
