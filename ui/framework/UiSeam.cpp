#include "ui/framework/UiSeam.h"

#include "ui/framework/Fatal.h"

namespace {
CUiSeam* g_seam = nullptr;
}

void CUiSeam::ModalStarted(CWnd&) {}

CUiSeam& AfxGetUiSeam() {
    if (g_seam == nullptr) AfxFatal("no seam for message boxes and file dialogs is installed");
    return *g_seam;
}

CUiSeam* AfxSetUiSeam(CUiSeam* seam) {
    CUiSeam* previous = g_seam;
    g_seam = seam;
    return previous;
}
