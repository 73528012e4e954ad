#pragma once

#include <QtGlobal>

namespace orv::render {

// What the platform's mobile editor takes. Header only, so that code which
// only checks options (the command line's arguments) needs no rendering.
inline constexpr int maxPictureHeight = 2500;
inline constexpr qint64 maxPictureBytes = 3 * 1024 * 1024;
inline constexpr int minOutputWidth = 480;
inline constexpr int maxOutputWidth = 1500;

} // namespace orv::render
