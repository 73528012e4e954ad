#pragma once

#include "cli/cli.h"

#include <QCoreApplication>

#include <memory>

// The pictures of "render", made with the browser engine off screen. Only
// the executable links this, and only a render run starts the engine: every
// other command runs on Qt Core alone, with or without a display.
namespace orv::cli {

// The application object for a run of these arguments (the program name
// first): a QGuiApplication readied for the browser engine, without a
// display, when the command is render; a QCoreApplication otherwise.
std::unique_ptr<QCoreApplication> makeApplication(int &argc, char **argv);

// Draws the job's page and writes its pictures; exit code 1 when a remote
// picture did not load (unless keepGoing) or drawing, encoding or writing
// failed, 2 when the folder cannot be one, holds an earlier export's pictures
// and overwrite is not set, or holds files that no earlier export listed and
// the pictures would write over (never replaced). Standard output gets the
// lines of pictures.txt (with manifestOnly: slices.json, and no folder is
// touched); warnings (pictures that did not load, PNG written as JPEG, links
// the phone would lose) go to standard error.
Result renderPictures(const RenderJob &job);

} // namespace orv::cli
