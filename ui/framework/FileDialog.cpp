#include "ui/framework/FileDialog.h"

#include "platform/Platform.h"
#include "ui/framework/UiSeam.h"
#include "ui/framework/WindowSettings.h"

namespace {

// The file name: what follows the last "/".
std::string NamePart(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WithDefaultExtension(const std::string& path, const std::string& ext) {
    if (ext.empty()) return path;
    std::string name = NamePart(path);
    if (name.empty() || name.find('.') != std::string::npos) return path;
    return path + "." + ext;
}

}  // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName,
                         DWORD dwFlags, const char* lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_pParentWnd(pParentWnd) {
    m_ofn.Flags = dwFlags;
    if (lpszDefExt != nullptr) m_ofn.lpstrDefExt = lpszDefExt;
    if (lpszFileName != nullptr) m_ofn.lpstrFile = lpszFileName;
    if (lpszFilter != nullptr) m_filter = lpszFilter;
}

int CFileDialog::DoModal() {
    FileDialogRequest request;
    request.open = m_bOpenFileDialog != FALSE;
    request.title = m_ofn.lpstrTitle;
    request.filter = m_filter;
    request.initialDir = m_ofn.lpstrInitialDir;
    if (!m_folderKind.empty()) {
        const std::string kept = AfxRememberedFolder(m_folderKind);
        if (!kept.empty()) request.initialDir = kept;
    }
    request.defaultExt = m_ofn.lpstrDefExt;
    request.fileName = m_ofn.lpstrFile;
    request.flags = m_ofn.Flags;
    request.parent = m_pParentWnd;
    for (;;) {
        std::vector<std::string> paths;
        if (!AfxGetUiSeam().ShowFileDialog(request, &paths) || paths.empty()) return IDCANCEL;
        for (std::string& path : paths) path = WithDefaultExtension(path, m_ofn.lpstrDefExt);
        if (!request.open && (m_ofn.Flags & OFN_OVERWRITEPROMPT) && paths.size() == 1) {
            if (Platform::Exists(paths.front())) {
                MessageBoxRequest question;
                question.text = paths.front() + " 已存在。\n要替换它吗？";
                question.caption = request.title.empty() ? "另存为" : request.title;
                question.type = MB_YESNO | MB_ICONWARNING;
                if (AfxGetUiSeam().ShowMessageBox(question) != IDYES) {
                    request.fileName = paths.front();
                    continue;
                }
            }
        }
        m_paths = std::move(paths);
        m_ofn.lpstrFile = m_paths.front();
        if (!m_folderKind.empty()) AfxRememberFolderOf(m_folderKind, m_paths.front());
        return IDOK;
    }
}

std::string CFileDialog::GetPathName() const {
    return m_paths.empty() ? std::string() : m_paths.front();
}

std::string CFileDialog::GetFileName() const { return NamePart(GetPathName()); }

std::string CFileDialog::GetFileExt() const {
    std::string name = GetFileName();
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

POSITION CFileDialog::GetStartPosition() const {
    return m_paths.empty() ? nullptr : reinterpret_cast<POSITION>(std::uintptr_t{1});
}

std::string CFileDialog::GetNextPathName(POSITION& pos) const {
    auto index = reinterpret_cast<std::uintptr_t>(pos);
    if (index == 0 || index > m_paths.size()) {
        pos = nullptr;
        return {};
    }
    std::string path = m_paths[index - 1];
    pos = index < m_paths.size() ? reinterpret_cast<POSITION>(index + 1) : nullptr;
    return path;
}
