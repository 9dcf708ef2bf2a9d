// Projection settings through their command: what the dialog shows, what OK
// stores in m_projBefore, and that Cancel stores nothing.
#include "tests/ui/params/ParamsTest.h"
#include "ui/params/ParamCommands.h"

namespace {

using ProjectionTest = ParamsTest;

constexpr int kKindRadios[] = {IDC_GAUSS_3_DEGREE, IDC_GAUSS_6_DEGREE, IDC_GAUSS_CUSTOM,
                               IDC_MERCATOR, IDC_UTM};
constexpr int kEdits[] = {IDC_CENTRAL_MERIDIAN, IDC_PROJECTION_SCALE, IDC_X_CONSTANT,
                          IDC_Y_CONSTANT, IDC_BASE_LATITUDE};

TEST_F(ProjectionTest, DefaultsShowGauss3DegreeZoneAt114AndEveryControlStaysEnabled) {
    Next([](CWnd& w) {
        EXPECT_EQ(w.GetWindowText(), "投影设置");
        EXPECT_EQ(ControlCheck(w, IDC_GAUSS_3_DEGREE), BST_CHECKED);
        for (int id : {IDC_GAUSS_6_DEGREE, IDC_GAUSS_CUSTOM, IDC_MERCATOR, IDC_UTM})
            EXPECT_EQ(ControlCheck(w, id), BST_UNCHECKED);
        EXPECT_EQ(ControlText(w, IDC_CENTRAL_MERIDIAN), "114:00:00");
        EXPECT_EQ(ControlText(w, IDC_PROJECTION_SCALE), "1");
        EXPECT_EQ(ControlText(w, IDC_X_CONSTANT), "0");
        EXPECT_EQ(ControlText(w, IDC_Y_CONSTANT), "500000");
        EXPECT_EQ(ControlText(w, IDC_BASE_LATITUDE), "000:00:00");
        Click(w, IDC_UTM);
        for (int id : kEdits) EXPECT_TRUE(ControlEnabled(w, id)) << id;
        for (int id : kKindRadios) EXPECT_TRUE(ControlEnabled(w, id)) << id;
        Click(w, IDCANCEL);
    });
    ParamCommands::OnProjectionSettings(s);
}

TEST_F(ProjectionTest, OkStoresEveryFieldButTheZoneNumber) {
    s.m_params.m_projBefore.zoneNumber = 38;
    Next([](CWnd& w) {
        ReplaceText(w, IDC_CENTRAL_MERIDIAN, "117:00:00");
        ReplaceText(w, IDC_PROJECTION_SCALE, "0.9996");
        ReplaceText(w, IDC_X_CONSTANT, "-100");
        ReplaceText(w, IDC_Y_CONSTANT, "38500000");
        ReplaceText(w, IDC_BASE_LATITUDE, "30:30:00");
        Click(w, IDC_MERCATOR);
        Click(w, IDOK);
    });
    ParamCommands::OnProjectionSettings(s);
    const ProjectionRecord& p = s.m_params.m_projBefore;
    EXPECT_DOUBLE_EQ(p.centralMeridian, 117.0);
    EXPECT_EQ(p.scale, 0.9996);
    EXPECT_EQ(p.xConstant, -100);
    EXPECT_EQ(p.yConstant, 38500000);
    EXPECT_DOUBLE_EQ(p.baseLatitude, 30.5);
    EXPECT_EQ(p.kind, ProjectionKind::Mercator);
    EXPECT_EQ(p.zoneNumber, 38);
    EXPECT_EQ(s.m_params.m_projAfter.centralMeridian, 114.0) << "only the before-record is edited";
}

TEST_F(ProjectionTest, AFractionalSecondIsStoredButShownInWholeSecondsAndKeptWhenUntouched) {
    Next([](CWnd& w) {
        ReplaceText(w, IDC_CENTRAL_MERIDIAN, "114:30:30.5");
        Click(w, IDOK);
    });
    ParamCommands::OnProjectionSettings(s);
    const double stored = s.m_params.m_projBefore.centralMeridian;
    EXPECT_NEAR(stored, 114.0 + 30.0 / 60 + 30.5 / 3600, 1e-12);

    // Reopening shows whole seconds; OK without touching the edit keeps the fraction.
    Next([](CWnd& w) {
        EXPECT_EQ(ControlText(w, IDC_CENTRAL_MERIDIAN), "114:30:30");
        Click(w, IDOK);
    });
    ParamCommands::OnProjectionSettings(s);
    EXPECT_EQ(s.m_params.m_projBefore.centralMeridian, stored);
}

// Guards against the central meridian being taken from the text of an
// earlier exchange when a number before it fails validation: the value
// stored on OK must be the one on the screen.
TEST_F(ProjectionTest, BadScaleReportsOnEveryKeystrokeAndTheMeridianStillFollowsItsText) {
    Next([&](CWnd& w) {
        ReplaceText(w, IDC_PROJECTION_SCALE, "x");
        for (int i = 0; i < 9; ++i) Prompts().AnswerMessageBox(IDOK);
        ReplaceText(w, IDC_CENTRAL_MERIDIAN, "117:00:00");
        EXPECT_EQ(Prompts().MessageBoxes().size(), 9u) << "one message per keystroke";
        EXPECT_EQ(Prompts().MessageBoxes().back().text, "请输入一个数字。");
        EXPECT_EQ(FocusedControlId(w), IDC_PROJECTION_SCALE);
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDOK);
        EXPECT_TRUE(w.ContinueModal()) << "OK is refused while the scale is not a number";
        ReplaceText(w, IDC_PROJECTION_SCALE, "1");
        Click(w, IDOK);
    });
    ParamCommands::OnProjectionSettings(s);
    EXPECT_DOUBLE_EQ(s.m_params.m_projBefore.centralMeridian, 117.0);
    EXPECT_EQ(s.m_params.m_projBefore.scale, 1.0);
}

}  // namespace
