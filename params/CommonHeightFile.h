// Common-height files: one point a line with both of its heights,
//   ID x y h H    plane coordinates x (north), y (east), metres
//   ID B L h H    latitude and longitude as angle texts DDD:MM:SS.ffff
// h the ellipsoidal height, H the normal height, metres; separated,
// commented and decoded as every point file is (params/PointFileText.h).
// The form is the first point's: B, L when its first value is an angle text
// (it holds a colon), x, y otherwise; every point must have that form.
// Plane x, y are coordinates of the datum a fit is asked for in the
// projection of the project (params/CommonHeightFit.h turns them into B, L).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "params/PointFileText.h"
#include "params/TextLanguage.h"

enum class HeightPositions { Plane, Geodetic };

// One row of a table of common heights, as typed or read from a file.
struct CommonHeight {
    std::string id;           // point name, UTF-8
    std::string position[2];  // x, y (numbers) or B, L (angle texts)
    std::string h, H;         // ellipsoidal and normal height, numbers
    bool used = true;         // "参与计算": false makes it a check point
    int line = 0;             // line of the file it was read from; 0 when typed
};

// Plane northings and heights beyond these many metres are no points of the
// earth; eastings may carry a zone number in their millions.
inline constexpr double kHeightNorthingLimit = 1e7;
inline constexpr double kHeightEastingLimit = 1e9;
inline constexpr double kHeightValueLimit = 1e4;

// The values of a row: position (radians or metres) and h, H (metres).
struct HeightRowValues {
    double position[2] = {};
    double h = 0, H = 0;
};

// Reads the values of `row` strictly. False with the field at fault (0, 1
// the position, 2 h, 3 H) and a message naming the row's line (or its place
// in the table, row index `index`) when a value does not read in the form
// of `positions` or lies beyond the limits above (a latitude beyond 90°).
bool ReadHeightRow(const CommonHeight& row, int index, HeightPositions positions,
                   TextLanguage language, HeightRowValues* values, int* field,
                   std::string* error);

// The titles of the columns of a table of common heights, as the window's
// 高程拟合 dialog shows them: 点名, x or B, y or L, 大地高 h, 正常高 H,
// 参与计算, 残差(mm), 标记 (English: name, x|B, y|L, h, H, used, residual
// (mm), flag).
std::vector<std::string> CommonHeightColumns(HeightPositions positions, TextLanguage language);

// The form of a row by its first value: Geodetic when it holds a colon.
HeightPositions PositionsOf(const CommonHeight& row);

// Reads the points of a file's bytes; every point gets its line number and
// *positions the form of the file (Plane for a file without points). False
// with a message naming the line when a line has not five fields, a name is
// used a second time (naming both lines), a value does not read or is out of
// range (ReadHeightRow), or, for Utf8, a line is not valid UTF-8.
bool ParseCommonHeights(std::string_view bytes, TextLanguage language,
                        std::vector<CommonHeight>* points, HeightPositions* positions,
                        std::string* error, TextEncoding encoding = TextEncoding::Detect);

// Reads a file with ParseCommonHeights. False with a message naming the
// file or the line; *points is then left as it was.
bool ReadCommonHeightFile(const std::string& path, TextLanguage language,
                          std::vector<CommonHeight>* points, HeightPositions* positions,
                          std::string* error, TextEncoding encoding = TextEncoding::Detect);

// The text of a file of the points: one line each, fields separated by one
// blank, in UTF-8 with LF. The used flags are not part of the format. False,
// naming the row (1-based), when a name or a value is empty, holds a blank,
// tab or comma, or a name starts with "#": it could not be read back.
bool FormatCommonHeights(const std::vector<CommonHeight>& points, TextLanguage language,
                         std::string* text, std::string* error);

// Writes FormatCommonHeights through a temporary file, so that a failed
// write leaves an old file as it was.
bool WriteCommonHeightFile(const std::string& path, const std::vector<CommonHeight>& points,
                           TextLanguage language, std::string* error);
