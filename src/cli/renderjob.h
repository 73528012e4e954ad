#pragma once

#include "render/picturelimits.h"

#include <QString>
#include <QStringList>

namespace orv::cli {

// What "render" asks for once its arguments and the project are read: the
// page and where and how its pictures go. The pictures themselves are made by
// Context::render, so that everything before needs no browser engine.
struct RenderJob {
    QStringList entries; // the entries' codes in list order, as 汇总 puts them together
    int pageWidth = 750;
    QString folder;
    int outputWidth = 0; // 480 to 1500; 0 for the page width
    bool png = false;
    bool keepGoing = false; // write the pictures even when remote pictures failed to load
    bool overwrite = false; // replace an earlier set of pictures in the folder
    int pictureTimeoutMs = 30000;
    int maxPictureHeight = render::defaultPictureHeight; // or render::maxPictureHeight
    bool manifestOnly = false;                           // slices.json on standard output; no pictures, no folder
    QStringList entryNames;                              // the entries' names, for the link warnings

    bool operator==(const RenderJob &) const = default;
};

} // namespace orv::cli
