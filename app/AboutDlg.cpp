#include "app/AboutDlg.h"

CAboutDlg::CAboutDlg() : CDialog(100) {}
