// Message boxes, through the seam of UiSeam.h.
#pragma once

#include <string>

#include "ui/resources/WinDef.h"

// nType: MB_OK, MB_OKCANCEL, MB_YESNO or MB_YESNOCANCEL, with an MB_ICON
// value (a box that names none shows the exclamation mark, or the question
// mark for Yes/No). Returns IDOK, IDCANCEL, IDYES or IDNO. The caption is the
// application's name.
int AfxMessageBox(const std::string& text, UINT nType = MB_OK, UINT nIDHelp = 0);

// The caption of every message box; the application object sets its name.
void AfxSetMessageBoxCaption(const std::string& caption);
