// The window's own settings (QSettings in INI format): recent projects, the
// folders of the file dialogs, window sizes. The application names the file
// at start-up; without one nothing is remembered.
#pragma once

#include <QSettings>
#include <memory>
#include <string>
#include <vector>

// The settings file, UTF-8 path; "" forgets it.
void AfxSetWindowSettingsFile(const std::string& path);
std::string AfxGetWindowSettingsFile();
// The settings, written back when the object goes; nullptr when no file is set.
std::unique_ptr<QSettings> AfxOpenWindowSettings();

// The folder last used by the file dialogs of one kind ("projects",
// "points", ...); empty when none was kept or it is no folder any more.
std::string AfxRememberedFolder(const std::string& kind);
// Keeps the folder of `path`, a file chosen in a dialog of that kind.
void AfxRememberFolderOf(const std::string& kind, const std::string& path);

// A list of texts and a text under a key; empty when absent.
std::vector<std::string> AfxReadSettingsList(const std::string& key);
void AfxWriteSettingsList(const std::string& key, const std::vector<std::string>& values);
