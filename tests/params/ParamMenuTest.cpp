// The parameter dialogs reached through the menu "坐标转换(&C)" of the real
// main window: each item opens its dialog, Cancel leaves the session as it
// was, OK stores into the window's session, and an armed zone change shows
// in the window's own plane-to-plane conversion.
#include "app/ConvertApp.h"
#include "app/ConvertDlg.h"
#include "framework/PropertySheet.h"
#include "params/ParamCommands.h"
#include "tests/params/ParamsTest.h"

namespace {

class ParamMenuTest : public ParamsTest {
protected:
    // Runs the main window; `act` runs once it is shown, then it is closed.
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

TEST_F(ParamMenuTest, EveryItemOpensItsDialogAndCancelChangesNothing) {
    // Each dialog with an edit typed into before Cancel.
    struct Item {
        UINT command;
        const char* caption;
        int edit;
    };
    const Item items[] = {
        {32771, "投影设置", 1019},         {32773, "坐标系统转换参数", 1075},
        {32772, "地方坐标转换参数", 1019}, {32774, "计算转换参数", 1067},
        {32776, "计算三参数", 1002},       {32777, "计算七参数", 1004},
        {32775, "坐标系参数", 1174},
    };
    RunWindow([&](CWnd& w) {
        for (const Item& item : items) {
            auto run = Next([&item](CWnd& d) {
                EXPECT_EQ(d.GetWindowText(), item.caption);
                auto* sheet = dynamic_cast<CPropertySheet*>(&d);
                ReplaceText(sheet != nullptr ? *sheet->GetPage(0) : d, item.edit, "5");
                Click(d, IDCANCEL);
            });
            ClickMenuItem(w, item.command);
            EXPECT_TRUE(run->ran) << item.caption;
        }
        NextAnswer("转换前投影设置", IDCANCEL);
        NextAnswer("转换后投影设置", IDCANCEL);
        ClickMenuItem(w, 32781);
    });
    const ConversionParams& p = dlg.m_session.m_params;
    const ConversionParams fresh;
    for (int i = 0; i < 7; ++i) EXPECT_EQ(p.m_seven[i], 0.0);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(p.m_local1[i], 0.0);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(p.m_calcFour[i], 0.0);
    EXPECT_EQ(p.m_calcThreeX, 0.0);
    EXPECT_EQ(p.m_calcSevenX[0], 0.0);
    EXPECT_EQ(p.m_projBefore.yConstant, fresh.m_projBefore.yConstant);
    EXPECT_EQ(p.m_projBefore.centralMeridian, fresh.m_projBefore.centralMeridian);
    EXPECT_EQ(dlg.m_session.m_zoneChange, 0);
}

TEST_F(ParamMenuTest, OkInEachSettingsDialogStoresIntoTheWindowsSession) {
    RunWindow([&](CWnd& w) {
        Next([](CWnd& d) {
            ReplaceText(d, 1059, "117:00:00");
            Click(d, IDOK);
        });
        ClickMenuItem(w, 32771);
        Next([](CWnd& d) {
            ReplaceText(d, 1078, "-000:00:01.500000");
            ReplaceText(d, 1060, "4e-6");
            Click(d, IDOK);
        });
        ClickMenuItem(w, 32773);
        Next([](CWnd& d) {
            auto& sheet = dynamic_cast<CPropertySheet&>(d);
            ReplaceText(*sheet.GetPage(0), 1065, "1.25");
            SelectTab(d, AFX_IDC_TAB_CONTROL, 1);
            ReplaceText(*sheet.GetPage(1), 1064, "-000:30:00");
            Click(d, IDOK);
        });
        ClickMenuItem(w, 32772);
    });
    const ConversionParams& p = dlg.m_session.m_params;
    EXPECT_DOUBLE_EQ(p.m_projBefore.centralMeridian, 117.0);
    EXPECT_DOUBLE_EQ(p.m_seven[3], -1.5 * kArcSecond);
    EXPECT_EQ(p.m_seven[6], 4e-6);
    EXPECT_EQ(p.m_local1[3], 1.25);
    EXPECT_DOUBLE_EQ(p.m_local2[2], -0.5 * kDegToRad);
}

TEST_F(ParamMenuTest, ComputingCommandsOpenTheirSettingsOrReportAFailure) {
    RunWindow([&](CWnd& w) {
        // Three parameters from the untouched inputs, then the settings.
        NextAnswer("计算三参数", IDOK);
        NextAnswer("坐标系统转换参数", IDOK);
        ClickMenuItem(w, 32776);
        EXPECT_NE(dlg.m_session.m_params.m_seven[0], 0.0);

        // Four parameters from two points one unit apart, then the sheet.
        Next([](CWnd& d) {
            ReplaceText(d, 1073, "1");  // before: (0, 0), (1, 0)
            ReplaceText(d, 1069, "2");  // after: (0, 0), (2, 0)
            Click(d, IDOK);
        });
        NextAnswer("地方坐标转换参数", IDOK);
        ClickMenuItem(w, 32774);
        EXPECT_DOUBLE_EQ(dlg.m_session.m_params.m_local1[3], 2.0);

        // Seven parameters from three equal points: a message, no settings.
        const double dX = dlg.m_session.m_params.m_seven[0];
        Prompts().AnswerMessageBox(IDOK);
        NextAnswer("计算七参数", IDOK);
        ClickMenuItem(w, 32777);
        ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
        EXPECT_EQ(Prompts().MessageBoxes()[0].text, ParamCommands::kSevenNotDetermined);
        EXPECT_EQ(dlg.m_session.m_params.m_seven[0], dX);
    });
}

TEST_F(ParamMenuTest, AnArmedZoneChangeConvertsThe3DegreeZoneInto6DegreesInTheWindow) {
    double a, rf;
    CGeoCore::DatumTable(0, &a, &rf);
    const CGeoCore geo;
    const double B = 28.5 * kDegToRad, L = 112.25 * kDegToRad;
    double x3, y3, x6, y6;
    geo.GaussForward(a, rf, B, L, 114.0 * kDegToRad, &x3, &y3);
    geo.GaussForward(a, rf, B, L, 111.0 * kDegToRad, &x6, &y6);
    RunWindow([&](CWnd& w) {
        NextAnswer("转换前投影设置", IDOK);
        Next([](CWnd& d) {
            EXPECT_EQ(d.GetWindowText(), "转换后投影设置");
            Click(d, 1013);
            ReplaceText(d, 1059, "111:00:00");
            Click(d, IDOK);
        });
        ClickMenuItem(w, 32781);
        EXPECT_EQ(dlg.m_session.m_zoneChange, 2);
        ReplaceText(w, 1002, FormatFixed(x3, 6));
        ReplaceText(w, 1003, FormatFixed(y3 + 500000.0, 6));
        ReplaceText(w, 1004, "3");
        Click(w, 1015);
        EXPECT_NEAR(AsciiToDouble(ControlText(w, 1017)), x6, 1e-3);
        EXPECT_NEAR(AsciiToDouble(ControlText(w, 1019)), y6 + 500000.0, 1e-3);
        EXPECT_EQ(ControlText(w, 1021), "3.000000");
    });
}

}  // namespace
