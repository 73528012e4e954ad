#pragma once

namespace orv {

// Prepares the process for the embedded browser: its sandbox cannot run as
// root (on Unix), and the browser needs shared OpenGL contexts; readies the
// pictures export's off-screen rendering too. Call before QApplication.
void prepareBrowserEnvironment();

// Whether a window system is reachable: always on Windows and macOS;
// elsewhere an X or Wayland display, or a Qt platform chosen explicitly.
bool displayAvailable();

} // namespace orv
