#include "ui/framework/WindowSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

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

std::string AfxRememberedFolder(const std::string& kind) {
    auto settings = AfxOpenWindowSettings();
    if (settings == nullptr) return {};
    const QString folder = settings->value("folders/" + ToQString(kind)).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return {};
    return FromQString(folder);
}

void AfxRememberFolderOf(const std::string& kind, const std::string& path) {
    auto settings = AfxOpenWindowSettings();
    if (settings == nullptr || path.empty()) return;
    QString folder = QFileInfo(ToQString(path)).absolutePath();
    if (!folder.endsWith('/')) folder += '/';
    settings->setValue("folders/" + ToQString(kind), folder);
}

std::vector<std::string> AfxReadSettingsList(const std::string& key) {
    std::vector<std::string> values;
    auto settings = AfxOpenWindowSettings();
    if (settings == nullptr) return values;
    for (const QString& value : settings->value(ToQString(key)).toStringList()) {
        values.push_back(FromQString(value));
    }
    return values;
}

void AfxWriteSettingsList(const std::string& key, const std::vector<std::string>& values) {
    auto settings = AfxOpenWindowSettings();
    if (settings == nullptr) return;
    QStringList list;
    for (const std::string& value : values) list << ToQString(value);
    settings->setValue(ToQString(key), list);
}
