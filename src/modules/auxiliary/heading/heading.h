#pragma once

#include "core/page.h"

// The section heading: a centred title over a divider line and a subtitle
// framed by dashes, on a band as wide as the page.
namespace orv::heading {

const PageSpec &pageSpec();

// One line of HTML; every field is inserted as typed. The style choice is not
// read: there is a single style.
Generated generate(PageState &state, const Services &services);

} // namespace orv::heading
