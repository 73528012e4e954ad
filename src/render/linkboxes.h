#pragma once

#include "core/check/linkcheck.h"

#include <QJsonArray>

#include <limits>

namespace orv::render {

// The links of scripts::linkBoxes' result that a hot area can keep
// (check::hotAreaAddress), their boxes cut to the page's rows [0,
// pageHeight); empty boxes go. The renderer reads its measure with it, and
// the window its preview's (scripts::linkBoxesScript()).
QList<check::LinkBox> readLinkBoxes(const QJsonArray &links,
                                    double pageHeight = std::numeric_limits<double>::infinity());

} // namespace orv::render
