// Parameters from many common points through the menu of the real main
// window: a common-point file imported, computed, the blunder unticked and
// computed again, applied (seven, four at level 2, three) into the window's
// session and its check boxes; the report and the table saved; a refused
// computation stores nothing.
#include "io/CodePage.h"
#include "params/CommonPointFile.h"
#include "params/FitReport.h"
#include "tests/support/HelpPageExample.h"
#include "tests/support/TestTempDir.h"
#include "tests/ui/params/MainWindowParamsTest.h"
#include "ui/framework/ListCtrl.h"
#include "ui/params/CalcMultiDlg.h"
#include "ui/params/ResidualPlotView.h"

#include <QImage>
#include <QTest>

namespace {

// The help page's worked example: National-80 geodetic and CGCS2000 plane
// (Gauss 3-degree zone at 117°) of nine points; G07's x carries a blunder of
// 0.25 m, K01 is meant as a check.
constexpr int kG03 = 2, kG07 = 6, kK01 = 8;

class CalcMultiTest : public MainWindowParamsTest {
protected:
    void SetUp() override {
        MainWindowParamsTest::SetUp();
        const std::string points = HelpPageBlock(HelpPageText(), "multi-input");
        ASSERT_NE(points, "");
        WriteBytes(file, points + "\n");
        dlg.m_session.m_params.m_projBefore.centralMeridian = 117.0;
    }

    // What the table computes to with these points unticked, straight from the core.
    CommonPointFit Expected(FitModel model, std::vector<int> unticked) const {
        std::vector<CommonPoint> points;
        std::string error;
        EXPECT_TRUE(ReadCommonPointFile(file, TextLanguage::Chinese, &points, &error)) << error;
        for (int row : unticked) points[static_cast<std::size_t>(row)].used = false;
        FitRequest request;
        request.model = model;
        request.sourceDatum = 1;
        request.targetDatum = 4;
        CommonPointFit fit;
        FitProblem problem;
        EXPECT_TRUE(ComputeFit(points, request, dlg.m_session.m_params, TextLanguage::Chinese, &fit,
                               &problem))
            << problem.message;
        return fit;
    }

    // Imports the file into the open dialog, sides National-80 to CGCS2000.
    void Import(CWnd& d) {
        Prompts().AnswerFileDialog(file);
        Click(d, IDC_CALC_MULTI_IMPORT);
        SelectComboItem(d, IDC_CALC_MULTI_SOURCE_DATUM, 1);
        SelectComboItem(d, IDC_CALC_MULTI_TARGET_DATUM, 4);
    }

    static CListCtrl& Table(CWnd& d) { return static_cast<CCalcMultiDlg&>(d).m_table; }
    static CResidualPlotView& View(CWnd& d) {
        return *static_cast<CCalcMultiDlg&>(d).PlotView();
    }
    // The mark the view paints for a point (not the selection's ring).
    static PlotItem Mark(CWnd& d, int point) {
        for (const PlotItem& item : View(d).Items()) {
            if (item.kind == PlotItem::Kind::Mark && item.point == point && !item.selection)
                return item;
        }
        ADD_FAILURE() << "no mark of point " << point;
        return PlotItem();
    }

    TestTempDir dir;
    const std::string file = dir.File("common.txt");
};

TEST_F(CalcMultiTest, ImportComputeUntickTheBlunderComputeAgainAndApplySeven) {
    RunWindow([&](CWnd& w) {
        Next([&](CWnd& d) {
            EXPECT_EQ(d.GetWindowText(), "多点计算参数");
            Import(d);
            CListCtrl& t = Table(d);
            ASSERT_EQ(t.GetItemCount(), 9);
            EXPECT_EQ(t.GetItemText(kK01, CCalcMultiDlg::kNameColumn), "K01");
            EXPECT_EQ(t.GetItemText(0, CCalcMultiDlg::kTargetColumn), "3525499.781");
            EXPECT_EQ(t.GetColumnHeading(CCalcMultiDlg::kSourceColumn), "源B");
            EXPECT_TRUE(t.GetCheck(kK01));

            // All nine used: G07, the blunder, is the one point flagged.
            Click(d, IDC_CALC_MULTI_COMPUTE);
            for (int row = 0; row < 9; ++row) {
                EXPECT_EQ(t.GetItemText(row, CCalcMultiDlg::kFlagColumn), row == kG07 ? "*" : "")
                    << row;
            }
            EXPECT_NE(ControlText(d, IDC_CALC_MULTI_SIGMA).find("9 个点参与计算"),
                      std::string::npos);

            // Unticking clears the results until the next computation.
            ClickListViewCheck(d, IDC_CALC_MULTI_POINTS, kG07);
            ClickListViewCheck(d, IDC_CALC_MULTI_POINTS, kK01);
            EXPECT_EQ(t.GetItemText(0, CCalcMultiDlg::kNormColumn), "");
            EXPECT_EQ(ControlText(d, IDC_CALC_MULTI_PARAMETERS), "");
            Click(d, IDC_CALC_MULTI_COMPUTE);
            // The figures of the help page's worked example.
            EXPECT_EQ(ControlText(d, IDC_CALC_MULTI_SIGMA),
                      "七参数：7 个点参与计算，2 个检查点；单位权中误差 σ0 = 0.0024 米；"
                      "τ 检验（α = 0.1 %）未通过 1 个点");
            EXPECT_EQ(ControlText(d, IDC_CALC_MULTI_PARAMETERS).substr(0, 31),
                      "dX = -110.613358 米 ±0.243784");
            EXPECT_EQ(t.GetItemText(kG07, CCalcMultiDlg::kResidualColumn), "0.2504");
            EXPECT_EQ(t.GetItemText(kG07, CCalcMultiDlg::kFlagColumn), "*");
            EXPECT_EQ(t.GetItemText(kK01, CCalcMultiDlg::kNormColumn), "0.0043");
            // The report's columns: redundancy and τ² as the text report shows them.
            EXPECT_EQ(t.GetItemText(0, CCalcMultiDlg::kRedundancyColumn), "0.25");
            EXPECT_EQ(t.GetItemText(0, CCalcMultiDlg::kStatisticColumn), "2.39");
            EXPECT_EQ(t.GetItemText(kG07, CCalcMultiDlg::kRedundancyColumn), "-");
            EXPECT_EQ(t.GetItemText(kG07, CCalcMultiDlg::kStatisticColumn), "7808.45");
            Click(d, IDC_CALC_MULTI_APPLY);
        });
        ClickMenuItem(w, IDM_CALC_MULTI);
        EXPECT_EQ(ControlCheck(w, IDC_USE_SEVEN), BST_CHECKED);
        EXPECT_EQ(ControlCheck(w, IDC_USE_FOUR), BST_UNCHECKED);
    });
    const CommonPointFit expected = Expected(FitModel::Seven, {kG07, kK01});
    const ConversionParams& p = dlg.m_session.m_params;
    for (int i = 0; i < 7; ++i) EXPECT_EQ(p.m_seven[i], expected.fit.parameters[i]) << i;
    EXPECT_EQ(p.m_savedUseSeven, 1) << "the switch is on after the window closes";
}

TEST_F(CalcMultiTest, FourAtLevel2AndThreeApplyAsChosenAndTheReportIsSaved) {
    const std::string report = dir.File("报告.txt");
    RunWindow([&](CWnd& w) {
        Next([&](CWnd& d) {
            Import(d);
            EXPECT_FALSE(ControlEnabled(d, IDC_CALC_MULTI_LEVEL2));
            Click(d, IDC_CALC_MULTI_FOUR);
            Click(d, IDC_CALC_MULTI_LEVEL2);
            EXPECT_EQ(Table(d).GetColumnHeading(CCalcMultiDlg::kResidualColumn), "残差x");
            Prompts().AnswerFileDialog(report);
            Click(d, IDC_CALC_MULTI_SAVE_REPORT);  // computes first
            Click(d, IDC_CALC_MULTI_APPLY);
        });
        ClickMenuItem(w, IDM_CALC_MULTI);
        EXPECT_EQ(ControlCheck(w, IDC_USE_FOUR), BST_CHECKED);
        Next([&](CWnd& d) {
            Import(d);
            Click(d, IDC_CALC_MULTI_THREE);
            ClickListViewCheck(d, IDC_CALC_MULTI_POINTS, kG07);
            Click(d, IDC_CALC_MULTI_APPLY);
        });
        ClickMenuItem(w, IDM_CALC_MULTI);
    });
    const ConversionParams& p = dlg.m_session.m_params;
    const CommonPointFit four = Expected(FitModel::Four, {});
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(p.m_local2[i], four.fit.parameters[i]) << i;
        EXPECT_EQ(p.m_local1[i], ConversionParams().m_local1[i]) << "level 1 stays";
    }
    EXPECT_EQ(p.m_savedUseFour, 1);
    const CommonPointFit three = Expected(FitModel::Three, {kG07});
    for (int i = 0; i < 7; ++i) EXPECT_EQ(p.m_seven[i], i < 3 ? three.fit.parameters[i] : 0.0);
    EXPECT_EQ(p.m_savedUseSeven, 1);
    EXPECT_EQ(ReadBytes(report), FitReportText(four, TextLanguage::Chinese));
}

TEST_F(CalcMultiTest, RefusedComputationsStoreNothingAndPointAtTheRow) {
    const ConversionParams before = dlg.m_session.m_params;
    const std::string saved = dir.File("saved.txt");
    RunWindow([&](CWnd& w) {
        Next([&](CWnd& d) {
            CListCtrl& t = Table(d);
            // Two typed points cannot give seven parameters.
            const char* const typed[2][7] = {
                {"P1", "031:51:07", "116:42:42", "40", "3525499", "472960", "80"},
                {"P2", "031:54:25", "117:08:42", "38", "3531574", "513950", "82"}};
            for (int row = 0; row < 2; ++row) {
                Click(d, IDC_CALC_MULTI_ADD_ROW);
                for (int c = 1; c <= 7; ++c)
                    EXPECT_TRUE(
                        EditListViewCell(d, IDC_CALC_MULTI_POINTS, row, c, typed[row][c - 1]));
            }
            EXPECT_EQ(t.GetItemText(1, CCalcMultiDlg::kTargetColumn + 2), "82");
            EXPECT_FALSE(
                EditListViewCell(d, IDC_CALC_MULTI_POINTS, 0, CCalcMultiDlg::kNormColumn, "1"))
                << "results are not typed";
            Prompts().AnswerMessageBox(IDOK);
            Click(d, IDC_CALC_MULTI_APPLY);
            ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
            EXPECT_EQ(Prompts().MessageBoxes()[0].text,
                      "计算七参数至少需要 3 个参与计算的公共点，现有 2 个");

            // A latitude in decimal degrees: the message names the point and
            // its row is selected.
            Import(d);
            ASSERT_TRUE(EditListViewCell(d, IDC_CALC_MULTI_POINTS, 2, 2, " 32.0611 "));
            EXPECT_EQ(t.GetItemText(2, 2), "32.0611") << "blanks around a value are dropped";
            Prompts().AnswerMessageBox(IDOK);
            Click(d, IDC_CALC_MULTI_COMPUTE);
            ASSERT_EQ(Prompts().MessageBoxes().size(), 2u);
            EXPECT_EQ(
                Prompts().MessageBoxes()[1].text.rfind("第 4 行（点 G03）：源纬度“32.0611”", 0), 0u)
                << Prompts().MessageBoxes()[1].text;
            EXPECT_EQ(t.GetNextItem(-1, LVNI_SELECTED), 2);

            // The edited table is saved as it stands, and deleting a row works
            // on the selection.
            Prompts().AnswerFileDialog(saved);
            Click(d, IDC_CALC_MULTI_SAVE_POINTS);
            EXPECT_TRUE(ControlEnabled(d, IDC_CALC_MULTI_DELETE_ROW));
            Click(d, IDC_CALC_MULTI_DELETE_ROW);
            EXPECT_EQ(t.GetItemCount(), 8);
            EXPECT_EQ(t.GetItemText(2, CCalcMultiDlg::kNameColumn), "G04");
            Prompts().AnswerMessageBox(IDYES);  // close although the table was edited
            Click(d, IDCANCEL);
        });
        ClickMenuItem(w, IDM_CALC_MULTI);
        EXPECT_EQ(ControlCheck(w, IDC_USE_SEVEN), BST_UNCHECKED);
    });
    ASSERT_EQ(Prompts().MessageBoxes().size(), 3u);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(dlg.m_session.m_params.m_seven[i], before.m_seven[i]);
    EXPECT_EQ(dlg.m_session.m_params.m_savedUseSeven, 0);
    std::vector<CommonPoint> points;
    std::string error;
    ASSERT_TRUE(ReadCommonPointFile(saved, TextLanguage::Chinese, &points, &error)) << error;
    ASSERT_EQ(points.size(), 9u);
    EXPECT_EQ(points[2].source[0], "32.0611");
    EXPECT_EQ(points[8].target[2], "95.893");
}

// The plot beside the table follows 计算: cleared by a change, drawn anew
// with the check points hollow and the flagged red, by other points after a
// row is deleted; a row selected in the table is ringed in the plot and a
// click on a point in the plot selects its row.
TEST_F(CalcMultiTest, ThePlotFollowsEachComputationAndTheSelectionBothWays) {
    RunWindow([&](CWnd& w) {
        Next([&](CWnd& d) {
            CResidualPlotView& view = View(d);
            EXPECT_FALSE(view.HasPlot()) << "nothing computed yet";
            EXPECT_TRUE(view.isVisible());
            Import(d);
            Click(d, IDC_CALC_MULTI_COMPUTE);
            ASSERT_TRUE(view.HasPlot());
            ASSERT_EQ(view.Plot().points.size(), 9u);
            EXPECT_EQ(Mark(d, kG07).pen, kPlotFlagged);
            EXPECT_EQ(Mark(d, 0).pen, kPlotInk);
            EXPECT_EQ(Mark(d, kK01).fill, kPlotInk) << "used: filled";
            const PlotPoint g07 = view.Plot().points[kG07];
            const PlotPoint g01 = view.Plot().points[0];
            // In the painted pixels too: the blunder's disc is red.
            const QColor red = view.grab().toImage().pixelColor(static_cast<int>(g07.x),
                                                                static_cast<int>(g07.y));
            EXPECT_TRUE(red.red() > 150 && red.green() < 80) << red.name().toStdString();

            // Unticked, the two become check points once computed again.
            ClickListViewCheck(d, IDC_CALC_MULTI_POINTS, kG07);
            EXPECT_FALSE(view.HasPlot()) << "a change clears the plot";
            ClickListViewCheck(d, IDC_CALC_MULTI_POINTS, kK01);
            Click(d, IDC_CALC_MULTI_COMPUTE);
            ASSERT_EQ(view.Plot().points.size(), 9u);
            EXPECT_EQ(Mark(d, kK01).fill, kPlotPaper) << "a check point: hollow";
            EXPECT_EQ(Mark(d, kG07).fill, kPlotPaper);
            EXPECT_EQ(Mark(d, kG07).pen, kPlotFlagged) << "still fails its test";
            const PlotPoint g01again = view.Plot().points[0];
            EXPECT_NEAR(g01again.x, g01.x, 0.5) << "the same place";
            EXPECT_NE(g01again.arrowX - g01again.x, g01.arrowX - g01.x) << "another residual";

            // Selection, table to plot and back.
            SelectListViewItem(d, IDC_CALC_MULTI_POINTS, 3);
            EXPECT_EQ(view.Selection(), 3);
            const PlotPoint p5 = view.Plot().points[5];
            QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier,
                              QPoint(static_cast<int>(p5.x), static_cast<int>(p5.y)));
            EXPECT_EQ(Table(d).GetNextItem(-1, LVNI_SELECTED), 5);
            EXPECT_EQ(view.Selection(), 5);

            // Without the selected row: eight other points once computed.
            Click(d, IDC_CALC_MULTI_DELETE_ROW);
            EXPECT_FALSE(view.HasPlot());
            Click(d, IDC_CALC_MULTI_COMPUTE);
            ASSERT_EQ(view.Plot().points.size(), 8u);
            EXPECT_EQ(view.Plot().points[5].name, "G07");
            EXPECT_EQ(view.Selection(), Table(d).GetNextItem(-1, LVNI_SELECTED));

            // The view grows with the dialog and lays the plot out anew.
            const int before = view.width();
            ResizeWindow(d, d.GetSafeHwnd()->window()->width() + 200,
                         d.GetSafeHwnd()->window()->height() + 100);
            EXPECT_GT(view.width(), before);
            EXPECT_EQ(view.Plot().width, view.width());
            Prompts().AnswerMessageBox(IDYES);
            Click(d, IDCANCEL);
        });
        ClickMenuItem(w, IDM_CALC_MULTI);
    });
}

// α: out of its range it is refused naming the field and nothing is
// computed; 5 % flags a point that the default 0.1 % does not.
TEST_F(CalcMultiTest, TheSignificanceIsCheckedAndDecidesTheFlags) {
    RunWindow([&](CWnd& w) {
        Next([&](CWnd& d) {
            EXPECT_EQ(ControlText(d, IDC_CALC_MULTI_ALPHA), "0.1");
            Import(d);
            ClickListViewCheck(d, IDC_CALC_MULTI_POINTS, kG07);
            ClickListViewCheck(d, IDC_CALC_MULTI_POINTS, kK01);
            for (const char* bad : {"0", "50", "-1", "0.1%", "abc", ""}) {
                SCOPED_TRACE(bad);
                ReplaceText(d, IDC_CALC_MULTI_ALPHA, bad);
                Prompts().AnswerMessageBox(IDOK);
                Click(d, IDC_CALC_MULTI_COMPUTE);
                ASSERT_FALSE(Prompts().MessageBoxes().empty());
                const std::string message = Prompts().MessageBoxes().back().text;
                EXPECT_NE(message.find("显著水平 α"), std::string::npos) << message;
                EXPECT_NE(message.find("50"), std::string::npos) << message;
                EXPECT_FALSE(View(d).HasPlot());
                EXPECT_EQ(Table(d).GetItemText(0, CCalcMultiDlg::kNormColumn), "");
                EXPECT_EQ(FocusedControlId(d), IDC_CALC_MULTI_ALPHA);
            }
            auto flags = [&] {
                std::string marks;
                for (int row = 0; row < 9; ++row)
                    marks += Table(d).GetItemText(row, CCalcMultiDlg::kFlagColumn) + "|";
                return marks;
            };
            // G03's x 8 mm off: τ² = 9.15 lies between the critical values
            // of 0.1 % and 5 % (f = 14).
            const std::string x = Table(d).GetItemText(kG03, CCalcMultiDlg::kTargetColumn);
            char moved[32];
            std::snprintf(moved, sizeof moved, "%.3f", std::stod(x) + 0.008);
            ASSERT_TRUE(EditListViewCell(d, IDC_CALC_MULTI_POINTS, kG03,
                                         CCalcMultiDlg::kTargetColumn, moved));
            ReplaceText(d, IDC_CALC_MULTI_ALPHA, "0.1");
            Click(d, IDC_CALC_MULTI_COMPUTE);
            EXPECT_EQ(Table(d).GetItemText(kG03, CCalcMultiDlg::kStatisticColumn), "9.15");
            EXPECT_EQ(flags(), "||||||*|||") << "only the check point G07";
            EXPECT_EQ(Mark(d, kG03).pen, kPlotInk);
            ReplaceText(d, IDC_CALC_MULTI_ALPHA, " 5 ");
            EXPECT_EQ(Table(d).GetItemText(0, CCalcMultiDlg::kNormColumn), "") << "cleared";
            EXPECT_FALSE(View(d).HasPlot());
            Click(d, IDC_CALC_MULTI_COMPUTE);
            EXPECT_EQ(flags(), "||*||||*|||");
            EXPECT_EQ(Mark(d, kG03).pen, kPlotFlagged);
            EXPECT_NE(ControlText(d, IDC_CALC_MULTI_SIGMA).find("α = 5 %）未通过 2 个点"),
                      std::string::npos)
                << ControlText(d, IDC_CALC_MULTI_SIGMA);
            EXPECT_EQ(static_cast<CCalcMultiDlg&>(d).m_alpha, " 5 ") << "remembered as typed";
            Prompts().AnswerMessageBox(IDYES);
            Click(d, IDCANCEL);
        });
        ClickMenuItem(w, IDM_CALC_MULTI);
    });
}

// The import's encoding: the GBK bytes of 亭1… are also valid UTF-8 (CD A4
// is U+0364); GB18030 chosen reads 亭, UTF-8 chosen the UTF-8 reading, and a
// UTF-8 file reads as written with UTF-8 chosen.
TEST_F(CalcMultiTest, TheImportReadsTheEncodingChosen) {
    std::string body = HelpPageBlock(HelpPageText(), "multi-input");
    std::string gbk, utf8;
    int n = 0;
    for (std::size_t start = 0; start < body.size();) {
        std::size_t end = body.find('\n', start);
        if (end == std::string::npos) end = body.size();
        const std::string line = body.substr(start, end - start);
        start = end + 1;
        const std::size_t blank = line.find(' ');
        if (line.empty() || line[0] == '#' || blank == std::string::npos) continue;
        const std::string name = "亭" + std::to_string(++n);
        gbk += Utf8ToGb18030(name) + line.substr(blank) + "\r\n";
        utf8 += name + line.substr(blank) + "\n";
    }
    ASSERT_EQ(n, 9);
    ASSERT_EQ(Utf8ToGb18030("亭"), "\xCD\xA4");
    const std::string gbkFile = dir.File("gbk.txt"), utf8File = dir.File("utf8.txt");
    WriteBytes(gbkFile, gbk);
    WriteBytes(utf8File, utf8);
    RunWindow([&](CWnd& w) {
        Next([&](CWnd& d) {
            CListCtrl& t = Table(d);
            auto import = [&](const std::string& file, int encoding) {
                SelectComboItem(d, IDC_CALC_MULTI_ENCODING, encoding);
                Prompts().AnswerFileDialog(file);
                Click(d, IDC_CALC_MULTI_IMPORT);
                return t.GetItemCount() == 9 ? t.GetItemText(0, CCalcMultiDlg::kNameColumn)
                                             : std::string("no table");
            };
            EXPECT_EQ(ControlText(d, IDC_CALC_MULTI_ENCODING), "自动");
            EXPECT_EQ(import(gbkFile, 2), "亭1");
            EXPECT_EQ(static_cast<CCalcMultiDlg&>(d).m_encoding, 2) << "remembered";
            EXPECT_EQ(t.GetItemText(8, CCalcMultiDlg::kNameColumn), "亭9");
            EXPECT_EQ(import(gbkFile, 1), "\xCD\xA4" "1") << "read as UTF-8 when so chosen";
            EXPECT_EQ(import(utf8File, 1), "亭1");
            EXPECT_EQ(import(gbkFile, 0), "亭1") << "自动: the core's rule";
            Click(d, IDCANCEL);
        });
        ClickMenuItem(w, IDM_CALC_MULTI);
    });
}

}  // namespace
