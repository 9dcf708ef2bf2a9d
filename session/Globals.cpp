#include "session/Globals.h"

#include "platform/Platform.h"

std::string g_appDir;
std::string g_projectPath = kNoProjectPath;

std::string ExecutableDirectory() {
    const std::string path = Platform::ExecutablePath();
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

void InitGlobals() {
    g_appDir = ExecutableDirectory();
    g_projectPath = kNoProjectPath;
}
