// Reports of a CommonHeightFit, as the reports of the parameter fits have
// them: the text a surveyor reads, the JSON of the command line, the
// residual table the window shows, and a summary for a dialog. σ0,
// residuals and the tolerance in millimetres; coefficients and their
// standard deviations in metres; positions and extents in metres (km in
// the text).
#pragma once

#include <string>
#include <vector>

#include "params/CommonHeightFit.h"
#include "params/TextLanguage.h"

// The report as text lines ending in "\n": the surface, where its frame
// lies, the numbers of observations, unknowns and redundancy, σ0, the test,
// the tolerance, the extent of the used points with the extrapolation
// margin, the warnings, the coefficients with their standard deviations,
// and the residuals of the used points and of the check points apart.
std::string HeightFitReportText(const CommonHeightFit& result, TextLanguage language);

// One JSON object and a newline, everything the text report has:
// {"model": "height", "surface": "constant"|"plane"|"quadric",
//  "onGeoid": bool, "geoid": name or null, "positions": "plane"|"geodetic",
//  "datum": 0..4, "used": N, "checks": N, "observations": N, "unknowns": N,
//  "redundancy": N, "unit": "mm", "sigma0": mm or null,
//  "frame": {"centroidB", "centroidL" (degrees), "scale" (m), "radius" (m)},
//  "coefficients": [{"name": "a0".., "value": m, "deviation": m or null}],
//  "test": {"method": "Pope tau", "alpha", "dimension": 1, "testable",
//           "critical", "checkCritical" (null without a test)},
//  "tolerance": mm or null,
//  "extent": {"north": [min, max], "east": [min, max] (m from the
//             centroid), "margin": m},
//  "warnings": [{"kind": "poorly-checked"|"no-test", "message"}],
//  "points": [{"id", "used", "north", "east" (m from the centroid),
//              "residual" (mm), "redundancy" (null for a check point),
//              "standardized" (null without one), "statistic" (τ², or the
//              check point's F statistic; null without a test), "flagged",
//              "failsTest", "beyondTolerance", "poorlyChecked"}, ...]}
// Numbers are the shortest texts that read back to the same doubles.
std::string HeightFitReportJson(const CommonHeightFit& result);

// The line that names the test, its significance and critical values, or
// says why there is none.
std::string HeightTestText(const CommonHeightFit& result, TextLanguage language);
// The extent of the used points with the margin beyond which the surface
// extrapolates, then the warning of poorly checked points.
std::vector<std::string> HeightFitWarnings(const CommonHeightFit& result, TextLanguage language);
// The residual table of the report, the window's table the same: a header
// (name, residual in mm, redundancy number, τ²), then one row per point in
// input order with those cells and last the marks: "*" fails the test, "!"
// beyond the tolerance, "?" poorly checked.
std::vector<std::vector<std::string>> HeightResidualTable(const CommonHeightFit& result,
                                                          TextLanguage language);
// For a dialog, in a few lines: the surface, points used and check points,
// σ0, the test and how many points fail it, the tolerance.
std::string HeightFitSummaryText(const CommonHeightFit& result, TextLanguage language);
// For a dialog: "a0 = value m ±deviation", one coefficient a line.
std::string HeightCoefficientText(const CommonHeightFit& result, TextLanguage language);

// Writes HeightFitReportText in Chinese to a file (UTF-8) through a
// temporary file. False with a message naming the file.
bool WriteHeightFitReport(const std::string& path, const CommonHeightFit& result,
                          std::string* error);
