#pragma once

#include <QString>

// Where the single-instance socket of the desktop application lives. Only
// launches of one login session on one display meet there: the socket sits
// in the session's runtime folder ($XDG_RUNTIME_DIR), or, without a usable
// one, in the temporary folder with the user id in its name; the display
// (Wayland or X11) is part of the name either way, so a launch on another
// desktop of the same user opens its own window.
QString instanceSocketPath(const QString& runtimeDir, const QString& tempDir, uint userId,
                           const QString& display);
// The same for this process's environment.
QString instanceSocketPath();
