// Reports of a CommonPointFit: the text a surveyor reads (model,
// observations, unknowns, redundancy, σ0, each parameter with its standard
// deviation, residuals of the used points and of the check points apart,
// points beyond the tolerance marked) and the JSON of the command line.
#pragma once

#include <string>
#include <vector>

#include "geodesy/Constants.h"
#include "params/CommonPointFit.h"
#include "params/TextLanguage.h"

// Rotations are reported in arc-seconds, scale changes in ppm: the radians
// of one arc-second as the angle text "000:00:01" reads, and one ppm.
inline constexpr double kRadiansPerArcSecond = kArcSecondInDegrees * kDegToRad;
inline constexpr double kPpm = 1e-6;

// The report as text lines ending in "\n". Parameters: shifts in metres with
// six decimals, rotations in arc-seconds and the scale change in ppm with six
// decimals, the factor K with twelve; residuals, σ0 and the tolerance in
// metres with four decimals.
std::string FitReportText(const CommonPointFit& result, TextLanguage language);

// One JSON object and a newline, everything the text report has:
// {"model": "seven"|"four"|"three", "used": N, "observations": N,
//  "unknowns": N, "redundancy": N, "sigma0": metres or null,
//  "parameters": {...}, "deviations": {...} or null,
//  "test": {"method": "Pope tau", "alpha", "dimension", "testable",
//           "critical", "checkCritical" (null without a test)},
//  "tolerance": metres or null,
//  "geometry": {"extent": [larger, smaller] (m), "ratio", "centreDeviation",
//               "edgeDeviation" (m, null without σ0)},
//  "warnings": [{"kind": "near-collinear"|"near-coincident"|"poorly-checked"|
//                "no-test", "message": "..."}],
//  "points": [{"id", "used", "residual": {...}, "norm", "map": {"north",
//              "east"}, "redundancy": {...} or null, "standardized": {...} or
//              null, "statistic": τ² or null, "flagged", "failsTest",
//              "beyondTolerance", "poorlyChecked"}, ...]}
// with dX, dY, dZ (m), rX, rY, rZ (arc-seconds), m (ppm) for seven; dX, dY, dZ
// for three; Xo, Yo (m), T (arc-seconds), K for four; residual-like triples
// north, east, up (m) for seven and three, x, y (m) for four. Numbers are the
// shortest texts that read back to the same doubles.
std::string FitReportJson(const CommonPointFit& result);

// The line of the report that names the test, its significance and its
// critical values, or says why there is none.
std::string FitTestText(const CommonPointFit& result, TextLanguage language);
// The extent of the points and the predicted deviations of a transformed
// point, then the warnings: near-collinear, near-coincident, poorly checked.
std::vector<std::string> FitWarnings(const CommonPointFit& result, TextLanguage language);
// The residual table of the report, the window's table the same: a header
// (name, the components, norm, smallest redundancy number, τ²), then one row
// per point in input order with those cells and last the marks: "*" fails
// the test, "!" beyond the tolerance, "?" poorly checked.
std::vector<std::vector<std::string>> ResidualTable(const CommonPointFit& result,
                                                    TextLanguage language);

// Writes FitReportText in the window's language (Chinese) to a file, UTF-8,
// through a temporary file so that a failed write leaves an old file as it
// was. False with a message naming the file.
bool WriteFitReport(const std::string& path, const CommonPointFit& result, std::string* error);

// A residual, σ0 or tolerance as the reports print it: metres with four
// decimals, never "-0.0000".
std::string FormatFitMetres(double metres);
// Any value with these decimals, the same way.
std::string FormatFitFixed(double value, int decimals);

// For a dialog, in a few lines: the points used and the check points, σ0,
// the tolerance and how many points it flags.
std::string FitSummaryText(const CommonPointFit& result, TextLanguage language);
// For a dialog: the parameters "name = value unit ±deviation" (the deviation
// when there is a σ0), shifts, rotations and the scale on lines of their own.
std::string FitParameterText(const CommonPointFit& result, TextLanguage language);

// Names of a datum (the built-in ones, then the user's by their names) and of a coordinate kind (0..2) in reports.
std::string DatumName(int datum, TextLanguage language);
std::string KindName(int kind, TextLanguage language);
