#include "ui/batch/FormatCommand.h"

#include <string>

#include "batch/FormatStore.h"
#include "session/AppPaths.h"
#include "session/ConversionSession.h"
#include "session/Globals.h"
#include "ui/batch/FileFormatDlg.h"
#include "ui/framework/MessageBox.h"

namespace FormatCommand {

bool OnFormat(ConversionSession& s) {
    FormatChoice& fmt = s.m_format;
    CFileFormatDlg dlg;
    dlg.m_naming = fmt.m_naming;
    dlg.m_selected = fmt.m_formatIndex;

    const std::string path = FormatStorePath(g_appDir);
    std::string error;
    if (LoadFormatStore(path, &dlg.m_formats, &error) == StoreStatus::Failed) {
        AfxMessageBox(error, MB_OK | MB_ICONSTOP);
        return false;
    }
    if (dlg.DoModal() != IDOK) return false;
    if (!CreateFoldersFor(path, &error) || !SaveFormatStore(path, dlg.m_formats, &error)) {
        AfxMessageBox(error, MB_OK | MB_ICONSTOP);
        return false;
    }
    if (!dlg.m_formatChosen) return false;

    for (int k = 0; k < 3; ++k) fmt.m_column[k] = dlg.m_column[k];
    fmt.m_formatName = dlg.m_chosenName;
    fmt.m_formatExtension = dlg.m_chosenExtension;
    fmt.m_formatSeparator = dlg.m_chosenSeparator;
    fmt.m_naming = dlg.m_naming;
    fmt.m_formatIndex = dlg.m_selected;
    return true;
}

}  // namespace FormatCommand
