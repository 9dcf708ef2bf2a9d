#include "ui/framework/WindowSettings.h"

#include "ui/framework/qt/QtGlue.h"

namespace {
std::string g_file;
}

void AfxSetWindowSettingsFile(const std::string& path) { g_file = path; }

std::string AfxGetWindowSettingsFile() { return g_file; }

std::unique_ptr<QSettings> AfxOpenWindowSettings() {
    if (g_file.empty()) return nullptr;
    return std::make_unique<QSettings>(ToQString(g_file), QSettings::IniFormat);
}
