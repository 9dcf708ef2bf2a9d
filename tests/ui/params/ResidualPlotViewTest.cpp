// The residual plot view: it paints the core's description for its size
// (marks, arrows with heads, names, scale bar, north arrow), flagged points
// red and check points hollow, in its pixels too; the selection is ringed and
// a click on a mark picks its point; cleared, it shows only its hint.
#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <memory>

#include "params/CommonPointFile.h"
#include "params/CommonPointFit.h"
#include "tests/support/HelpPageExample.h"
#include "tests/ui/params/ParamsTest.h"
#include "ui/params/ResidualPlotView.h"

namespace {

constexpr int kG07 = 6, kK01 = 8;  // the help page's blunder and check point

class ResidualPlotViewTest : public ParamsTest {
protected:
    void SetUp() override {
        ParamsTest::SetUp();
        std::vector<CommonPoint> points;
        std::string error;
        ASSERT_TRUE(ParseCommonPoints(HelpPageBlock(HelpPageText(), "multi-input"),
                                      TextLanguage::Chinese, &points, &error))
            << error;
        points[kK01].used = false;
        FitRequest request;
        request.sourceDatum = 1;
        request.targetDatum = 4;
        ConversionParams settings;
        settings.m_projBefore.centralMeridian = 117.0;
        FitProblem problem;
        ASSERT_TRUE(ComputeFit(points, request, settings, TextLanguage::Chinese, &fit, &problem))
            << problem.message;
        ASSERT_TRUE(fit.fit.residuals[kG07].flagged);
        view = std::make_unique<CResidualPlotView>();
        view->resize(400, 320);
        view->show();
        view->SetPlot([this](double w, double h) { return MakeResidualPlot(fit, w, h); });
    }

    static std::vector<PlotItem> Of(const std::vector<PlotItem>& items, PlotItem::Kind kind,
                                    int point) {
        std::vector<PlotItem> out;
        for (const PlotItem& item : items) {
            if (item.kind == kind && item.point == point && !item.selection) out.push_back(item);
        }
        return out;
    }

    void TearDown() override {
        view.reset();
        ParamsTest::TearDown();
    }

    CommonPointFit fit;
    std::unique_ptr<CResidualPlotView> view;  // made once the application is
};

TEST_F(ResidualPlotViewTest, PaintsTheDescriptionRedWhereFlaggedHollowWhereChecked) {
    const ResidualPlot& plot = view->Plot();
    ASSERT_EQ(plot.points.size(), 9u);
    EXPECT_EQ(plot.width, 400);
    EXPECT_EQ(plot.height, 320);
    const std::vector<PlotItem> items = view->Items();
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        const PlotPoint& p = plot.points[static_cast<std::size_t>(i)];
        const std::vector<PlotItem> marks = Of(items, PlotItem::Kind::Mark, i);
        ASSERT_EQ(marks.size(), 1u);
        EXPECT_EQ(marks[0].x1, p.x);
        EXPECT_EQ(marks[0].y1, p.y);
        EXPECT_EQ(marks[0].pen, i == kG07 ? kPlotFlagged : kPlotInk);
        EXPECT_EQ(marks[0].fill, i == kK01 ? kPlotPaper : marks[0].pen);
        // One arrow to the residual's end, its head there.
        const std::vector<PlotItem> lines = Of(items, PlotItem::Kind::Line, i);
        const std::vector<PlotItem> heads = Of(items, PlotItem::Kind::Head, i);
        ASSERT_EQ(lines.size(), 1u);
        ASSERT_EQ(heads.size(), 1u);
        EXPECT_EQ(lines[0].x2, p.arrowX);
        EXPECT_EQ(lines[0].y2, p.arrowY);
        EXPECT_EQ(heads[0].x2, p.arrowX);
        EXPECT_EQ(heads[0].pen, marks[0].pen);
        // Nine points: all named, the blunder in red.
        const std::vector<PlotItem> names = Of(items, PlotItem::Kind::Text, i);
        ASSERT_EQ(names.size(), 1u);
        EXPECT_EQ(names[0].text, fit.points[static_cast<std::size_t>(i)].id);
        EXPECT_EQ(names[0].pen, marks[0].pen);
    }
    // The bar with its label, the north arrow with its head and its N.
    int bar = 0, northHead = 0, labels = 0;
    for (const PlotItem& item : Of(items, PlotItem::Kind::Line, -1))
        bar += item.width == plot.barWidth && item.x2 - item.x1 == plot.barLength;
    for (const PlotItem& item : Of(items, PlotItem::Kind::Head, -1))
        northHead += item.x2 == plot.northX && item.y2 == plot.northTop;
    for (const PlotItem& item : Of(items, PlotItem::Kind::Text, -1))
        labels += item.text == plot.barLabel || item.text == "N";
    EXPECT_EQ(bar, 1);
    EXPECT_EQ(northHead, 1);
    EXPECT_EQ(labels, 2);

    // What the painter made of it: the blunder's disc red, a used point's
    // black, the check point's hollow inside a dark ring.
    const QImage image = view->grab().toImage();
    auto pixel = [&](const PlotPoint& p, double dx = 0) {
        return image.pixelColor(static_cast<int>(p.x + dx), static_cast<int>(p.y));
    };
    const QColor red = pixel(plot.points[kG07]);
    EXPECT_TRUE(red.red() > 150 && red.green() < 80 && red.blue() < 80) << red.name().toStdString();
    const QColor black = pixel(plot.points[0]);
    EXPECT_LT(black.lightness(), 80) << black.name().toStdString();
    EXPECT_GT(pixel(plot.points[kK01]).lightness(), 200);
    EXPECT_LT(pixel(plot.points[kK01], plot.pointRadius).lightness(), 160);
}

TEST_F(ResidualPlotViewTest, LaysItselfOutAgainWhenResized) {
    const ResidualPlot before = view->Plot();
    view->resize(800, 500);
    const ResidualPlot& after = view->Plot();
    ASSERT_EQ(after.points.size(), 9u);
    EXPECT_EQ(after.width, 800);
    EXPECT_EQ(after.height, 500);
    EXPECT_NE(after.points[0].x, before.points[0].x);
    for (const PlotPoint& p : after.points)
        EXPECT_TRUE(p.x > 0 && p.x < 800 && p.y > 0 && p.y < 500);
}

TEST_F(ResidualPlotViewTest, TheSelectionIsRingedAndAClickOnAMarkPicksItsPoint) {
    std::vector<int> picked;
    view->SetPicker([&](int point) { picked.push_back(point); });
    auto ring = [&]() {
        int at = -1, rings = 0;
        for (const PlotItem& item : view->Items()) {
            if (item.selection) at = item.point, ++rings;
        }
        return rings == 1 ? at : -1 - rings;
    };
    EXPECT_EQ(ring(), -1) << "no ring before a selection";
    view->SetSelection(3);
    EXPECT_EQ(view->Selection(), 3);
    EXPECT_EQ(ring(), 3);
    EXPECT_TRUE(picked.empty()) << "setting the selection is no pick";
    view->SetSelection(9);
    EXPECT_EQ(view->Selection(), -1) << "no such point";

    const PlotPoint p5 = view->Plot().points[5];
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(static_cast<int>(p5.x) + 2, static_cast<int>(p5.y) + 1));
    EXPECT_EQ(picked, std::vector<int>{5});
    EXPECT_EQ(view->Selection(), 5);
    EXPECT_EQ(ring(), 5);
    EXPECT_EQ(view->PointAt(p5.x + view->Plot().pointRadius + 20, p5.y), -1);
    // Far from every mark: nothing picked, the selection stays.
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(2, 318));
    EXPECT_EQ(picked.size(), 1u);
    EXPECT_EQ(view->Selection(), 5);
}

TEST_F(ResidualPlotViewTest, ClearedItShowsItsHintAndNoPoint) {
    view->SetSelection(2);
    view->Clear("计算后显示");
    EXPECT_FALSE(view->HasPlot());
    EXPECT_EQ(view->Selection(), -1);
    EXPECT_TRUE(view->Plot().points.empty());
    int marks = 0, hints = 0;
    for (const PlotItem& item : view->Items()) {
        marks += item.kind != PlotItem::Kind::Text;
        hints += item.text == "计算后显示";
    }
    EXPECT_EQ(marks, 0);
    EXPECT_EQ(hints, 1);
    view->resize(300, 300);
    EXPECT_TRUE(view->Plot().points.empty()) << "a resize brings no plot back";
}

}  // namespace
