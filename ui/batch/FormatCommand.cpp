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
    ConversionParams& p = s.m_params;
    CFileFormatDlg dlg;
    dlg.m_naming = p.m_naming;
    dlg.m_selected = p.m_formatIndex;

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

    for (int k = 0; k < 3; ++k) p.m_column[k] = dlg.m_column[k];
    p.m_formatName = dlg.m_chosenName;
    p.m_formatExtension = dlg.m_chosenExtension;
    p.m_formatSeparator = dlg.m_chosenSeparator;
    p.m_naming = dlg.m_naming;
    p.m_formatIndex = dlg.m_selected;
    return true;
}

}  // namespace FormatCommand
