// Process-wide texts of the application.
#pragma once

#include <string>

// Directory of the executable, ending with "/". Set once at start-up.
extern std::string g_appDir;
// Full path of the current project file; kNoProjectPath when there is none.
extern std::string g_projectPath;

// The one-space text that stands for "no project file".
inline constexpr const char kNoProjectPath[] = " ";

inline bool HasProjectPath() { return g_projectPath != kNoProjectPath; }

// The real directory of the running executable, with a trailing "/"; "./" if
// it cannot be found.
std::string ExecutableDirectory();

// Start-up: g_appDir from the executable, g_projectPath = " ".
void InitGlobals();
