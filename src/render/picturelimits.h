#pragma once

#include <QtGlobal>

namespace orv::render {

// What the platform's editors take. Header only, so that code which only
// checks options (the command line's arguments) needs no rendering.
// The height limits a picture may be cut to: the newer description editor
// (one description for computer and phone, of pictures) takes at most 2000
// rows, the older mobile description 2500. 2000 fits both and is the default.
inline constexpr int defaultPictureHeight = 2000;
inline constexpr int maxPictureHeight = 2500;
inline constexpr qint64 maxPictureBytes = 3 * 1024 * 1024;
inline constexpr int minOutputWidth = 480;
inline constexpr int maxOutputWidth = 1500;

} // namespace orv::render
