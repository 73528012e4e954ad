#pragma once

#include "core/page.h"

// Product details: a column of detail pictures, each with a title and a
// caption, either below the picture (list style) or laid over its upper left
// part in a box as high as the picture (overlay style, which fetches and
// measures every picture).
namespace orv::xijie {

const PageSpec &page();

// The name of the temporary picture file in the private folder.
QString pictureFileName();

Generated btn11Click(PageState &state, const Services &services);

} // namespace orv::xijie
