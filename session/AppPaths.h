// Where the program finds its help page and keeps its format store, for the
// window and for terrax-convert alike.
//
// Help page: beside the executable (build tree, portable copy), else in the
// installed data folder (share/terrax/ beside the bin/ of the executable).
//
// Format store "Par.txt": beside the executable when it exists there (a
// portable copy); otherwise in the user's settings folder
// (Platform::UserConfigFolder: $XDG_CONFIG_HOME/terrax/ or ~/.config/terrax/,
// on Windows %APPDATA%\terrax\). Without one the store stays beside the
// executable.
//
// File dialogs: they open beside the executable in a portable copy (one
// with its format store beside it), which keeps its files there; an
// installed program's folder holds none of the user's, so there they open
// in the user's home folder.
//
// Paths are UTF-8 texts with "/" between folders.
#pragma once

#include <string>

// File name of the help page.
inline constexpr const char kHelpPageName[] = "坐标转换问题.htm";

// The help page for an executable in `appDir` (ending with "/"); the path
// beside the executable when neither place holds the page.
std::string HelpPagePath(const std::string& appDir);

// The installed data folder for an executable in `appDir`, ending with "/".
std::string InstalledDataDir(const std::string& appDir);

// The format store for an executable in `appDir`, in this user's settings
// folder unless one lies beside the executable.
std::string FormatStorePath(const std::string& appDir);
// The same with the settings folder given ("" for none).
std::string FormatStorePath(const std::string& appDir, const std::string& configFolder);

// The window's own settings (recent projects, folders of the file dialogs,
// window sizes): "terrax.ini" in the folder of the format store. Never in a
// project file.
std::string WindowSettingsPath(const std::string& appDir);
std::string WindowSettingsPath(const std::string& appDir, const std::string& configFolder);

// The folder the file dialogs open in for an executable in `appDir`:
// `appDir` for a portable copy (a format store beside the executable), else
// the home folder.
std::string FileDialogFolder(const std::string& appDir);
// The same with the home folder given ("" for none).
std::string FileDialogFolder(const std::string& appDir, const std::string& homeFolder);

// `path` made absolute against the current folder, without "." and "..".
std::string AbsolutePath(const std::string& path);

// Creates the missing folders above `path` (a file), each readable by its
// owner only. Returns false with the user's message in `error`.
bool CreateFoldersFor(const std::string& path, std::string* error);
