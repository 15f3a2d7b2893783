#pragma once

#include <QString>

// Whether a window system can be reached, answered before QApplication exists: Qt ends the process
// when its platform plugin cannot start, so the program asks first and says plainly what it needs.
namespace displaycheck {

// The one-line message for a start where no display can be opened.
QString message(const QString &reason);

// Empty when a display may be opened; otherwise why not. Reads QT_QPA_PLATFORM, DISPLAY and
// WAYLAND_DISPLAY: a platform named in QT_QPA_PLATFORM is taken as given (Qt reports its own
// failure through guardPlatformStart); without one, DISPLAY or WAYLAND_DISPLAY must be set.
QString missingDisplay();

// Around QApplication's construction: while armed, Qt's messages are held back, and a fatal one
// (the platform plugin failed) prints message() on stderr and ends the process with exitCode.
// disarm() hands the held messages to the previous handler.
void armPlatformGuard(int exitCode);
void disarmPlatformGuard();

} // namespace displaycheck
