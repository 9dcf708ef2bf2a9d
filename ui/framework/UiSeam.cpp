#include "framework/UiSeam.h"

#include "framework/QtUiSeam.h"

namespace {
CUiSeam* g_seam = nullptr;
}

void CUiSeam::ModalStarted(CWnd&) {}

CUiSeam& AfxGetUiSeam() {
    static CQtUiSeam qtSeam;
    return g_seam != nullptr ? *g_seam : qtSeam;
}

CUiSeam* AfxSetUiSeam(CUiSeam* seam) {
    CUiSeam* previous = g_seam;
    g_seam = seam;
    return previous;
}
