// The one seam between the program and the user's answers: message boxes,
// file dialogs, and the start of every modal dialog or sheet. The program
// installs the seam that shows Qt's own dialogs (ui/prompts, CQtUiSeam) at
// start-up; tests install a seam that answers from a script and records what
// was asked.
#pragma once

#include <string>
#include <vector>

#include "ui/resources/WinDef.h"

class CWnd;

struct MessageBoxRequest {
    std::string text;
    std::string caption;
    UINT type = MB_OK;  // MB_ buttons | MB_ICON
};

struct FileDialogRequest {
    bool open = true;    // open or save
    std::string title;   // empty: the system's default title
    std::string filter;  // "text|pattern|...||" as given to CFileDialog
    std::string initialDir;
    std::string defaultExt;  // without the dot; empty for none
    std::string fileName;    // initial file name
    DWORD flags = 0;         // OFN_
    CWnd* parent = nullptr;
};

class CUiSeam {
public:
    virtual ~CUiSeam() = default;
    // Returns the button chosen: IDOK, IDCANCEL, IDYES or IDNO.
    virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
    // Returns false for Cancel. Otherwise `paths` holds the chosen full paths
    // (one, or several with OFN_ALLOWMULTISELECT), as the user gave them.
    virtual bool ShowFileDialog(const FileDialogRequest& request,
                                std::vector<std::string>* paths) = 0;
    // Called from the event loop of a modal dialog or sheet once it runs.
    virtual void ModalStarted(CWnd& window);
};

CUiSeam& AfxGetUiSeam();
// Installs a seam and returns the one it replaces; fatal when a message box
// or file dialog is asked for with none installed.
CUiSeam* AfxSetUiSeam(CUiSeam* seam);
