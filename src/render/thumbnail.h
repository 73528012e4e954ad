#pragma once

#include <QByteArray>
#include <QStringList>

// Preview pictures of saved blocks and starter designs: the top of a page,
// drawn by the render layer and scaled down.
namespace orv::render {

struct ThumbnailOptions {
    int width = 240;              // the picture's width in pixels
    int maxHeight = 360;          // at most this many of its rows: the page's top
    int pictureTimeoutMs = 10000; // the time remote pictures get to load, in all
};

// The codes drawn one after the other at pageWidth, as the preview draws the
// module list's summary (placeholder pictures of placeholder.invalid drawn
// without the network, see core/placeholders.h; remote pictures that do not
// load left out), scaled to options.width and cut after options.maxHeight
// rows; as PNG. Runs a local event loop: needs the application object that
// prepareRenderProcess() asks for. Throws Failure.
QByteArray thumbnailPng(const QStringList &codes, int pageWidth, const ThumbnailOptions &options = {});

} // namespace orv::render
