#pragma once

#include "core/page.h"

// The section heading: a centred title over a divider line and a subtitle
// framed by dashes, on a band as wide as the page.
namespace orv::yangshi {

const PageSpec &page();

// One line of HTML; every field is inserted as typed. The style choice rg10 is
// not read: there is a single style.
Generated btn21Click(PageState &state, const Services &services);

} // namespace orv::yangshi
