#include "session/AppPaths.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "io/FileException.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

// The data folder relative to the folder of the installed executable.
#ifndef TERRAX_DATA_FROM_BIN
#define TERRAX_DATA_FROM_BIN "../share/terrax"
#endif

constexpr char kStoreName[] = "Par.txt";

// Paths are UTF-8 texts with "/"; std::filesystem reads a plain std::string
// in the ANSI code page on Windows, so they cross as UTF-8 explicitly.
fs::path PathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string TextOf(const fs::path& path) {
    const std::u8string utf8 = path.generic_u8string();
    return std::string(utf8.begin(), utf8.end());
}

}  // namespace

std::string InstalledDataDir(const std::string& appDir) {
    std::string text = TextOf((PathOf(appDir) / TERRAX_DATA_FROM_BIN).lexically_normal());
    if (text.empty() || text.back() != '/') text += '/';
    return text;
}

std::string HelpPagePath(const std::string& appDir) {
    const std::string beside = appDir + kHelpPageName;
    if (Platform::Exists(beside)) return beside;
    const std::string installed = InstalledDataDir(appDir) + kHelpPageName;
    return Platform::Exists(installed) ? installed : beside;
}

std::string FormatStorePath(const std::string& appDir, const std::string& configFolder) {
    const std::string beside = appDir + kStoreName;
    if (Platform::Exists(beside) || configFolder.empty()) return beside;
    return configFolder + (configFolder.back() == '/' ? "" : "/") + "terrax/" + kStoreName;
}

std::string FormatStorePath(const std::string& appDir) {
    return FormatStorePath(appDir, Platform::UserConfigFolder());
}

std::string WindowSettingsPath(const std::string& appDir, const std::string& configFolder) {
    const std::string store = FormatStorePath(appDir, configFolder);
    return store.substr(0, store.rfind('/') + 1) + "terrax.ini";
}

std::string WindowSettingsPath(const std::string& appDir) {
    return WindowSettingsPath(appDir, Platform::UserConfigFolder());
}

std::string FileDialogFolder(const std::string& appDir, const std::string& homeFolder) {
    // A portable copy keeps its format store beside it; an installed program
    // (help page beside it on Windows, in share/ elsewhere) does not.
    const bool portable = Platform::Exists(appDir + kStoreName);
    if (portable || homeFolder.empty()) return appDir;
    return homeFolder.back() == '/' ? homeFolder : homeFolder + "/";
}

std::string FileDialogFolder(const std::string& appDir) {
    return FileDialogFolder(appDir, Platform::UserHomeFolder());
}

std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(PathOf(path), ec);
    return ec ? path : TextOf(absolute.lexically_normal());
}

bool CreateFoldersFor(const std::string& path, std::string* error) {
    const fs::path folder = PathOf(path).parent_path();
    if (folder.empty()) return true;
    // Outermost missing folder first.
    std::vector<std::string> missing;
    for (fs::path p = folder; !p.empty() && !Platform::Exists(TextOf(p)); p = p.parent_path()) {
        missing.insert(missing.begin(), TextOf(p));
        if (p == p.parent_path()) break;
    }
    for (const std::string& p : missing) {
        if (!Platform::CreateFolder(p) && errno != EEXIST) {
            const int err = errno != 0 ? errno : EIO;
            if (error) {
                *error = CFileException(CFileException::CauseFromErrno(err, true), p, err)
                             .GetErrorMessage();
            }
            return false;
        }
    }
    return true;
}
