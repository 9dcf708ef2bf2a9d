// The residual plot of a fit: the common points at their map positions, each
// with its horizontal residual as an arrow at the scale of a scale bar, used
// points filled, check points hollow, flagged points red with their names, a
// north arrow. One description, drawn by the window and written as SVG here.
// Drawing coordinates are pixels, x to the right (east), y down (south).
//
// A height fit has scalar residuals: each is drawn as an arrow pointing
// north (up the page) when positive, south when negative, at the same scale
// bar; the plot's note says so.
#pragma once

#include <string>
#include <vector>

#include "params/CommonHeightFit.h"
#include "params/CommonPointFit.h"

// Colours as 0xRRGGBB.
inline constexpr unsigned kPlotInk = 0x000000;
inline constexpr unsigned kPlotFlagged = 0xd00000;
inline constexpr unsigned kPlotPaper = 0xffffff;

struct PlotPoint {
    double x = 0, y = 0;            // the point
    double arrowX = 0, arrowY = 0;  // the end of its residual arrow
    std::string name;               // UTF-8
    bool used = true;               // filled; false: hollow (a check point)
    bool flagged = false;           // red
    bool named = false;             // its name is written beside it
    double nameX = 0, nameY = 0;    // where: the start of the name's baseline
    unsigned colour = kPlotInk;     // of the mark, the arrow and the name
};

struct ResidualPlot {
    double width = 0, height = 0;
    std::vector<PlotPoint> points;  // in the order of the fit's points
    // The scale bar: from (barX, barY) barLength pixels to the right, standing
    // for barMetres of residual, labelled barLabel ("5 mm", "2 cm", "1 m").
    double barX = 0, barY = 0, barLength = 0, barMetres = 0;
    std::string barLabel;
    double barLabelX = 0, barLabelY = 0;  // the start of its baseline
    // The north arrow: from (northX, northBottom) up to (northX, northTop),
    // "N" written from (northLabelX, northLabelY).
    double northX = 0, northTop = 0, northBottom = 0;
    double northLabelX = 0, northLabelY = 0;
    // The pen: marks of this radius, arrows and their heads (a triangle this
    // long and as wide) in lines this wide, the bar thicker, text this high.
    double pointRadius = 4, lineWidth = 1.5, headLength = 8, barWidth = 3, fontSize = 12;
    double metresPerPixel = 0;  // of the map
    double pixelsPerMetre = 0;  // of the residual arrows
    std::string note;           // a line below the points, centred (UTF-8); may be empty
};

// The plot of `result` in a width x height picture. Names are written for
// every point when there are at most kNamedPoints, else for the flagged.
inline constexpr int kNamedPoints = 60;
ResidualPlot MakeResidualPlot(const CommonPointFit& result, double width, double height);
// The plot of a height fit: points at their positions in the fit's frame,
// residual v as an arrow north (v > 0) or south (v < 0).
ResidualPlot MakeHeightResidualPlot(const CommonHeightFit& result, double width, double height);

// The plot as an SVG document: one <circle class="point ..."> per point, one
// <line class="residual"> per residual, the scale bar, the north arrow and
// the note (<text class="note">) when there is one.
std::string ResidualPlotSvg(const ResidualPlot& plot);

// Writes ResidualPlotSvg through a temporary file; false with a message
// naming the file (in English or Chinese as `english` says).
bool WriteResidualPlot(const std::string& path, const ResidualPlot& plot, bool english,
                       std::string* error);
