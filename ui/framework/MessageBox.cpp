#include "ui/framework/MessageBox.h"

#include "ui/framework/UiSeam.h"

namespace {
std::string g_caption;
}

int AfxMessageBox(const std::string& text, UINT nType, UINT) {
    MessageBoxRequest request;
    request.text = text;
    request.type = nType;
    request.caption = g_caption;
    return AfxGetUiSeam().ShowMessageBox(request);
}

void AfxSetMessageBoxCaption(const std::string& caption) { g_caption = caption; }
