// A status line at the bottom of a dialog, below its template's controls:
// one line of text, selectable so that it can be copied.
#pragma once

#include <string>

class CDialog;

// Shows `text` in the dialog's status line, adding the line the first time
// (the window grows by its height). The dialog must be open.
void AfxSetStatusText(CDialog& dialog, const std::string& text);
// The text shown; empty when the dialog has no status line.
std::string AfxGetStatusText(const CDialog& dialog);
