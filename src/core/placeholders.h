#pragma once

#include <QString>
#include <QStringView>

// Placeholder pictures: addresses that stand for pictures the seller has yet
// to upload, as the starter designs hold them. The convention:
//
//   https://placeholder.invalid/750x500.jpg     a picture 750 wide, 500 high
//   https://placeholder.invalid/750x500/主图.jpg  the same, with a word
//
// Any address on a host under ".invalid" (a name that never resolves) or
// under example.com, .net or .org is a placeholder: the page check names its
// pictures as such. Those on placeholder.invalid that give a size can be
// drawn without the network (previews of blocks and designs).
namespace orv {

// Whether a host (lower case, as the page check reads it) holds placeholders.
bool isPlaceholderHost(QStringView host);

// The html with every address https://placeholder.invalid/WxH... replaced by
// a grey picture of that size saying so (an SVG data: address), so that it
// draws the same without the network. Sizes from 1 to 4000.
QString withDrawnPlaceholders(const QString &html);

} // namespace orv
