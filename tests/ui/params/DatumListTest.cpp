// 坐标系参数, the user's datum list: it shows the saved list, selecting an
// entry shows its constants, 添加 checks the edits field by field (message,
// focus to the field) and 删除 refuses a datum the session uses; 确定 saves
// the list and moves the session's indices past a removed entry, 取消 keeps
// the list as it was. (It used to open empty with buttons that did nothing.)
#include "session/UserDatums.h"
#include "tests/support/TestTempDir.h"
#include "tests/ui/params/ParamsTest.h"
#include "ui/framework/ComboBox.h"
#include "ui/framework/ListBox.h"
#include "ui/params/ParamCommands.h"

namespace {

class DatumListTest : public ParamsTest {
protected:
    void SetUp() override {
        ParamsTest::SetUp();
        std::string error;
        ASSERT_TRUE(LoadUserDatums(dir.File("datums.txt"), &error)) << error;
        UserDatums().Add({"工程椭球", 6378160, 298.25});
        UserDatums().Add({"Local", 6380000, 300.5});
    }
    void TearDown() override {
        UserDatums() = UserDatumList();
        ParamsTest::TearDown();
    }
    static CListBox& List(CWnd& w) { return *static_cast<CListBox*>(w.GetDlgItem(IDC_DATUMS)); }
    static void Type(CWnd& w, const char* name, const char* a, const char* rf) {
        ReplaceText(w, IDC_DATUM_NAME, name);
        ReplaceText(w, IDC_SEMI_MAJOR_AXIS, a);
        ReplaceText(w, IDC_INVERSE_FLATTENING, rf);
    }

    TestTempDir dir;
};

TEST_F(DatumListTest, ShowsTheListAndTheSelectedConstants) {
    auto run = Next([](CWnd& w) {
        EXPECT_EQ(w.GetWindowText(), "坐标系参数");
        ASSERT_EQ(List(w).GetCount(), 2);
        EXPECT_EQ(List(w).GetText(0), "工程椭球  a=6378160  1/f=298.25");
        EXPECT_EQ(List(w).GetText(1), "Local  a=6380000  1/f=300.5");
        for (int id : {IDC_DATUM_NAME, IDC_SEMI_MAJOR_AXIS, IDC_INVERSE_FLATTENING})
            EXPECT_EQ(ControlText(w, id), "") << id;
        SelectListItem(w, IDC_DATUMS, 1);
        EXPECT_EQ(ControlText(w, IDC_DATUM_NAME), "Local");
        EXPECT_EQ(ControlText(w, IDC_SEMI_MAJOR_AXIS), "6380000");
        EXPECT_EQ(ControlText(w, IDC_INVERSE_FLATTENING), "300.5");
        SelectListItem(w, IDC_DATUMS, 0);
        EXPECT_EQ(ControlText(w, IDC_DATUM_NAME), "工程椭球");
        EXPECT_EQ(ControlText(w, IDC_INVERSE_FLATTENING), "298.25");
        Click(w, IDOK);
    });
    const UserDatumList before = UserDatums();
    EXPECT_FALSE(ParamCommands::OnDatumList(s, nullptr));  // nothing changed
    EXPECT_TRUE(run->ran);
    EXPECT_EQ(UserDatums(), before);
    EXPECT_FALSE(Platform::Exists(dir.File("datums.txt"))) << "nothing to save";
}

TEST_F(DatumListTest, AddChecksEachFieldAndOkSavesTheList) {
    struct Bad {
        const char* name;
        const char* a;
        const char* rf;
        int field;
        const char* inMessage;
    };
    const Bad bad[] = {
        {"", "6378200", "298.3", IDC_DATUM_NAME, "请输入坐标系名称"},
        {"local", "6378200", "298.3", IDC_DATUM_NAME, "已经在列表中"},
        {"北京-54坐标系", "6378200", "298.3", IDC_DATUM_NAME, "内置坐标系"},
        {"新椭球", "6378.2", "298.3", IDC_SEMI_MAJOR_AXIS, "6300000 与 6400000"},
        {"新椭球", "abc", "298.3", IDC_SEMI_MAJOR_AXIS, "长半轴 a"},
        {"新椭球", "6378200", "1/298.3", IDC_INVERSE_FLATTENING, "扁率倒数 1/f"},
        {"新椭球", "6378200", "0.0033", IDC_INVERSE_FLATTENING, "250 与 350"},
    };
    auto run = Next([this, &bad](CWnd& w) {
        for (const Bad& b : bad) {
            Type(w, b.name, b.a, b.rf);
            Prompts().AnswerMessageBox(IDOK);
            Click(w, IDC_ADD_DATUM);
            ASSERT_FALSE(Prompts().MessageBoxes().empty());
            EXPECT_NE(Prompts().MessageBoxes().back().text.find(b.inMessage), std::string::npos)
                << Prompts().MessageBoxes().back().text;
            EXPECT_EQ(FocusedControlId(w), b.field) << b.name << " " << b.a << " " << b.rf;
            EXPECT_EQ(List(w).GetCount(), 2);
        }
        Type(w, " 新椭球 ", "6378200", "298.3");
        Click(w, IDC_ADD_DATUM);
        ASSERT_EQ(List(w).GetCount(), 3);
        EXPECT_EQ(List(w).GetText(2), "新椭球  a=6378200  1/f=298.3");
        EXPECT_EQ(List(w).GetCurSel(), 2);
        Click(w, IDOK);
    });
    EXPECT_TRUE(ParamCommands::OnDatumList(s, nullptr));
    EXPECT_TRUE(run->ran);
    EXPECT_EQ(Prompts().MessageBoxes().size(), std::size(bad));
    ASSERT_EQ(UserDatums().Count(), 3);
    EXPECT_EQ(DatumListName(7), "新椭球");
    // Saved: a restart reads the three.
    const UserDatumList shown = UserDatums();
    std::string error;
    ASSERT_TRUE(LoadUserDatums(dir.File("datums.txt"), &error)) << error;
    EXPECT_EQ(UserDatums(), shown);
}

TEST_F(DatumListTest, DeleteRefusesADatumInUseAndMovesTheOthersUp) {
    s.m_sourceDatum = 6;                // "Local" selected in the window
    s.m_inputs.m_calcDatumGeo = 7;      // the new one, after the removal 6
    s.m_params.m_savedTargetDatum = 2;  // built-in, stays
    UserDatums().Add({"第三", 6378300, 299});  // 7
    auto run = Next([this](CWnd& w) {
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDC_DELETE_DATUM);  // nothing selected
        SelectListItem(w, IDC_DATUMS, 1);
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDC_DELETE_DATUM);  // in use
        EXPECT_EQ(List(w).GetCount(), 3);
        SelectListItem(w, IDC_DATUMS, 0);
        Click(w, IDC_DELETE_DATUM);
        ASSERT_EQ(List(w).GetCount(), 2);
        EXPECT_EQ(List(w).GetText(0), "Local  a=6380000  1/f=300.5");
        Click(w, IDOK);
    });
    EXPECT_TRUE(ParamCommands::OnDatumList(s, nullptr));
    EXPECT_TRUE(run->ran);
    ASSERT_EQ(Prompts().MessageBoxes().size(), 2u);
    EXPECT_NE(Prompts().MessageBoxes()[0].text.find("请先在坐标系列表中选择"), std::string::npos);
    EXPECT_NE(Prompts().MessageBoxes()[1].text.find("“Local”正被当前工程使用"), std::string::npos);
    ASSERT_EQ(UserDatums().Count(), 2);
    EXPECT_EQ(s.m_sourceDatum, 5);
    EXPECT_EQ(DatumListName(s.m_sourceDatum), "Local");
    EXPECT_EQ(s.m_inputs.m_calcDatumGeo, 6);
    EXPECT_EQ(DatumListName(s.m_inputs.m_calcDatumGeo), "第三");
    EXPECT_EQ(s.m_params.m_savedTargetDatum, 2);
}

TEST_F(DatumListTest, CancelKeepsTheListAsItWas) {
    const UserDatumList before = UserDatums();
    auto run = Next([](CWnd& w) {
        SelectListItem(w, IDC_DATUMS, 0);
        Click(w, IDC_DELETE_DATUM);
        Type(w, "新", "6378200", "298.3");
        Click(w, IDC_ADD_DATUM);
        EXPECT_EQ(List(w).GetCount(), 2);
        Click(w, IDCANCEL);
    });
    EXPECT_FALSE(ParamCommands::OnDatumList(s, nullptr));
    EXPECT_TRUE(run->ran);
    EXPECT_EQ(UserDatums(), before);
    EXPECT_FALSE(Platform::Exists(dir.File("datums.txt")));
}

TEST_F(DatumListTest, ADamagedListFileIsNotWrittenOver) {
    const std::string damaged = "not a datum list\n";
    WriteBytes(dir.File("datums.txt"), damaged);
    std::string error;
    ASSERT_FALSE(LoadUserDatums(dir.File("datums.txt"), &error));
    auto run = Next([](CWnd& w) {
        EXPECT_EQ(List(w).GetCount(), 0);
        Type(w, "新", "6378200", "298.3");
        Click(w, IDC_ADD_DATUM);
        Click(w, IDOK);
    });
    Prompts().AnswerMessageBox(IDOK);
    EXPECT_TRUE(ParamCommands::OnDatumList(s, nullptr));
    EXPECT_TRUE(run->ran);
    ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
    EXPECT_EQ(Prompts().MessageBoxes()[0].text, error);
    EXPECT_EQ(ReadBytes(dir.File("datums.txt")), damaged);
    EXPECT_EQ(UserDatums().Count(), 1) << "kept for this session";
}

// The computing dialogs list the user's datums after the five and compute
// on their ellipsoids: three parameters between a point on "Local" and the
// same point in Gauss coordinates on "工程椭球" are the difference of PROJ's
// space coordinates for the two (tests/data/session/user_datum_reference.txt).
TEST_F(DatumListTest, ComputingDialogsOfferAndUseTheUserDatums) {
    auto entries = [](CWnd& w, int id) {
        auto& combo = *static_cast<CComboBox*>(w.GetDlgItem(id));
        std::vector<std::string> texts;
        for (int i = 0; i < combo.GetCount(); ++i) texts.push_back(combo.GetLBText(i));
        return texts;
    };
    const std::vector<std::string> tail = {"CGCS2000坐标系", "工程椭球", "Local"};
    auto lastThree = [](std::vector<std::string> texts) {
        return texts.size() < 3 ? texts : std::vector<std::string>(texts.end() - 3, texts.end());
    };
    auto seven = Next([&](CWnd& w) {
        for (int id : {IDC_CALC_SEVEN_GEODETIC_DATUM, IDC_CALC_SEVEN_PLANE_DATUM})
            EXPECT_EQ(lastThree(entries(w, id)), tail) << id;
        Click(w, IDCANCEL);
    });
    ParamCommands::OnCalcSeven(s);
    auto multi = Next([&](CWnd& w) {
        for (int id : {IDC_CALC_MULTI_SOURCE_DATUM, IDC_CALC_MULTI_TARGET_DATUM})
            EXPECT_EQ(lastThree(entries(w, id)), tail) << id;
        Click(w, IDCANCEL);
    });
    ParamCommands::OnCalcMulti(s);
    EXPECT_TRUE(seven->ran && multi->ran);

    s.m_params.m_projBefore.centralMeridian = 117;
    auto three = Next([&](CWnd& w) {
        for (int id : {IDC_CALC_THREE_GEODETIC_DATUM, IDC_CALC_THREE_PLANE_DATUM})
            EXPECT_EQ(lastThree(entries(w, id)), tail) << id;
        SelectComboItem(w, IDC_CALC_THREE_GEODETIC_DATUM, 6);
        SelectComboItem(w, IDC_CALC_THREE_PLANE_DATUM, 5);
        ReplaceText(w, IDC_CALC_THREE_B, "030:00:00.000");
        ReplaceText(w, IDC_CALC_THREE_L, "116:30:00.000");
        ReplaceText(w, IDC_CALC_THREE_H, "100");
        ReplaceText(w, IDC_CALC_THREE_X, "3320230.152261");
        ReplaceText(w, IDC_CALC_THREE_Y, "451756.376447");
        ReplaceText(w, IDC_CALC_THREE_PLANE_H, "100");
        Click(w, IDOK);
    });
    auto settings = NextAnswer("坐标系统转换参数", IDOK);
    ParamCommands::OnCalcThree(s);
    EXPECT_TRUE(three->ran && settings->ran);
    EXPECT_EQ(s.m_inputs.m_calcDatumGeo, 6);
    EXPECT_EQ(s.m_inputs.m_calcDatumPlane, 5);
    // cct +proj=cart on each ellipsoid: 工程椭球 minus Local, cut to the millimetre.
    const double want[3] = {-2466743.60969426 - -2467439.75569804,
                            4947522.27087748 - 4948918.52375270,
                            3170434.71559197 - 3171489.21862303};
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(s.m_params.m_seven[i], want[i], 0.0015) << i;
}

}  // namespace
