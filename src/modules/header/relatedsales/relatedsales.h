#pragma once

#include "core/page.h"

#include <optional>

// Related sales: a row of four or three linked product cards, each with its
// picture, title and price. The style (four or three columns) fixes the card
// count and the card size.
namespace orv::relatedsales {

// Items of the style group.
enum Style { FourColumns = 0, ThreeColumns = 1 };

// What a style makes of a total width: the card count, the total height (shown
// as the sign that a style is chosen) and the picture size of each card.
struct StyleSize {
    int cards = 0;
    int totalHeight = 0;
    int imageWidth = 0;
    int imageHeight = 0;
};

// The size of a style at a total width: 750 is the Taobao row, any other
// width gets the Tmall sizes. Nothing for an index that is no style.
std::optional<StyleSize> styleSize(int style, int totalWidth);

// The metrics with the style's total height, image width and image height
// written in; unchanged when the index is no style.
Metrics withStyle(Metrics metrics, int style);

// The word a module entry added from this page carries after its name:
// "图文四列", "图文三列", or nothing without a style.
QString styleWord(int style);

const PageSpec &pageSpec();

Generated generate(PageState &state, const Services &services);

} // namespace orv::relatedsales
