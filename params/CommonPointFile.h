// Common-point files: one point a line, "ID s1 s2 s3 t1 t2 t3", separated,
// commented and decoded as every point file is (params/PointFileText.h).
// Names come back as UTF-8 and must differ from each other. What the values
// mean (kinds, angle texts) is checked when a fit reads them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "params/CommonPoint.h"
#include "params/PointFileText.h"
#include "params/TextLanguage.h"

// The encoding Detect chooses for these bytes (never Detect).
inline TextEncoding DetectCommonPointEncoding(std::string_view bytes) {
    return DetectPointFileEncoding(bytes);
}

// Reads the points of a file's bytes; every point gets its line number.
// False with a message naming the line when a line has not seven fields,
// when a name is used a second time (naming both lines), or, for Utf8, when
// a line is not valid UTF-8.
bool ParseCommonPoints(std::string_view bytes, TextLanguage language,
                       std::vector<CommonPoint>* points, std::string* error,
                       TextEncoding encoding = TextEncoding::Detect);

// Reads a file with ParseCommonPoints. False with a message naming the file
// or the line; *points is then left as it was.
bool ReadCommonPointFile(const std::string& path, TextLanguage language,
                         std::vector<CommonPoint>* points, std::string* error,
                         TextEncoding encoding = TextEncoding::Detect);

// The text of a file of the points: one line each, fields separated by one
// blank, in UTF-8 with LF. The used flags are not part of the format.
// False, naming the row (1-based), when a name or a value is empty, holds a
// blank, tab or comma, or a name starts with "#": it could not be read back.
bool FormatCommonPoints(const std::vector<CommonPoint>& points, TextLanguage language,
                        std::string* text, std::string* error);

// Writes FormatCommonPoints through a temporary file, so that a failed write
// leaves an old file as it was.
bool WriteCommonPointFile(const std::string& path, const std::vector<CommonPoint>& points,
                          TextLanguage language, std::string* error);
