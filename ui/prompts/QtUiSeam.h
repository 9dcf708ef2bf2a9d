// The seam of the running program: Qt message boxes and file dialogs with
// the Chinese button texts of the system.
#pragma once

#include "ui/framework/UiSeam.h"

class CQtUiSeam : public CUiSeam {
public:
    int ShowMessageBox(const MessageBoxRequest& request) override;
    bool ShowFileDialog(const FileDialogRequest& request, std::vector<std::string>* paths) override;
};

// Qt's filter list of "text|pattern|...||": "text (pattern)" entries.
std::vector<std::string> AfxQtNameFilters(const std::string& filter);
