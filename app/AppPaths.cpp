#include "app/AppPaths.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "framework/FileException.h"

namespace fs = std::filesystem;

namespace {

// The data folder relative to the folder of the installed executable.
#ifndef TERRAX_DATA_FROM_BIN
#define TERRAX_DATA_FROM_BIN "../share/terrax"
#endif

constexpr char kStoreName[] = "Par.txt";

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::path(path), ec);
}

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

std::string InstalledDataDir(const std::string& appDir) {
    fs::path dir = (fs::path(appDir) / TERRAX_DATA_FROM_BIN).lexically_normal();
    std::string text = dir.string();
    if (text.empty() || text.back() != '/') text += '/';
    return text;
}

std::string HelpPagePath(const std::string& appDir) {
    const std::string beside = appDir + kHelpPageName;
    if (Exists(beside)) return beside;
    const std::string installed = InstalledDataDir(appDir) + kHelpPageName;
    return Exists(installed) ? installed : beside;
}

std::string FormatStorePath(const std::string& appDir, const std::string& configHome,
                            const std::string& home) {
    const std::string beside = appDir + kStoreName;
    if (Exists(beside)) return beside;
    std::string config;
    if (!configHome.empty() && configHome.front() == '/') {
        config = configHome;
    } else if (!home.empty()) {
        config = home + (home.back() == '/' ? "" : "/") + ".config";
    } else {
        return beside;
    }
    if (config.back() != '/') config += '/';
    return config + "terrax/" + kStoreName;
}

std::string FormatStorePath(const std::string& appDir) {
    return FormatStorePath(appDir, Variable("XDG_CONFIG_HOME"), Variable("HOME"));
}

std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(fs::path(path), ec);
    return ec ? path : absolute.lexically_normal().string();
}

bool CreateFoldersFor(const std::string& path, std::string* error) {
    const fs::path folder = fs::path(path).parent_path();
    if (folder.empty()) return true;
    // Outermost missing folder first.
    std::vector<fs::path> missing;
    for (fs::path p = folder; !p.empty() && !Exists(p.string()); p = p.parent_path()) {
        missing.insert(missing.begin(), p);
        if (p == p.parent_path()) break;
    }
    for (const fs::path& p : missing) {
        std::error_code ec;
        if (!fs::create_directory(p, ec) && ec) {
            const int err = ec.value() != 0 ? ec.value() : EIO;
            if (error) {
                *error = CFileException(CFileException::CauseFromErrno(err, true), p.string(), err)
                             .GetErrorMessage();
            }
            return false;
        }
        fs::permissions(p, fs::perms::owner_all, fs::perm_options::replace, ec);
    }
    return true;
}
