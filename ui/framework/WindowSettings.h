// The window's own settings (QSettings in INI format): recent projects, the
// folders of the file dialogs, window sizes. The application names the file
// at start-up; without one nothing is remembered.
#pragma once

#include <QSettings>
#include <memory>
#include <string>

// The settings file, UTF-8 path; "" forgets it.
void AfxSetWindowSettingsFile(const std::string& path);
std::string AfxGetWindowSettingsFile();
// The settings, written back when the object goes; nullptr when no file is set.
std::unique_ptr<QSettings> AfxOpenWindowSettings();
