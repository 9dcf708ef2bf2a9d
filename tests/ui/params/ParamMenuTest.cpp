// The parameter dialogs reached through the menu "坐标转换(&C)" of the real
// main window: each item opens its dialog, Cancel leaves the session as it
// was, OK stores into the window's session, and an armed zone change shows
// in the window's own plane-to-plane conversion.
#include "tests/ui/params/MainWindowParamsTest.h"
#include "ui/framework/PropertySheet.h"
#include "ui/params/ParamCommands.h"

namespace {

// Every value that a parameter dialog edits, remembered inputs included.
void ExpectSameParameters(const ConversionSession& sa, const ConversionSession& sb) {
    const ConversionParams& pa = sa.m_params;
    const ConversionParams& pb = sb.m_params;
    for (int i = 0; i < 7; ++i) EXPECT_EQ(pa.m_seven[i], pb.m_seven[i]) << "seven " << i;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pa.m_local1[i], pb.m_local1[i]) << "level 1, " << i;
        EXPECT_EQ(pa.m_local2[i], pb.m_local2[i]) << "level 2, " << i;
    }
    const RememberedInputs& a = sa.m_inputs;
    const RememberedInputs& b = sb.m_inputs;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(a.m_calcSevenB[i], b.m_calcSevenB[i]);
        EXPECT_EQ(a.m_calcSevenL[i], b.m_calcSevenL[i]);
        EXPECT_EQ(a.m_calcSevenH[i], b.m_calcSevenH[i]);
        EXPECT_EQ(a.m_calcSevenX[i], b.m_calcSevenX[i]);
        EXPECT_EQ(a.m_calcSevenY[i], b.m_calcSevenY[i]);
        EXPECT_EQ(a.m_calcSevenZ[i], b.m_calcSevenZ[i]);
    }
    for (int i = 0; i < 8; ++i) EXPECT_EQ(a.m_calcFour[i], b.m_calcFour[i]);
    EXPECT_EQ(a.m_calcFourLevel, b.m_calcFourLevel);
    EXPECT_EQ(a.m_calcThreeB, b.m_calcThreeB);
    EXPECT_EQ(a.m_calcThreeL, b.m_calcThreeL);
    EXPECT_EQ(a.m_calcThreeH, b.m_calcThreeH);
    EXPECT_EQ(a.m_calcThreeX, b.m_calcThreeX);
    EXPECT_EQ(a.m_calcThreeY, b.m_calcThreeY);
    EXPECT_EQ(a.m_calcThreeZ, b.m_calcThreeZ);
    EXPECT_EQ(a.m_calcDatumGeo, b.m_calcDatumGeo);
    EXPECT_EQ(a.m_calcDatumPlane, b.m_calcDatumPlane);
    for (const auto& [ra, rb] :
         {std::pair{pa.m_projBefore, pb.m_projBefore}, std::pair{pa.m_projAfter, pb.m_projAfter}}) {
        EXPECT_EQ(ra.kind, rb.kind);
        EXPECT_EQ(ra.centralMeridian, rb.centralMeridian);
        EXPECT_EQ(ra.xConstant, rb.xConstant);
        EXPECT_EQ(ra.yConstant, rb.yConstant);
        EXPECT_EQ(ra.scale, rb.scale);
        EXPECT_EQ(ra.baseLatitude, rb.baseLatitude);
    }
}

class ParamMenuTest : public MainWindowParamsTest {};

TEST_F(ParamMenuTest, EveryItemOpensItsDialogAndCancelChangesNothing) {
    // Each dialog with an edit typed into before Cancel.
    struct Item {
        UINT command;
        const char* caption;
        int edit;
    };
    const Item items[] = {
        {IDM_PROJECTION, "投影设置", IDC_X_CONSTANT},
        {IDM_SEVEN_PARAMS, "坐标系统转换参数", IDC_SHIFT_DX},
        {IDM_FOUR_PARAMS, "地方坐标转换参数", IDC_LOCAL_X0},
        {IDM_CALC_FOUR, "计算转换参数", IDC_CALC_FOUR_AFTER_X1},
        {IDM_CALC_THREE, "计算三参数", IDC_CALC_THREE_X},
        {IDM_CALC_SEVEN, "计算七参数", IDC_CALC_SEVEN_X1},
        {IDM_DATUM_LIST, "坐标系参数", IDC_DATUM_NAME},
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
        ClickMenuItem(w, IDM_ZONE_CHANGE);
    });
    ExpectSameParameters(dlg.m_session, ConversionSession());
    EXPECT_EQ(dlg.m_session.m_zoneChange, 0);
}

TEST_F(ParamMenuTest, OkInEachSettingsDialogStoresIntoTheWindowsSession) {
    RunWindow([&](CWnd& w) {
        Next([](CWnd& d) {
            ReplaceText(d, IDC_CENTRAL_MERIDIAN, "117:00:00");
            Click(d, IDOK);
        });
        ClickMenuItem(w, IDM_PROJECTION);
        Next([](CWnd& d) {
            ReplaceText(d, IDC_ROTATION_X, "-1.5");  // arc-seconds
            ReplaceText(d, IDC_SCALE_CHANGE, "4");   // ppm
            Click(d, IDOK);
        });
        ClickMenuItem(w, IDM_SEVEN_PARAMS);
        Next([](CWnd& d) {
            auto& sheet = dynamic_cast<CPropertySheet&>(d);
            ReplaceText(*sheet.GetPage(0), IDC_LOCAL_SCALE, "1.25");
            ReplaceText(*sheet.GetPage(0), IDC_LOCAL_ROTATION, "-000:30:00");
            SelectTab(d, AFX_IDC_TAB_CONTROL, 1);
            ReplaceText(*sheet.GetPage(1), IDC_LOCAL_Y0, "-2000.25");
            Click(d, IDOK);
        });
        ClickMenuItem(w, IDM_FOUR_PARAMS);
    });
    const ConversionParams& p = dlg.m_session.m_params;
    EXPECT_DOUBLE_EQ(p.m_projBefore.centralMeridian, 117.0);
    EXPECT_DOUBLE_EQ(p.m_seven[3], -1.5 * kArcSecond);
    EXPECT_EQ(p.m_seven[6], 4e-6);
    EXPECT_EQ(p.m_local1[3], 1.25);
    EXPECT_DOUBLE_EQ(p.m_local1[2], -0.5 * kDegToRad);
    EXPECT_EQ(p.m_local2[1], -2000.25);
}

TEST_F(ParamMenuTest, ComputingCommandsOpenTheirSettingsOrReportAFailure) {
    RunWindow([&](CWnd& w) {
        // Three parameters from the untouched inputs, then the settings.
        NextAnswer("计算三参数", IDOK);
        NextAnswer("坐标系统转换参数", IDOK);
        ClickMenuItem(w, IDM_CALC_THREE);
        EXPECT_NE(dlg.m_session.m_params.m_seven[0], 0.0);

        // Four parameters from two points one unit apart, then the sheet.
        Next([](CWnd& d) {
            ReplaceText(d, IDC_CALC_FOUR_BEFORE_X2, "1");  // before: (0, 0), (1, 0)
            ReplaceText(d, IDC_CALC_FOUR_AFTER_X2, "2");   // after: (0, 0), (2, 0)
            Click(d, IDOK);
        });
        NextAnswer("地方坐标转换参数", IDOK);
        ClickMenuItem(w, IDM_CALC_FOUR);
        EXPECT_DOUBLE_EQ(dlg.m_session.m_params.m_local1[3], 2.0);

        // Seven parameters from three equal points: a message, no settings.
        const double dX = dlg.m_session.m_params.m_seven[0];
        Prompts().AnswerMessageBox(IDOK);
        NextAnswer("计算七参数", IDOK);
        ClickMenuItem(w, IDM_CALC_SEVEN);
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
            Click(d, IDC_GAUSS_6_DEGREE);
            ReplaceText(d, IDC_CENTRAL_MERIDIAN, "111:00:00");
            Click(d, IDOK);
        });
        ClickMenuItem(w, IDM_ZONE_CHANGE);
        EXPECT_EQ(dlg.m_session.m_zoneChange, 2);
        ReplaceText(w, IDC_SOURCE_X, FormatFixed(x3, 6));
        ReplaceText(w, IDC_SOURCE_Y, FormatFixed(y3 + 500000.0, 6));
        ReplaceText(w, IDC_SOURCE_H, "3");
        Click(w, IDC_CONVERT);
        EXPECT_NEAR(AsciiToDouble(ControlText(w, IDC_TARGET_X)), x6, 1e-3);
        EXPECT_NEAR(AsciiToDouble(ControlText(w, IDC_TARGET_Y)), y6 + 500000.0, 1e-3);
        EXPECT_EQ(ControlText(w, IDC_TARGET_H), "3.000000");
    });
}

}  // namespace
