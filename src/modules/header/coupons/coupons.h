#pragma once

#include "core/page.h"

// Coupons: a row of exactly three linked coupon cards, each with a vertical
// claim tab, the amount, the word "优惠券" and a line of conditions.
namespace orv::coupons {

const PageSpec &pageSpec();

Generated generate(PageState &state, const Services &services);

} // namespace orv::coupons
