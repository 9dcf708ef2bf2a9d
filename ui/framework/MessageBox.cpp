#include "framework/MessageBox.h"

#include "framework/UiSeam.h"
#include "framework/WinApp.h"

int AfxMessageBox(const std::string& text, UINT nType, UINT) {
    MessageBoxRequest request;
    request.text = text;
    request.type = nType;
    if (CWinApp* app = AfxGetApp()) request.caption = app->m_pszAppName;
    return AfxGetUiSeam().ShowMessageBox(request);
}
