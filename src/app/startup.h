#pragma once

namespace orv {

// Prepares the process for the embedded browser: its sandbox cannot run as
// root, and the browser needs shared OpenGL contexts; readies the pictures
// export's off-screen rendering too. Call before QApplication.
void prepareBrowserEnvironment();

// Whether a window system is reachable (an X or Wayland display, or a Qt
// platform chosen explicitly).
bool displayAvailable();

} // namespace orv
