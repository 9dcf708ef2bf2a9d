// Opens a file with the desktop's opener (xdg-open; on Windows the shell's
// association), started without a shell, for viewing data files and the help
// page. Tests replace the opener.
#pragma once

#include <functional>
#include <string>

// Starts the opener on `path` and does not wait for it; false when it could
// not be started.
bool AfxOpenWithDesktop(const std::string& path);

// Installs an opener (an empty function: the desktop's) and returns the one it
// replaces.
using DesktopOpener = std::function<bool(const std::string& path)>;
DesktopOpener AfxSetDesktopOpener(DesktopOpener opener);
