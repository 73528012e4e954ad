#pragma once

#include "core/page.h"

// The buyer notice: a fixed table of eight shop policies whose label boxes
// take the colour the user chooses. Always 750 pixels wide.
namespace orv::notice {

const PageSpec &pageSpec();

// The notice's 35 lines, each followed by CR LF; it never changes during a run.
// Its label boxes are coloured "#666666", which the generator replaces.
const QString &buyerNotice();

// Wraps the notice and replaces every "#666666" by the label colour, left to
// right, never searching again inside an inserted colour.
Generated generate(PageState &state, const Services &services);

} // namespace orv::notice
