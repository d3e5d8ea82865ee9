#pragma once

// Whether the window system Qt would connect to is there at all, judged before the application
// object exists: without one Qt ends the process with a fatal error and a core dump, where a
// user (typically logged in over ssh) should read one line that says what is missing.
//
// Only the absence of every display Qt could use is caught; a display that is named but does
// not answer is left to Qt. Platforms that need no display (offscreen, minimal, eglfs, ...)
// always count as usable.

#include <QString>
#include <QStringList>

namespace display_check {

struct Facts
{
    QString platform;       // -platform NAME, else QT_QPA_PLATFORM: "xcb", "wayland;xcb", ...
    QString display;        // -display NAME, else DISPLAY
    QString waylandDisplay; // WAYLAND_DISPLAY
    QString sessionType;    // XDG_SESSION_TYPE
};

// The facts of this process: its command line (program name first) and its environment.
Facts factsOfThisProcess(const QStringList& arguments);

// Empty when some platform Qt would try can open; otherwise why none can, in one line.
QString problem(const Facts& facts);

} // namespace display_check
