#pragma once

#include <QUrl>

// The addresses behind the start page and the menu bar, kept in one place.
// The start page, the announcements and the tutorial are built into the
// program so that it is useful offline; the home page and the download page
// are set by packagers (ORVANTA_HOME_URL, ORVANTA_DOWNLOAD_URL at configure
// time) and fall back to the built-in pages when unset.
namespace orv::links {

QUrl startPage();
QUrl announcements();
QUrl tutorial();
QUrl downloadPage();
// Empty when the build sets no home page.
QUrl homePage();

} // namespace orv::links
