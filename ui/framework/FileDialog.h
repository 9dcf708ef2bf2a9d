// The open and save file dialogs, through the seam of UiSeam.h.
//
// Filters are given as "text|pattern|text|pattern||". A chosen name without
// an extension gets the default extension. With OFN_OVERWRITEPROMPT a save
// dialog that returns an existing file asks "<path> 已存在。\n要替换它吗？"
// (Yes/No); No shows the dialog again.
#pragma once

#include <string>
#include <vector>

#include "ui/resources/WinDef.h"

class CWnd;

struct OPENFILENAME {
    DWORD Flags = 0;
    std::string lpstrTitle;  // empty: the dialog's own title
    std::string lpstrInitialDir;
    std::string lpstrDefExt;
    std::string lpstrFile;  // initial name; the first chosen path after OK
};

class CFileDialog {
public:
    explicit CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt = nullptr,
                         const char* lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         const char* lpszFilter = nullptr, CWnd* pParentWnd = nullptr);

    OPENFILENAME m_ofn;
    // The kind of dialog whose folder the window settings keep ("projects",
    // "points", ...): it opens in the folder last used for that kind, over
    // lpstrInitialDir, and OK keeps the new one. Empty: nothing kept.
    std::string m_folderKind;

    // IDOK or IDCANCEL.
    int DoModal();

    // The (first) chosen full path, its file name and its extension.
    std::string GetPathName() const;
    std::string GetFileName() const;
    std::string GetFileExt() const;
    // Walks the chosen paths: nullptr when there are none or after the last.
    POSITION GetStartPosition() const;
    std::string GetNextPathName(POSITION& pos) const;

private:
    BOOL m_bOpenFileDialog;
    std::string m_filter;
    CWnd* m_pParentWnd;
    std::vector<std::string> m_paths;
};
