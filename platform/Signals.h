// How the program learns that it must end from outside: termination signals and the display
// going away. Both are delivered as ordinary calls on the user-interface thread's main loop (the
// X one from Xlib's I/O-error callback), never inside a signal handler. Also the choice of GDK's
// X11 backend, which must precede GTK's start.
#pragma once
#include <functional>

namespace platform {

// Before GTK starts: the program speaks X11 (window search by title, client messages).
void SelectX11Backend();

// SIGTERM, SIGHUP and SIGINT call `onTerminate(signal)` from the main loop. Call after the
// toolkit has started.
void InstallTerminationHandler(std::function<void(int)> onTerminate);

// The X connection broke (the session ended): `onLost` runs, then the process ends with status 0.
// Nothing in `onLost` may talk to the display.
void InstallDisplayLostHandler(std::function<void()> onLost);

}  // namespace platform
