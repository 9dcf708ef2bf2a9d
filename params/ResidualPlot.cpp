#include "params/ResidualPlot.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "crmath/Elementary.h"
#include "io/AtomicFile.h"
#include "io/FileException.h"

namespace {

constexpr double kMargin = 40;      // around the points, pixels
constexpr double kLegend = 36;      // below them, for the scale bar
constexpr double kArrowShare = 0.12;  // the longest arrow, of the smaller side

// The round length 1, 2 or 5 × 10^k metres whose bar is closest to 80 pixels
// and no longer than 120.
double RoundBar(double pixelsPerMetre) {
    const double want = 80 / pixelsPerMetre;
    double step = crmath::Pow(10, std::floor(crmath::Log10(want)));
    double best = step;
    for (double f : {1.0, 2.0, 5.0, 10.0}) {
        if (f * step * pixelsPerMetre <= 120) best = f * step;
    }
    return best;
}

std::string Label(double metres) {
    char text[32];
    if (metres < 0.01) {
        std::snprintf(text, sizeof text, "%g mm", metres * 1000);
    } else if (metres < 1) {
        std::snprintf(text, sizeof text, "%g cm", metres * 100);
    } else {
        std::snprintf(text, sizeof text, "%g m", metres);
    }
    return text;
}

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v + 0.0);
    return text;
}

std::string Escaped(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '&': out += "&amp;"; break;
            case '"': out += "&quot;"; break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20) out += c;
        }
    }
    return out;
}

}  // namespace

namespace {

// A point of a plot: map position (m north, east) and residual (m north, east).
struct PlotInput {
    double north = 0, east = 0;
    double vNorth = 0, vEast = 0;
    std::string name;
    bool used = true;
    bool flagged = false;
};

ResidualPlot LayOut(const std::vector<PlotInput>& inputs, double width, double height) {
    ResidualPlot plot;
    plot.width = width;
    plot.height = height;
    const std::size_t n = inputs.size();
    if (n == 0) return plot;
    double minN = inputs[0].north, maxN = minN;
    double minE = inputs[0].east, maxE = minE;
    double longest = 0;
    for (const PlotInput& r : inputs) {
        minN = std::min(minN, r.north), maxN = std::max(maxN, r.north);
        minE = std::min(minE, r.east), maxE = std::max(maxE, r.east);
        longest = std::max(longest, std::hypot(r.vNorth, r.vEast));
    }
    const double areaW = std::max(1.0, width - 2 * kMargin);
    const double areaH = std::max(1.0, height - 2 * kMargin - kLegend);
    const double spanE = maxE - minE, spanN = maxN - minN;
    double scale = 1;  // pixels per metre of the map
    if (spanE > 0 || spanN > 0) {
        scale = std::min(spanE > 0 ? areaW / spanE : 1e300, spanN > 0 ? areaH / spanN : 1e300);
    }
    plot.metresPerPixel = 1 / scale;
    // Centred in the area.
    const double left = kMargin + (areaW - spanE * scale) / 2;
    const double top = kMargin + (areaH - spanN * scale) / 2;
    plot.pixelsPerMetre =
        longest > 0 ? kArrowShare * std::min(width, height) / longest : 1000;  // 1 mm: 1 px
    const bool allNamed = static_cast<int>(n) <= kNamedPoints;
    for (const PlotInput& r : inputs) {
        PlotPoint p;
        p.x = left + (r.east - minE) * scale;
        p.y = top + (maxN - r.north) * scale;
        p.arrowX = p.x + r.vEast * plot.pixelsPerMetre;
        p.arrowY = p.y - r.vNorth * plot.pixelsPerMetre;
        p.name = r.name;
        p.used = r.used;
        p.flagged = r.flagged;
        p.named = allNamed || r.flagged;
        p.nameX = p.x + plot.pointRadius + 2;
        p.nameY = p.y - plot.pointRadius - 2;
        p.colour = r.flagged ? kPlotFlagged : kPlotInk;
        plot.points.push_back(std::move(p));
    }
    plot.barMetres = RoundBar(plot.pixelsPerMetre);
    plot.barLength = plot.barMetres * plot.pixelsPerMetre;
    plot.barLabel = Label(plot.barMetres);
    plot.barX = kMargin;
    plot.barY = height - kLegend / 2;
    plot.barLabelX = plot.barX + plot.barLength + 8;
    plot.barLabelY = plot.barY + plot.fontSize / 3;
    plot.northX = width - kMargin / 2;
    plot.northTop = kMargin / 4;
    plot.northBottom = kMargin / 4 + 30;
    plot.northLabelX = plot.northX - plot.fontSize / 3;
    plot.northLabelY = plot.northBottom + plot.fontSize + 2;
    return plot;
}

}  // namespace

ResidualPlot MakeResidualPlot(const CommonPointFit& result, double width, double height) {
    const ParameterFit& fit = result.fit;
    std::vector<PlotInput> inputs;
    for (std::size_t i = 0; i < fit.residuals.size(); ++i) {
        const PointResidual& r = fit.residuals[i];
        PlotInput in;
        in.north = r.map[0], in.east = r.map[1];
        in.vNorth = r.v[0], in.vEast = r.v[1];
        in.name = i < result.points.size() ? result.points[i].id : std::string();
        in.used = i < result.points.size() ? result.points[i].used : true;
        in.flagged = r.flagged;
        inputs.push_back(std::move(in));
    }
    return LayOut(inputs, width, height);
}

ResidualPlot MakeHeightResidualPlot(const CommonHeightFit& result, double width, double height) {
    const HeightFit& fit = result.fit;
    std::vector<PlotInput> inputs;
    for (std::size_t i = 0; i < fit.residuals.size() && i < result.points.size(); ++i) {
        const HeightResidual& r = fit.residuals[i];
        PlotInput in;
        in.north = r.north, in.east = r.east;
        in.vNorth = r.v;
        in.name = result.points[i].id;
        in.used = result.points[i].used;
        in.flagged = r.flagged;
        inputs.push_back(std::move(in));
    }
    ResidualPlot plot = LayOut(inputs, width, height);
    plot.note = "v = ζ − model: ↑ +, ↓ −";
    return plot;
}

namespace {

std::string Colour(unsigned rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", rgb & 0xffffffu);
    return text;
}

}  // namespace

std::string ResidualPlotSvg(const ResidualPlot& plot) {
    const std::string paper = Colour(kPlotPaper), ink = Colour(kPlotInk);
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Number(plot.width) +
           "\" height=\"" + Number(plot.height) + "\" viewBox=\"0 0 " + Number(plot.width) + " " +
           Number(plot.height) + "\">\n";
    const std::string head = Number(plot.headLength), half = Number(plot.headLength / 2);
    out += "<defs><marker id=\"head\" markerUnits=\"userSpaceOnUse\" markerWidth=\"" + head +
           "\" markerHeight=\"" + head + "\" refX=\"" + head + "\" refY=\"" + half +
           "\" orient=\"auto\"><path d=\"M0,0 L" + head + "," + half + " L0," + head +
           " z\" fill=\"context-stroke\"/></marker></defs>\n";
    out += "<rect width=\"100%\" height=\"100%\" fill=\"" + paper + "\"/>\n";
    const std::string line = Number(plot.lineWidth), font = Number(plot.fontSize);
    for (const PlotPoint& p : plot.points) {
        out += "<line class=\"residual\" x1=\"" + Number(p.x) + "\" y1=\"" + Number(p.y) +
               "\" x2=\"" + Number(p.arrowX) + "\" y2=\"" + Number(p.arrowY) + "\" stroke=\"" +
               Colour(p.colour) + "\" stroke-width=\"" + line + "\" marker-end=\"url(#head)\"/>\n";
    }
    for (const PlotPoint& p : plot.points) {
        const std::string colour = Colour(p.colour);
        out += std::string("<circle class=\"point ") + (p.used ? "used" : "check") +
               (p.flagged ? " flagged" : "") + "\" cx=\"" + Number(p.x) + "\" cy=\"" +
               Number(p.y) + "\" r=\"" + Number(plot.pointRadius) + "\" stroke=\"" + colour +
               "\" fill=\"" + (p.used ? colour : paper) + "\"><title>" + Escaped(p.name) +
               "</title></circle>\n";
        if (p.named) {
            out += "<text class=\"name\" x=\"" + Number(p.nameX) + "\" y=\"" + Number(p.nameY) +
                   "\" font-size=\"" + font + "\" fill=\"" + colour + "\">" + Escaped(p.name) +
                   "</text>\n";
        }
    }
    out += "<line class=\"scale\" x1=\"" + Number(plot.barX) + "\" y1=\"" + Number(plot.barY) +
           "\" x2=\"" + Number(plot.barX + plot.barLength) + "\" y2=\"" + Number(plot.barY) +
           "\" stroke=\"" + ink + "\" stroke-width=\"" + Number(plot.barWidth) + "\"/>\n";
    out += "<text class=\"scale\" x=\"" + Number(plot.barLabelX) + "\" y=\"" +
           Number(plot.barLabelY) + "\" font-size=\"" + font + "\">" + Escaped(plot.barLabel) +
           "</text>\n";
    out += "<line class=\"north\" x1=\"" + Number(plot.northX) + "\" y1=\"" +
           Number(plot.northBottom) + "\" x2=\"" + Number(plot.northX) + "\" y2=\"" +
           Number(plot.northTop) + "\" stroke=\"" + ink + "\" stroke-width=\"" + line +
           "\" marker-end=\"url(#head)\"/>\n";
    out += "<text class=\"north\" x=\"" + Number(plot.northLabelX) + "\" y=\"" +
           Number(plot.northLabelY) + "\" font-size=\"" + font + "\">N</text>\n";
    if (!plot.note.empty()) {
        out += "<text class=\"note\" x=\"" + Number(plot.width / 2) + "\" y=\"" +
               Number(plot.barLabelY) + "\" font-size=\"" + font + "\">" + Escaped(plot.note) +
               "</text>\n";
    }
    return out + "</svg>\n";
}

bool WriteResidualPlot(const std::string& path, const ResidualPlot& plot, bool english,
                       std::string* error) {
    try {
        CAtomicFile::WriteWhole(path, ResidualPlotSvg(plot));
    } catch (const CFileException& e) {
        *error = english ? "cannot write the plot '" + path +
                               "': " + std::strerror(e.m_lOsError != 0 ? e.m_lOsError : EIO)
                         : "无法保存残差图。" + e.GetErrorMessage();
        return false;
    }
    return true;
}
