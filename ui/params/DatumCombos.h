// The datum combo boxes of the window and the computing dialogs: the five
// entries of their templates, then the user's datums by name.
#pragma once

#include <initializer_list>

class CWnd;

// Brings the entries after the fifth in line with UserDatums().
void ShowUserDatums(const CWnd& dialog, std::initializer_list<int> comboIds);
