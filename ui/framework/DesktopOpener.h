// Opens a file with the desktop's opener (xdg-open; on Windows the shell's
// association), started without a shell, for viewing data files and the help
// page. When the opener cannot be started, or ends at once with a failure
// (no program for the file), a message says so, naming the file. Tests
// replace the opener.
#pragma once

#include <functional>
#include <string>

// Starts the opener on `path` and does not wait for it; false, after the
// message, when it could not be started.
bool AfxOpenWithDesktop(const std::string& path);

// The message for a file the opener could not open.
std::string AfxOpenFailedText(const std::string& path);

// Installs an opener (an empty function: the desktop's) and returns the one it
// replaces. An opener returns false when it could not open the file.
using DesktopOpener = std::function<bool(const std::string& path)>;
DesktopOpener AfxSetDesktopOpener(DesktopOpener opener);
