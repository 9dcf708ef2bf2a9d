// Height fitting (高程拟合) through the menu of the real main window: a table
// of common points with both heights on a known ζ surface computed as the
// core computes it, a blunder marked, refusals that store nothing, the
// geoid choices, plane positions through the projection, 应用 into the
// window's session and the table kept for the next opening.
#include <QApplication>
#include <QTableWidget>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "geodesy/GeoidGrid.h"
#include "io/CodePage.h"
#include "params/CommonHeightFile.h"
#include "params/HeightFitReport.h"
#include "params/PointText.h"
#include "params/ValueText.h"
#include "session/GeoidFiles.h"
#include "session/Globals.h"
#include "tests/support/TestTempDir.h"
#include "tests/ui/params/MainWindowParamsTest.h"
#include "ui/framework/ListCtrl.h"
#include "ui/params/CalcHeightsDlg.h"
#include "ui/params/ResidualPlotView.h"

namespace {

using Dlg = CCalcHeightsDlg;

constexpr double kB0 = 31.50, kL0 = 117.20;  // degrees, the middle of the job
constexpr double kRadius = kHeightFrameRadius;

// The known anomaly: 12.5 m, rising 3 cm per km to the north and falling
// 2 cm per km to the east of the middle.
double TrueZeta(double Bdeg, double Ldeg) {
    const double north = kRadius * (Bdeg - kB0) * kDegToRad;
    const double east = kRadius * std::cos(kB0 * kDegToRad) * (Ldeg - kL0) * kDegToRad;
    return 12.5 + 3e-5 * north - 2e-5 * east;
}

std::string Fixed3(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", v);
    return text;
}

struct Station {
    double B, L;   // degrees
    double H;      // metres
    double noise;  // metres, added to h
};

// Fourteen stations scattered over some 30 km with up to 2 mm of noise
// (a fixed seed, drawn the same on every platform); the last two are meant
// as check points.
std::vector<Station> Stations() {
    std::mt19937 draw(20261209);
    auto uniform = [&draw](double lo, double hi) {
        return lo + (hi - lo) * static_cast<double>(draw() % 100001) / 100000.0;
    };
    std::vector<Station> out;
    for (int i = 0; i < 14; ++i) {
        const double B = uniform(kB0 - 0.14, kB0 + 0.14);
        const double L = uniform(kL0 - 0.16, kL0 + 0.16);
        out.push_back({B, L, uniform(20.0, 80.0), uniform(-0.002, 0.002)});
    }
    return out;
}

// The stations as rows: B, L as angle texts, h with ζ and the noise.
std::vector<HeightRowText> GeodeticRows(const std::vector<Station>& stations) {
    std::vector<HeightRowText> rows;
    for (std::size_t i = 0; i < stations.size(); ++i) {
        const Station& st = stations[i];
        HeightRowText r;
        r.id = "GP" + std::to_string(i + 1);
        r.values[0] = AngleTextOfDegrees(st.B);
        r.values[1] = AngleTextOfDegrees(st.L);
        r.values[2] = Fixed3(st.H + TrueZeta(st.B, st.L) + st.noise);
        r.values[3] = Fixed3(st.H);
        r.used = i < 12;
        rows.push_back(r);
    }
    return rows;
}

// The rows read as the core's points, independently of the dialog.
std::vector<HeightPoint> PointsOf(const std::vector<HeightRowText>& rows) {
    std::vector<HeightPoint> points;
    for (const HeightRowText& r : rows) {
        HeightPoint p;
        EXPECT_TRUE(ReadAngleText(r.values[0], &p.B)) << r.values[0];
        EXPECT_TRUE(ReadAngleText(r.values[1], &p.L)) << r.values[1];
        EXPECT_TRUE(ReadNumberText(r.values[2], &p.h));
        EXPECT_TRUE(ReadNumberText(r.values[3], &p.H));
        p.used = r.used;
        points.push_back(p);
    }
    return points;
}

// A cell of millimetres as a number.
double CellMillimetres(CListCtrl& t, int row, int column) {
    double v = NAN;
    EXPECT_TRUE(ReadNumberText(t.GetItemText(row, column), &v))
        << "row " << row << ": “" << t.GetItemText(row, column) << "”";
    return v;
}

QColor Background(CWnd& d, int row) {
    auto* view = qobject_cast<QTableWidget*>(ControlWidget(d, IDC_CALC_HEIGHTS_POINTS));
    EXPECT_NE(view, nullptr);
    if (view == nullptr || view->item(row, Dlg::kNameColumn) == nullptr) return QColor();
    return view->item(row, Dlg::kNameColumn)->background().color();
}

// The rows as the lines of a common-height file.
std::string FileText(const std::vector<HeightRowText>& rows, const char* separator) {
    std::string text = "# 点名 位置 大地高 正常高\n";
    for (const HeightRowText& r : rows) {
        text += r.id;
        for (const std::string& v : r.values) text += separator + v;
        text += "\n";
    }
    return text;
}

// The rows as the core reads them.
std::vector<CommonHeight> CoreRowsOf(const std::vector<HeightRowText>& rows) {
    std::vector<CommonHeight> out;
    for (const HeightRowText& r : rows) {
        CommonHeight c;
        c.id = r.id;
        c.position[0] = r.values[0], c.position[1] = r.values[1];
        c.h = r.values[2], c.H = r.values[3];
        c.used = r.used;
        out.push_back(c);
    }
    return out;
}

class CalcHeightsTest : public MainWindowParamsTest {
protected:
    static CListCtrl& Table(CWnd& d) { return static_cast<Dlg&>(d).m_table; }
    static CResidualPlotView& View(CWnd& d) { return *static_cast<Dlg&>(d).PlotView(); }
    // The mark the view paints for a point (not the selection's ring).
    static PlotItem Mark(CWnd& d, int point) {
        for (const PlotItem& item : View(d).Items()) {
            if (item.kind == PlotItem::Kind::Mark && item.point == point && !item.selection)
                return item;
        }
        ADD_FAILURE() << "no mark of point " << point;
        return PlotItem();
    }
    // The table as rows of text.
    static std::vector<HeightRowText> Shown(CWnd& d) {
        CListCtrl& t = Table(d);
        std::vector<HeightRowText> rows(static_cast<std::size_t>(t.GetItemCount()));
        for (int row = 0; row < t.GetItemCount(); ++row) {
            HeightRowText& r = rows[static_cast<std::size_t>(row)];
            r.id = t.GetItemText(row, Dlg::kNameColumn);
            for (int i = 0; i < 4; ++i) r.values[i] = t.GetItemText(row, Dlg::kValueColumn + i);
            r.used = t.GetCheck(row) != FALSE;
        }
        return rows;
    }
    SessionHeights& Heights() { return dlg.m_session.m_heights; }

    TestTempDir dir;
};

TEST_F(CalcHeightsTest, APlaneOnAKnownSurfaceComputesAsTheCoreAndAppliesIntoTheSession) {
    const std::vector<HeightRowText> rows = GeodeticRows(Stations());
    dlg.m_session.m_heightInputs.rows = rows;
    dlg.m_session.m_heightInputs.kind = Dlg::kGeodeticPositions;
    const HeightFit expected = FitHeights(HeightSurface::Plane, false, PointsOf(rows), nullptr);
    ASSERT_TRUE(expected.Solved());
    ASSERT_TRUE(expected.sigma0.has_value());

    RunWindow([&](CWnd& w) {
        EXPECT_EQ(MenuItemText(w, IDM_CALC_HEIGHTS), "高程拟合(&H)...");
        Next([&](CWnd& d) {
            EXPECT_EQ(d.GetWindowText(), "高程拟合");
            CListCtrl& t = Table(d);
            ASSERT_EQ(t.GetItemCount(), 14);
            EXPECT_EQ(t.GetColumnHeading(Dlg::kValueColumn), "B");
            EXPECT_EQ(t.GetColumnHeading(Dlg::kValueColumn + 3), "正常高 H");
            EXPECT_EQ(t.GetColumnHeading(Dlg::kResidualColumn), "残差(mm)");
            EXPECT_EQ(t.GetItemText(13, Dlg::kNameColumn), "GP14");
            EXPECT_FALSE(t.GetCheck(13));
            EXPECT_EQ(ControlCheck(d, IDC_CALC_HEIGHTS_PLANE), BST_CHECKED) << "the default";

            // Enter computes and leaves the dialog open.
            ReplaceText(d, IDC_CALC_HEIGHTS_ALPHA, "0.1");
            PressEnter(d);
            for (int row = 0; row < 14; ++row) {
                const HeightResidual& r = expected.residuals[static_cast<std::size_t>(row)];
                EXPECT_NEAR(CellMillimetres(t, row, Dlg::kResidualColumn), r.v * 1000.0, 0.051)
                    << row;
                // On the true plane every residual is the noise up to the fit.
                EXPECT_LT(std::fabs(CellMillimetres(t, row, Dlg::kResidualColumn)), 4.0) << row;
                EXPECT_EQ(t.GetItemText(row, Dlg::kFlagColumn), "")
                    << row << " " << r.v << " " << r.flagged;
            }
            const std::string summary = ControlText(d, IDC_CALC_HEIGHTS_SIGMA);
            EXPECT_NE(summary.find("12 个点参与计算，2 个检查点"), std::string::npos) << summary;
            double sigmaMm = 0;
            const std::size_t at = summary.find("σ0 = ");
            ASSERT_NE(at, std::string::npos) << summary;
            const std::size_t begin = at + std::string("σ0 = ").size();
            ASSERT_TRUE(
                ReadNumberText(summary.substr(begin, summary.find(' ', begin) - begin), &sigmaMm))
                << summary;
            EXPECT_NEAR(sigmaMm, *expected.sigma0 * 1000.0, 0.051);

            // Unticking clears the results until the next computation.
            ClickListViewCheck(d, IDC_CALC_HEIGHTS_POINTS, 0);
            EXPECT_EQ(t.GetItemText(1, Dlg::kResidualColumn), "");
            ClickListViewCheck(d, IDC_CALC_HEIGHTS_POINTS, 0);
            Click(d, IDC_CALC_HEIGHTS_APPLY);
        });
        ClickMenuItem(w, IDM_CALC_HEIGHTS);
    });
    EXPECT_TRUE(Heights().enabled);
    ASSERT_TRUE(Heights().model.has_value());
    const HeightModel& m = *Heights().model;
    EXPECT_EQ(m.surface, HeightSurface::Plane);
    EXPECT_FALSE(m.onGeoid);
    EXPECT_EQ(Heights().geoid, "");
    EXPECT_EQ(m.centroidB, expected.model.centroidB);
    EXPECT_EQ(m.scale, expected.model.scale);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(m.coefficients[i], expected.model.coefficients[i]) << i;
    // The surface found is the true one to the noise, away from the points too.
    for (const auto& [B, L] : {std::pair{kB0, kL0}, std::pair{kB0 + 0.1, kL0 - 0.12},
                               std::pair{kB0 - 0.13, kL0 + 0.15}}) {
        EXPECT_NEAR(m.Surface(B * kDegToRad, L * kDegToRad), TrueZeta(B, L), 0.003)
            << B << " " << L;
    }
}

TEST_F(CalcHeightsTest, AFiveCentimetreBlunderIsMarkedAndItsRowRed) {
    std::vector<HeightRowText> rows = GeodeticRows(Stations());
    constexpr int kBlunder = 4;
    double h = 0;
    ASSERT_TRUE(ReadNumberText(rows[kBlunder].values[2], &h));
    rows[kBlunder].values[2] = Fixed3(h + 0.05);
    dlg.m_session.m_heightInputs.rows = rows;
    dlg.m_session.m_heightInputs.kind = Dlg::kGeodeticPositions;
    RunWindow([&](CWnd& w) {
        Next([&](CWnd& d) {
            CListCtrl& t = Table(d);
            Click(d, IDC_CALC_HEIGHTS_COMPUTE);
            for (int row = 0; row < 14; ++row) {
                EXPECT_EQ(t.GetItemText(row, Dlg::kFlagColumn), row == kBlunder ? "*" : "") << row;
                EXPECT_EQ(Background(d, row) == QColor(255, 208, 208), row == kBlunder) << row;
            }
            EXPECT_GT(CellMillimetres(t, kBlunder, Dlg::kResidualColumn), 30.0);
            // Left out, it is a check point that still shows its error.
            ClickListViewCheck(d, IDC_CALC_HEIGHTS_POINTS, kBlunder);
            Click(d, IDC_CALC_HEIGHTS_COMPUTE);
            EXPECT_NEAR(CellMillimetres(t, kBlunder, Dlg::kResidualColumn), 50.0, 4.0);
            for (int row = 0; row < 12; ++row) {
                if (row == kBlunder) continue;
                EXPECT_LT(std::fabs(CellMillimetres(t, row, Dlg::kResidualColumn)), 4.0) << row;
            }
            Click(d, IDCANCEL);
        });
        ClickMenuItem(w, IDM_CALC_HEIGHTS);
    });
    EXPECT_FALSE(Heights().enabled) << "关闭 stores nothing";
    EXPECT_FALSE(Heights().model.has_value());
}

TEST_F(CalcHeightsTest, TooFewPointsAndBadCellsGiveTheirMessageAndStoreNothing) {
    std::vector<HeightRowText> rows = GeodeticRows(Stations());
    rows.resize(2);
    dlg.m_session.m_heightInputs.rows = rows;
    dlg.m_session.m_heightInputs.kind = Dlg::kGeodeticPositions;
    RunWindow([&](CWnd& w) {
        Next([&](CWnd& d) {
            CListCtrl& t = Table(d);
            Prompts().AnswerMessageBox(IDOK);
            Click(d, IDC_CALC_HEIGHTS_APPLY);
            ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
            EXPECT_EQ(Prompts().MessageBoxes()[0].text,
                      "拟合平面至少需要 3 个参与计算的点，现有 2 个");
            // A constant takes one point.
            Click(d, IDC_CALC_HEIGHTS_CONSTANT);
            Click(d, IDC_CALC_HEIGHTS_COMPUTE);
            EXPECT_NE(t.GetItemText(0, Dlg::kResidualColumn), "");

            // A latitude in decimal degrees: the row and the column named,
            // nothing computed.
            ASSERT_TRUE(EditListViewCell(d, IDC_CALC_HEIGHTS_POINTS, 1, Dlg::kValueColumn, "31.5"));
            EXPECT_EQ(t.GetItemText(0, Dlg::kResidualColumn), "") << "the change clears";
            Prompts().AnswerMessageBox(IDOK);
            Click(d, IDC_CALC_HEIGHTS_COMPUTE);
            ASSERT_EQ(Prompts().MessageBoxes().size(), 2u);
            EXPECT_EQ(Prompts().MessageBoxes()[1].text.rfind(
                          "表中第 2 行（点 GP2）：纬度“31.5”不是“度:分:秒”形式的角度", 0),
                      0u)
                << Prompts().MessageBoxes()[1].text;
            EXPECT_EQ(t.GetNextItem(-1, LVNI_SELECTED), 1);
            EXPECT_EQ(t.GetItemText(0, Dlg::kResidualColumn), "");
            // An empty H.
            ASSERT_TRUE(EditListViewCell(d, IDC_CALC_HEIGHTS_POINTS, 1, Dlg::kValueColumn,
                                         rows[1].values[0]));
            ASSERT_TRUE(
                EditListViewCell(d, IDC_CALC_HEIGHTS_POINTS, 0, Dlg::kValueColumn + 3, " "));
            Prompts().AnswerMessageBox(IDOK);
            Click(d, IDC_CALC_HEIGHTS_APPLY);
            ASSERT_EQ(Prompts().MessageBoxes().size(), 3u);
            EXPECT_EQ(Prompts().MessageBoxes()[2].text,
                      "表中第 1 行（点 GP1）：正常高 H“”不是数字");
            // α and the tolerance are checked before anything is read.
            ReplaceText(d, IDC_CALC_HEIGHTS_ALPHA, "50");
            Prompts().AnswerMessageBox(IDOK);
            Click(d, IDC_CALC_HEIGHTS_COMPUTE);
            ASSERT_EQ(Prompts().MessageBoxes().size(), 4u);
            EXPECT_NE(Prompts().MessageBoxes()[3].text.find("α"), std::string::npos);
            EXPECT_EQ(FocusedControlId(d), IDC_CALC_HEIGHTS_ALPHA);
            ReplaceText(d, IDC_CALC_HEIGHTS_ALPHA, "0.1");
            ReplaceText(d, IDC_CALC_HEIGHTS_TOLERANCE, "-1");
            Prompts().AnswerMessageBox(IDOK);
            Click(d, IDC_CALC_HEIGHTS_COMPUTE);
            ASSERT_EQ(Prompts().MessageBoxes().size(), 5u);
            EXPECT_NE(Prompts().MessageBoxes()[4].text.find("限差"), std::string::npos);
            Click(d, IDCANCEL);
        });
        ClickMenuItem(w, IDM_CALC_HEIGHTS);
    });
    EXPECT_EQ(Prompts().MessageBoxes().size(), 5u);
    EXPECT_FALSE(Heights().enabled);
    EXPECT_FALSE(Heights().model.has_value());
}

TEST_F(CalcHeightsTest, TheTableAndChoicesStayForTheSessionButNotInTheProjectFile) {
    RunWindow([&](CWnd& w) {
        Next([&](CWnd& d) {
            EXPECT_EQ(Table(d).GetColumnHeading(Dlg::kValueColumn), "x") << "plane by default";
            Click(d, IDC_CALC_HEIGHTS_ADD_ROW);
            const char* const typed[5] = {"T1", "3488000.000", "520000.000", "45.678", "33.210"};
            for (int c = 0; c < 5; ++c) {
                ASSERT_TRUE(EditListViewCell(d, IDC_CALC_HEIGHTS_POINTS, 0, Dlg::kNameColumn + c,
                                             typed[c]));
            }
            Click(d, IDC_CALC_HEIGHTS_QUADRIC);
            ReplaceText(d, IDC_CALC_HEIGHTS_TOLERANCE, "0.02");
            Click(d, IDCANCEL);
        });
        ClickMenuItem(w, IDM_CALC_HEIGHTS);
        Next([&](CWnd& d) {
            CListCtrl& t = Table(d);
            ASSERT_EQ(t.GetItemCount(), 1);
            EXPECT_EQ(t.GetItemText(0, Dlg::kNameColumn), "T1");
            EXPECT_EQ(t.GetItemText(0, Dlg::kValueColumn + 3), "33.210");
            EXPECT_TRUE(t.GetCheck(0));
            EXPECT_EQ(ControlCheck(d, IDC_CALC_HEIGHTS_QUADRIC), BST_CHECKED);
            EXPECT_EQ(ControlText(d, IDC_CALC_HEIGHTS_TOLERANCE), "0.02");
            Click(d, IDCANCEL);
        });
        ClickMenuItem(w, IDM_CALC_HEIGHTS);
    });
    ASSERT_EQ(dlg.m_session.m_heightInputs.rows.size(), 1u);
    // Not a change of the project: it saves as a fresh session does.
    ConversionSession fresh;
    fresh.PrepareConversion();
    dlg.m_session.PrepareConversion();
    std::string error;
    ASSERT_TRUE(fresh.SaveProject(dir.File("fresh.xyz"), &error)) << error;
    ASSERT_TRUE(dlg.m_session.SaveProject(dir.File("kept.xyz"), &error)) << error;
    EXPECT_EQ(ReadBytes(dir.File("kept.xyz")), ReadBytes(dir.File("fresh.xyz")));
}

// Plane x, y read through the session's projection on the CGCS2000
// ellipsoid give the same model as the geodetic positions they come from.
TEST_F(CalcHeightsTest, PlanePositionsGoThroughTheProjectionToTheSameModel) {
    const std::vector<Station> stations = Stations();
    const std::vector<HeightRowText> geodetic = GeodeticRows(stations);
    ConversionParams p;
    p.m_projBefore.centralMeridian = 117.0;
    p.m_targetEllipsoid[0] = 6378137.0;
    p.m_targetEllipsoid[1] = 298.257222101;
    std::vector<HeightRowText> plane = geodetic;
    const CGeoCore geo;
    for (std::size_t i = 0; i < plane.size(); ++i) {
        double B = 0, L = 0, x = 0, y = 0, ignored = 0;
        ASSERT_TRUE(ReadAngleText(geodetic[i].values[0], &B));
        ASSERT_TRUE(ReadAngleText(geodetic[i].values[1], &L));
        geo.GeodeticToPlaneChain(B, L, 0.0, p, &x, &y, &ignored);
        plane[i].values[0] = FormatFixed(x, 4);
        plane[i].values[1] = FormatFixed(y, 4);
    }
    dlg.m_session.m_params.m_projBefore.centralMeridian = 117.0;
    dlg.m_session.m_heightInputs.rows = plane;
    dlg.m_session.m_heightInputs.kind = Dlg::kPlanePositions;
    RunWindow([&](CWnd& w) {
        Next([&](CWnd& d) {
            EXPECT_EQ(Table(d).GetColumnHeading(Dlg::kValueColumn + 1), "y");
            Click(d, IDC_CALC_HEIGHTS_APPLY);
        });
        ClickMenuItem(w, IDM_CALC_HEIGHTS);
    });
    ASSERT_TRUE(Heights().model.has_value());
    const HeightFit expected = FitHeights(HeightSurface::Plane, false, PointsOf(geodetic), nullptr);
    ASSERT_TRUE(expected.Solved());
    // 1e-9 rad is 6 mm on the ground.
    EXPECT_NEAR(Heights().model->centroidB, expected.model.centroidB, 1e-9);
    EXPECT_NEAR(Heights().model->centroidL, expected.model.centroidL, 1e-9);
    EXPECT_NEAR(Heights().model->coefficients[0], expected.model.coefficients[0], 1e-6);
}

TEST_F(CalcHeightsTest, OnEgm96TheModelKeepsTheGridAndAPointOutsideAFileGridIsNamed) {
    std::string error;
    const std::shared_ptr<const GeoidGrid> egm96 = OpenGeoid(kEgm96Name, g_appDir, &error);
    if (!egm96) GTEST_SKIP() << error;
    const std::vector<HeightRowText> rows = GeodeticRows(Stations());
    dlg.m_session.m_heightInputs.rows = rows;
    dlg.m_session.m_heightInputs.kind = Dlg::kGeodeticPositions;
    const std::vector<HeightPoint> points = PointsOf(rows);
    // A small grid of 0.01° around GP1 only: GP2 lies outside it.
    const double B1 = points[0].B / kDegToRad, L1 = points[0].L / kDegToRad;
    ASSERT_TRUE(std::fabs(points[1].B / kDegToRad - B1) > 0.03 ||
                std::fabs(points[1].L / kDegToRad - L1) > 0.03);
    const std::string grid = dir.File("局部.asc");
    std::string asc = "ncols 5\nnrows 5\nxllcorner " + FormatFixed(L1 - 0.025, 6) + "\nyllcorner " +
                      FormatFixed(B1 - 0.025, 6) + "\ncellsize 0.01\nNODATA_value -9999\n";
    for (int r = 0; r < 5; ++r) asc += "10.1 10.2 10.3 10.4 10.5\n";
    WriteBytes(grid, asc);

    RunWindow([&](CWnd& w) {
        Next([&](CWnd& d) {
            EXPECT_FALSE(ControlEnabled(d, IDC_CALC_HEIGHTS_BROWSE));
            // Choosing a file asks for it at once.
            Prompts().AnswerFileDialog(dir.File("other.gtx"));
            SelectComboItem(d, IDC_CALC_HEIGHTS_GEOID, Dlg::kFileGeoid);
            EXPECT_EQ(ControlText(d, IDC_CALC_HEIGHTS_GEOID_FILE), dir.File("other.gtx"));
            ASSERT_TRUE(ControlEnabled(d, IDC_CALC_HEIGHTS_BROWSE));
            Prompts().AnswerFileDialog(grid);
            Click(d, IDC_CALC_HEIGHTS_BROWSE);
            EXPECT_EQ(ControlText(d, IDC_CALC_HEIGHTS_GEOID_FILE), grid);
            Prompts().AnswerMessageBox(IDOK);
            Click(d, IDC_CALC_HEIGHTS_COMPUTE);
            ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
            EXPECT_EQ(Prompts().MessageBoxes()[0].text,
                      "表中第 2 行（点 GP2）：点在大地水准面 " + grid + " 的范围以外");

            SelectComboItem(d, IDC_CALC_HEIGHTS_GEOID, Dlg::kEgm96Geoid);
            EXPECT_FALSE(ControlEnabled(d, IDC_CALC_HEIGHTS_GEOID_FILE));
            Click(d, IDC_CALC_HEIGHTS_CONSTANT);
            Click(d, IDC_CALC_HEIGHTS_COMPUTE);
            const HeightFit expected =
                FitHeights(HeightSurface::Constant, true, points, egm96.get());
            ASSERT_TRUE(expected.Solved());
            for (int row = 0; row < 14; ++row) {
                EXPECT_NEAR(CellMillimetres(Table(d), row, Dlg::kResidualColumn),
                            expected.residuals[static_cast<std::size_t>(row)].v * 1000.0, 0.051);
            }
            Click(d, IDC_CALC_HEIGHTS_APPLY);
        });
        ClickMenuItem(w, IDM_CALC_HEIGHTS);
    });
    ASSERT_TRUE(Heights().model.has_value());
    EXPECT_TRUE(Heights().model->onGeoid);
    EXPECT_EQ(Heights().model->surface, HeightSurface::Constant);
    EXPECT_EQ(Heights().geoid, kEgm96Name);
    EXPECT_TRUE(Heights().enabled);
    EXPECT_EQ(dlg.m_session.m_heightInputs.geoid, Dlg::kEgm96Geoid) << "remembered";
}

TEST_F(CalcHeightsTest, FilesOfBothFormsImportAndSavedPointsImportBackTheSame) {
    const std::vector<HeightRowText> geodetic = GeodeticRows(Stations());
    std::vector<HeightRowText> plane = geodetic;
    for (std::size_t i = 0; i < plane.size(); ++i) {
        plane[i].id = "亭" + std::to_string(i + 1);
        plane[i].values[0] = FormatFixed(3480000.0 + 731.5 * static_cast<double>(i), 3);
        plane[i].values[1] = FormatFixed(510000.0 + 517.25 * static_cast<double>(i * i % 7), 3);
    }
    const std::string planeFile = dir.File("平面.txt");
    const std::string geodeticFile = dir.File("大地.txt");
    const std::string saved = dir.File("保存.txt");
    // Names in GB18030 whose bytes are valid UTF-8 too (亭 is CD A4, U+0364
    // in UTF-8): the choice of the encoding decides.
    ASSERT_EQ(Utf8ToGb18030("亭"), "\xCD\xA4");
    WriteBytes(planeFile, Utf8ToGb18030(FileText(plane, ",")));
    WriteBytes(geodeticFile, FileText(geodetic, "  "));
    RunWindow([&](CWnd& w) {
        Next([&](CWnd& d) {
            SelectComboItem(d, IDC_CALC_HEIGHTS_KIND, Dlg::kGeodeticPositions);
            SelectComboItem(d, IDC_CALC_HEIGHTS_ENCODING, 1);
            Prompts().AnswerFileDialog(planeFile);
            Click(d, IDC_CALC_HEIGHTS_IMPORT);
            EXPECT_EQ(Table(d).GetItemText(0, Dlg::kNameColumn),
                      "\xCD\xA4"
                      "1")
                << "read as UTF-8";
            SelectComboItem(d, IDC_CALC_HEIGHTS_ENCODING, 2);
            Prompts().AnswerFileDialog(planeFile);
            Click(d, IDC_CALC_HEIGHTS_IMPORT);
            std::vector<HeightRowText> shown = Shown(d);
            ASSERT_EQ(shown.size(), plane.size());
            for (std::size_t i = 0; i < plane.size(); ++i) {
                EXPECT_EQ(shown[i].id, plane[i].id);
                for (int k = 0; k < 4; ++k) EXPECT_EQ(shown[i].values[k], plane[i].values[k]);
                EXPECT_TRUE(shown[i].used) << "a file's points take part";
            }
            EXPECT_EQ(ControlText(d, IDC_CALC_HEIGHTS_KIND), "平面坐标 x y") << "the file's form";
            EXPECT_EQ(Table(d).GetColumnHeading(Dlg::kValueColumn), "x");

            SelectComboItem(d, IDC_CALC_HEIGHTS_ENCODING, 0);
            Click(d, IDC_CALC_HEIGHTS_CONSTANT);
            Click(d, IDC_CALC_HEIGHTS_COMPUTE);
            EXPECT_NE(Table(d).GetItemText(0, Dlg::kResidualColumn), "") << "plane x, y compute";
            Prompts().AnswerFileDialog(geodeticFile);
            Click(d, IDC_CALC_HEIGHTS_IMPORT);
            shown = Shown(d);
            ASSERT_EQ(shown.size(), geodetic.size());
            for (std::size_t i = 0; i < geodetic.size(); ++i) {
                EXPECT_EQ(shown[i].id, geodetic[i].id);
                for (int k = 0; k < 4; ++k) EXPECT_EQ(shown[i].values[k], geodetic[i].values[k]);
            }
            EXPECT_EQ(ControlText(d, IDC_CALC_HEIGHTS_KIND), "大地坐标 B L");
            EXPECT_EQ(Table(d).GetColumnHeading(Dlg::kValueColumn + 1), "L");

            // An edited table saved and read back, by the core and by 导入.
            ASSERT_TRUE(
                EditListViewCell(d, IDC_CALC_HEIGHTS_POINTS, 2, Dlg::kValueColumn + 3, "61.250"));
            ASSERT_TRUE(EditListViewCell(d, IDC_CALC_HEIGHTS_POINTS, 3, Dlg::kNameColumn, "亭1"));
            const std::vector<HeightRowText> edited = Shown(d);
            Prompts().AnswerFileDialog(saved);
            Click(d, IDC_CALC_HEIGHTS_SAVE_POINTS);
            std::vector<CommonHeight> read;
            HeightPositions positions = HeightPositions::Plane;
            std::string error;
            ASSERT_TRUE(
                ReadCommonHeightFile(saved, TextLanguage::Chinese, &read, &positions, &error))
                << error;
            EXPECT_EQ(positions, HeightPositions::Geodetic);
            ASSERT_EQ(read.size(), edited.size());
            EXPECT_EQ(read[2].H, "61.250");
            EXPECT_EQ(read[3].id, "亭1");
            Click(d, IDC_CALC_HEIGHTS_ADD_ROW);
            Prompts().AnswerFileDialog(saved);
            Click(d, IDC_CALC_HEIGHTS_IMPORT);
            shown = Shown(d);
            ASSERT_EQ(shown.size(), edited.size());
            for (std::size_t i = 0; i < edited.size(); ++i) {
                EXPECT_EQ(shown[i].id, edited[i].id);
                for (int k = 0; k < 4; ++k) EXPECT_EQ(shown[i].values[k], edited[i].values[k]) << i;
            }
            Click(d, IDCANCEL);
        });
        ClickMenuItem(w, IDM_CALC_HEIGHTS);
    });
    EXPECT_TRUE(Prompts().MessageBoxes().empty());
}

TEST_F(CalcHeightsTest, ThePlotMarksTheBlunderRedAndFollowsTheSelectionBothWays) {
    std::vector<HeightRowText> rows = GeodeticRows(Stations());
    constexpr int kBlunder = 4, kCheck = 13;
    double h = 0;
    ASSERT_TRUE(ReadNumberText(rows[kBlunder].values[2], &h));
    rows[kBlunder].values[2] = Fixed3(h + 0.05);
    dlg.m_session.m_heightInputs.rows = rows;
    dlg.m_session.m_heightInputs.kind = Dlg::kGeodeticPositions;
    RunWindow([&](CWnd& w) {
        Next([&](CWnd& d) {
            CResidualPlotView& view = View(d);
            EXPECT_FALSE(view.HasPlot()) << "nothing computed yet";
            Click(d, IDC_CALC_HEIGHTS_COMPUTE);
            ASSERT_TRUE(view.HasPlot());
            ASSERT_EQ(view.Plot().points.size(), rows.size());
            for (int i = 0; i < static_cast<int>(rows.size()); ++i)
                EXPECT_EQ(Mark(d, i).pen, i == kBlunder ? kPlotFlagged : kPlotInk) << i;
            EXPECT_EQ(Mark(d, kCheck).fill, kPlotPaper) << "a check point: hollow";
            EXPECT_EQ(Mark(d, 0).fill, kPlotInk) << "used: filled";
            // A height residual is an arrow up for a positive v.
            const PlotPoint blunder = view.Plot().points[kBlunder];
            EXPECT_LT(blunder.arrowY, blunder.y);
            EXPECT_NEAR(blunder.arrowX, blunder.x, 1e-9);

            SelectListViewItem(d, IDC_CALC_HEIGHTS_POINTS, 3);
            EXPECT_EQ(view.Selection(), 3);
            const PlotPoint p7 = view.Plot().points[7];
            QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier,
                              QPoint(static_cast<int>(p7.x), static_cast<int>(p7.y)));
            EXPECT_EQ(Table(d).GetNextItem(-1, LVNI_SELECTED), 7);

            ClickListViewCheck(d, IDC_CALC_HEIGHTS_POINTS, kBlunder);
            EXPECT_FALSE(view.HasPlot()) << "a change clears the plot";
            Click(d, IDCANCEL);
        });
        ClickMenuItem(w, IDM_CALC_HEIGHTS);
    });
}

TEST_F(CalcHeightsTest, ApplyTurnsTheSwitchOnAndUndoTakesTheModelBack) {
    const std::vector<HeightRowText> rows = GeodeticRows(Stations());
    dlg.m_session.m_heightInputs.rows = rows;
    dlg.m_session.m_heightInputs.kind = Dlg::kGeodeticPositions;
    const std::string report = dir.File("报告.txt");
    RunWindow([&](CWnd& w) {
        EXPECT_EQ(ControlCheck(w, IDC_USE_HEIGHTS), BST_UNCHECKED);
        Next([&](CWnd& d) {
            Click(d, IDC_CALC_HEIGHTS_QUADRIC);
            Prompts().AnswerFileDialog(report);
            Click(d, IDC_CALC_HEIGHTS_SAVE_REPORT);  // computes first
            Click(d, IDC_CALC_HEIGHTS_APPLY);
        });
        ClickMenuItem(w, IDM_CALC_HEIGHTS);
        EXPECT_EQ(ControlCheck(w, IDC_USE_HEIGHTS), BST_CHECKED);
        ASSERT_TRUE(Heights().model.has_value());
        EXPECT_EQ(Heights().model->surface, HeightSurface::Quadric);
        EXPECT_NE(w.GetWindowText().find('*'), std::string::npos) << "a change of the project";
        // On a button (not in an edit field) Ctrl+Z is the window's.
        w.GetSafeHwnd()->window()->activateWindow();
        QApplication::processEvents();
        ControlWidget(w, IDC_CONVERT)->setFocus();
        PressShortcut(w, "Ctrl+Z");
        EXPECT_FALSE(Heights().enabled);
        EXPECT_FALSE(Heights().model.has_value());
        EXPECT_EQ(ControlCheck(w, IDC_USE_HEIGHTS), BST_UNCHECKED);
        ClickMenuItem(w, ID_EDIT_REDO);
        EXPECT_TRUE(Heights().enabled);
        ASSERT_TRUE(Heights().model.has_value());
        EXPECT_EQ(Heights().model->surface, HeightSurface::Quadric);
    });
    // The report is the core's for the same table.
    HeightFitRequest request;
    request.surface = HeightSurface::Quadric;
    request.positions = HeightPositions::Geodetic;
    CommonHeightFit expected;
    FitProblem problem;
    ASSERT_TRUE(ComputeHeightFit(CoreRowsOf(rows), request, ConversionParams(), nullptr,
                                 TextLanguage::Chinese, &expected, &problem))
        << problem.message;
    EXPECT_EQ(ReadBytes(report), HeightFitReportText(expected, TextLanguage::Chinese));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Heights().model->coefficients[i], expected.fit.model.coefficients[i]) << i;
}

}  // namespace
