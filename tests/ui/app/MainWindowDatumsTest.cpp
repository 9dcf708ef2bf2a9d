// The user's datums in the main window: read from the settings folder at
// start, added through 坐标系参数 into both datum combos, converted with
// their own ellipsoid (PROJ's figures, tests/data/session), named in the
// status line, and brought in by a project made on a machine that had them.
#include <gtest/gtest.h>

#include <cmath>

#include "res/resource.h"
#include "session/UserDatums.h"
#include "tests/ui/app/MainWindowTest.h"
#include "ui/framework/ComboBox.h"
#include "ui/framework/StatusLine.h"

namespace {

class MainWindowDatumsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        UserDatums() = UserDatumList();
        listPath = config.Path() + "/terrax/datums.txt";
        std::filesystem::create_directories(PathOf(config.Path() + "/terrax"));
        WriteBytes(listPath, std::string(kUserDatumsHeader) + "\n工程椭球\t6378160\t298.25\n");
    }
    void TearDown() override {
        UserDatums() = UserDatumList();
        MainWindowTest::TearDown();
    }
    static std::vector<std::string> Entries(CWnd& w, int id) {
        auto& combo = *static_cast<CComboBox*>(w.GetDlgItem(id));
        std::vector<std::string> texts;
        for (int i = 0; i < combo.GetCount(); ++i) texts.push_back(combo.GetLBText(i));
        return texts;
    }

    std::string listPath;
};

TEST_F(MainWindowDatumsTest, AnAddedDatumIsInBothCombosAndConvertsOnItsEllipsoid) {
    CConvertDlg dlg;
    RunWindow(dlg, [&](CWnd& w) {
        for (int id : {IDC_SOURCE_DATUM, IDC_TARGET_DATUM}) {
            const std::vector<std::string> texts = Entries(w, id);
            ASSERT_EQ(texts.size(), 6u) << id;
            EXPECT_EQ(texts[4], "CGCS2000坐标系");
            EXPECT_EQ(texts[5], "工程椭球");
        }
        Prompts().ArmModal([](CWnd& d) {
            EXPECT_EQ(d.GetWindowText(), "坐标系参数");
            ReplaceText(d, IDC_DATUM_NAME, "Local");
            ReplaceText(d, IDC_SEMI_MAJOR_AXIS, "6380000");
            ReplaceText(d, IDC_INVERSE_FLATTENING, "300.5");
            Click(d, IDC_ADD_DATUM);
            Click(d, IDOK);
        });
        ClickMenuItem(w, IDM_DATUM_LIST);
        for (int id : {IDC_SOURCE_DATUM, IDC_TARGET_DATUM}) {
            const std::vector<std::string> texts = Entries(w, id);
            ASSERT_EQ(texts.size(), 7u) << id;
            EXPECT_EQ(texts[6], "Local");
        }
        EXPECT_NE(ReadBytes(listPath).find("Local\t6380000\t300.5\n"), std::string::npos);

        // Geodetic on Local to space rectangular on Local.
        SelectComboItem(w, IDC_SOURCE_DATUM, 6);
        SelectComboItem(w, IDC_TARGET_DATUM, 6);
        Click(w, IDC_SOURCE_GEODETIC);
        Click(w, IDC_TARGET_SPACE);
        EXPECT_EQ(AfxGetStatusText(dlg).find("Local → Local | "), 0u) << AfxGetStatusText(dlg);
        TypePoint(w, "030:00:00.000000", "116:30:00.000000", "100");
        Click(w, IDC_CONVERT);
        // cct -d 8 +proj=cart +a=6380000 +rf=300.5 (user_datum_reference.txt)
        const double want[3] = {-2467439.75569804, 4948918.52375270, 3171489.21862303};
        const int fields[3] = {IDC_TARGET_X, IDC_TARGET_Y, IDC_TARGET_H};
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(AsciiToDouble(ControlText(w, fields[i])), want[i], 0.0001)
                << ControlText(w, fields[i]);
        }
    });
}

TEST_F(MainWindowDatumsTest, AProjectBringsTheDatumsTheListLacks) {
    const std::string path = dir.File("job.cod");
    {
        // Written where the list held "Remote" as datum 6.
        UserDatums().Add({"其他", 6378000, 298});
        UserDatums().Add({"Remote", 6380000, 300.5});
        ConversionSession s;
        s.m_sourceDatum = s.m_targetDatum = 6;
        s.PrepareConversion();
        std::string error;
        ASSERT_TRUE(s.SaveProject(path, &error)) << error;
        UserDatums() = UserDatumList();
    }
    CConvertDlg dlg;
    RunWindow(dlg, [&](CWnd& w) {
        EXPECT_EQ(Entries(w, IDC_SOURCE_DATUM).size(), 6u);
        Prompts().AnswerFileDialog(path);
        ClickMenuItem(w, ID_FILE_OPEN);
        const std::vector<std::string> texts = Entries(w, IDC_SOURCE_DATUM);
        ASSERT_EQ(texts.size(), 7u);
        EXPECT_EQ(texts[6], "Remote");
        EXPECT_EQ(Entries(w, IDC_TARGET_DATUM), texts);
        EXPECT_EQ(ControlText(w, IDC_SOURCE_DATUM), "Remote");
        EXPECT_EQ(AfxGetStatusText(dlg).find("Remote → Remote | "), 0u) << AfxGetStatusText(dlg);
    });
    // Kept in the list for the next start.
    const std::string saved = ReadBytes(listPath);
    EXPECT_NE(saved.find("工程椭球\t6378160\t298.25\nRemote\t6380000\t300.5\n"), std::string::npos) << saved;
}

TEST_F(MainWindowDatumsTest, ADamagedListIsReportedAtStartAndLeftAlone) {
    WriteBytes(listPath, "工程椭球 6378160 298.25\n");
    CConvertDlg dlg;
    Prompts().AnswerMessageBox(IDOK);
    RunWindow(dlg, [&](CWnd& w) { EXPECT_EQ(Entries(w, IDC_SOURCE_DATUM).size(), 5u); });
    ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
    EXPECT_NE(Prompts().MessageBoxes()[0].text.find(listPath), std::string::npos);
    EXPECT_EQ(ReadBytes(listPath), "工程椭球 6378160 298.25\n");
}

}  // namespace
