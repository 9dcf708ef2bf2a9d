// Fixture of the parameter tests that go through the real main window.
#pragma once

#include <functional>

#include "tests/ui/params/ParamsTest.h"
#include "ui/app/ConvertApp.h"
#include "ui/app/ConvertDlg.h"

// The parameter dialogs reached through the main window's menu.
class MainWindowParamsTest : public ParamsTest {
protected:
    // Runs the main window; `act` runs once it is shown.
    void RunWindow(const std::function<void(CWnd&)>& act) {
        auto run = Next(act);
        app.m_pMainWnd = &dlg;
        dlg.DoModal();
        app.m_pMainWnd = nullptr;
        EXPECT_TRUE(run->ran);
    }

    CConvertApp app;
    CConvertDlg dlg;
};
