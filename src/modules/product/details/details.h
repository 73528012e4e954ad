#pragma once

#include "core/page.h"

// Product details: a column of detail pictures, each with a title and a
// caption, either below the picture (list style) or laid over its upper left
// part in a box as high as the picture (overlay style, which fetches and
// measures every picture).
namespace orv::details {

// Items of the style group.
enum Style { List = 0, Overlay = 1 };

const PageSpec &pageSpec();

Generated generate(PageState &state, const Services &services);

} // namespace orv::details
