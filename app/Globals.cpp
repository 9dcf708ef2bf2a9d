#include "app/Globals.h"

#include <unistd.h>

#include <vector>

std::string g_appDir;
std::string g_projectPath = kNoProjectPath;

std::string ExecutableDirectory() {
    std::vector<char> buf(4096);
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return "./";
        if (static_cast<std::size_t>(n) < buf.size()) {
            std::string path(buf.data(), static_cast<std::size_t>(n));
            std::size_t slash = path.rfind('/');
            return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
        }
        buf.resize(buf.size() * 2);
    }
}

void InitGlobals() {
    g_appDir = ExecutableDirectory();
    g_projectPath = kNoProjectPath;
}
