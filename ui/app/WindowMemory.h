// What the main window keeps in its own settings (WindowSettings.h) from one
// run to the next: the recent projects and the batch's chosen format. Never
// in a project file.
#pragma once

#include <string>
#include <vector>

#include "session/ConversionSession.h"

// Kinds of file dialogs whose folders are kept (CFileDialog::m_folderKind).
inline constexpr char kProjectFolders[] = "projects";
inline constexpr char kPointFolders[] = "points";

std::vector<std::string> LoadRecentProjects();
void StoreRecentProjects(const std::vector<std::string>& paths);

// False, leaving `choice` as it is, when no format was kept.
bool LoadFormatChoice(FormatChoice* choice);
void StoreFormatChoice(const FormatChoice& choice);
