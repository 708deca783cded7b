#pragma once
// The command line, read before the interface starts: --help and --version print and end the
// program without a display, and a start with no graphical session to show the windows on says
// so in one line instead of letting the platform plugin abort.

#include <QString>

#include <optional>

namespace app {

// Whether the platforms Qt would try (QT_QPA_PLATFORM or -platform: names separated by ';',
// empty for the default) all need a display server of which none is named: xcb without DISPLAY,
// wayland without WAYLAND_DISPLAY. Other platforms (offscreen, vnc, eglfs, ...) need none.
bool graphicalSessionMissing(const QString& platforms, bool hasX11Display, bool hasWaylandDisplay);

// Reads the arguments. Returns the exit code when the program ends here (after --help or
// --version, a bad argument, or no graphical session), nothing when the interface should start.
std::optional<int> handleCommandLine(int argc, char** argv);

} // namespace app
