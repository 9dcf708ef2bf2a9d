// The residual plot: its SVG is well-formed XML with one mark per point and
// one arrow per residual; the arrows follow the residuals at the scale of the
// bar, north up; check points hollow, flagged points red and named.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "params/CommonPointFit.h"
#include "params/ResidualPlot.h"
#include "tests/support/XmlReader.h"

namespace {

// Four parameters, plane to plane: x north, y east; residuals chosen by the
// targets so that the arrows can be checked.
CommonPointFit FourFit() {
    std::vector<CommonPoint> points;
    const double at[6][2] = {{0, 0}, {1000, 0}, {0, 1000}, {1000, 1000}, {500, 500}, {200, 800}};
    for (int i = 0; i < 6; ++i) {
        CommonPoint p;
        p.id = i == 4 ? "亭<5>" : "P" + std::to_string(i + 1);
        p.source[0] = std::to_string(at[i][0]), p.source[1] = std::to_string(at[i][1]);
        p.source[2] = p.target[2] = "0";
        p.target[0] = std::to_string(3500000 + at[i][0] + (i == 4 ? 0.06 : i * 0.001));
        p.target[1] = std::to_string(500000 + at[i][1] - (i == 2 ? 0.004 : 0.0));
        p.used = i != 5;
        points.push_back(p);
    }
    FitRequest request;
    request.model = FitModel::Four;
    request.sourceKind = request.targetKind = kPlaneKind;
    request.alpha = 0.05;
    CommonPointFit result;
    FitProblem problem;
    EXPECT_TRUE(ComputeFit(points, request, ConversionParams(), TextLanguage::English, &result,
                           &problem))
        << problem.message;
    return result;
}

TEST(ResidualPlot, SvgIsWellFormedWithOneMarkPerPointAndOneArrowPerResidual) {
    const CommonPointFit result = FourFit();
    ASSERT_TRUE(result.fit.residuals[4].flagged);
    const ResidualPlot plot = MakeResidualPlot(result, 640, 480);
    const std::string svg = ResidualPlotSvg(plot);
    std::vector<XmlElement> elements;
    std::string why;
    ASSERT_TRUE(ReadXml(svg, &elements, &why)) << why << "\n" << svg;
    ASSERT_EQ(elements.front().name, "svg");
    int marks = 0, arrows = 0, scale = 0, north = 0, red = 0, hollow = 0;
    for (const XmlElement& e : elements) {
        const auto cls = e.attributes.find("class");
        if (cls == e.attributes.end()) continue;
        if (e.name == "circle" && cls->second.rfind("point", 0) == 0) {
            ++marks;
            red += cls->second.find("flagged") != std::string::npos &&
                   e.attributes.at("stroke") == "#d00000";
            hollow += cls->second.find("check") != std::string::npos &&
                      e.attributes.at("fill") == "#ffffff";
        }
        arrows += e.name == "line" && cls->second == "residual";
        scale += e.name == "line" && cls->second == "scale";
        north += e.name == "line" && cls->second == "north";
    }
    EXPECT_EQ(marks, 6);
    EXPECT_EQ(arrows, 6);
    EXPECT_TRUE(scale == 1 && north == 1 && red == 1 && hollow == 1);
    EXPECT_NE(svg.find("亭&lt;5&gt;"), std::string::npos) << "the flagged name, escaped";
}

TEST(ResidualPlot, ArrowsFollowTheResidualsAtTheScaleOfTheBarNorthUp) {
    const CommonPointFit result = FourFit();
    const ResidualPlot plot = MakeResidualPlot(result, 640, 480);
    ASSERT_EQ(plot.points.size(), 6u);
    // Map: x north is up the picture, y east to the right.
    EXPECT_LT(plot.points[1].y, plot.points[0].y);
    EXPECT_NEAR(plot.points[1].x, plot.points[0].x, 1e-9);
    EXPECT_GT(plot.points[2].x, plot.points[0].x);
    for (std::size_t i = 0; i < 6; ++i) {
        const PlotPoint& p = plot.points[i];
        const PointResidual& r = result.fit.residuals[i];
        EXPECT_NEAR(p.arrowX - p.x, r.v[1] * plot.pixelsPerMetre, 1e-9);
        EXPECT_NEAR(p.y - p.arrowY, r.v[0] * plot.pixelsPerMetre, 1e-9);
        EXPECT_TRUE(p.x >= 0 && p.x <= 640 && p.y >= 0 && p.y <= 480);
        EXPECT_EQ(p.used, i != 5);
        EXPECT_EQ(p.flagged, r.flagged);
    }
    // The bar: a round length at the arrows' scale, labelled in its unit.
    EXPECT_NEAR(plot.barLength, plot.barMetres * plot.pixelsPerMetre, 1e-9);
    EXPECT_TRUE(plot.barLength >= 20 && plot.barLength <= 120) << plot.barLength;
    const double mantissa = plot.barMetres / std::pow(10, std::floor(std::log10(plot.barMetres)));
    EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 ||
                std::fabs(mantissa - 5) < 1e-9)
        << plot.barMetres;
    EXPECT_TRUE(plot.barLabel.find(" cm") != std::string::npos ||
                plot.barLabel.find(" mm") != std::string::npos)
        << plot.barLabel;
    EXPECT_LT(plot.northTop, plot.northBottom) << "the north arrow points up";
}

// The window paints from the same description: the SVG takes the names'
// places, the colours and the pen from it, not from figures of its own.
TEST(ResidualPlot, SvgTakesPlacesColoursAndPenFromTheDescription) {
    ResidualPlot plot = MakeResidualPlot(FourFit(), 640, 480);
    ASSERT_EQ(plot.points.size(), 6u);
    EXPECT_EQ(plot.points[4].colour, kPlotFlagged);
    EXPECT_EQ(plot.points[0].colour, kPlotInk);
    EXPECT_GT(plot.points[0].nameX, plot.points[0].x) << "names to the right, above";
    EXPECT_LT(plot.points[0].nameY, plot.points[0].y);
    plot.points[0].nameX = 111.25;
    plot.points[0].nameY = 222.5;
    plot.points[0].colour = 0x123456;
    plot.pointRadius = 7;
    plot.barLabelX = 333;
    plot.northLabelY = 44;
    std::vector<XmlElement> elements;
    std::string why;
    ASSERT_TRUE(ReadXml(ResidualPlotSvg(plot), &elements, &why)) << why;
    int name = 0, marks = 0, coloured = 0, bar = 0, north = 0;
    for (const XmlElement& e : elements) {
        const auto cls = e.attributes.find("class");
        if (cls == e.attributes.end()) continue;
        if (e.name == "text" && cls->second == "name") {
            name += e.attributes.at("x") == "111.25" && e.attributes.at("y") == "222.50" &&
                    e.attributes.at("fill") == "#123456";
        }
        if (e.name == "circle") {
            marks += e.attributes.at("r") == "7.00";
            coloured += e.attributes.at("stroke") == "#123456";
        }
        bar += e.name == "text" && cls->second == "scale" && e.attributes.at("x") == "333.00";
        north += e.name == "text" && cls->second == "north" && e.attributes.at("y") == "44.00";
    }
    EXPECT_EQ(name, 1);
    EXPECT_EQ(marks, 6);
    EXPECT_EQ(coloured, 1);
    EXPECT_EQ(bar, 1);
    EXPECT_EQ(north, 1);
}

}  // namespace
