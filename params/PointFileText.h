// The text of point files (common points, common heights): how their bytes
// are decoded and split into lines of fields, how their names are checked,
// and how they are read and written whole.
//
// One point a line, the fields separated by commas or by runs of blanks and
// tabs (a comma with blanks around it is one separator; a comma at the end
// of a line is allowed). Blank lines and lines starting with "#" are
// skipped; a 0x1A (Ctrl-Z) as the last byte ends the file as in DOS text
// files.
//
// Encoding, unless one is asked for: UTF-8 when the file is valid UTF-8 and
// either starts with a byte-order mark or holds no character of
// U+0080..U+07FF other than the signs ° ± · × µ and the Greek letters.
// Chinese text in UTF-8 takes three bytes a character; the two-byte range
// holds accents, combining marks, Cyrillic, Hebrew and Arabic, which in a
// point file are GB18030 pairs whose bytes happen to form UTF-8 (亭 is
// CD A4, U+0364 in UTF-8). Anything else is GB18030.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "params/TextLanguage.h"

enum class TextEncoding { Detect, Utf8, Gb18030 };

// The encoding Detect chooses for these bytes (never Detect).
TextEncoding DetectPointFileEncoding(std::string_view bytes);

// A line of a point file that holds a point: its number (from 1) and its
// fields, UTF-8.
struct PointFileLine {
    int line = 0;
    std::vector<std::string> fields;
};

// Decodes the bytes and splits every line that is not blank or a comment,
// handing the lines to `take` in order. False with a message naming the
// line when two commas have nothing between them or, for Utf8, when a line
// is not valid UTF-8; false too as soon as `take` returns false (it sets
// *error then).
bool SplitPointFile(std::string_view bytes, TextLanguage language, TextEncoding encoding,
                    std::string* error, const std::function<bool(PointFileLine&)>& take);

// The names of the lines of a file, taken line by line: Add is false with a
// message naming both lines when the first field (the name) of `line` is
// the name of a line added before.
class PointNameCheck {
public:
    bool Add(const PointFileLine& line, TextLanguage language, std::string* error);

private:
    std::unordered_map<std::string, int> m_lineOfName;
};

// "line 7: ..." or "第 7 行：...".
std::string PointLineError(TextLanguage language, int line, const std::string& english,
                           const std::string& chinese);

// Where a point of a table is, for messages: "line 7 (point P3)" when it
// was read from line 7 of a file, "row 3 (point P3)" when it was typed
// (line 0) as row index 2.
std::string PointPlace(const std::string& id, int line, int row, TextLanguage language);

// True when `text` can be written as a field and read back as the same one:
// not empty, no blank, tab, comma or line end.
bool PointFieldCanBeRead(const std::string& text);
// The same for a name, which also may not start with "#" (a comment) nor
// with a byte-order mark (taken off the start of a file).
bool PointNameCanBeRead(const std::string& name);

// Why row `row` (from 0) of a table cannot be written to a point file: a
// name or value empty, holding a blank, tab or comma, or a name that starts
// with "#".
std::string UnwritableRowError(std::size_t row, TextLanguage language);

// A message of the reading of a file, prefixed with the file's name.
std::string InFile(const std::string& path, const std::string& message, TextLanguage language);

// The bytes of a file. False with a message naming the file; `chinese` is
// the Chinese message's start ("无法读取公共点文件。").
bool ReadPointFileBytes(const std::string& path, TextLanguage language, const char* chinese,
                        std::string* bytes, std::string* error);

// Writes `text` through a temporary file, so that a failed write leaves an
// old file as it was. False with a message naming the file; `chinese` as above.
bool WritePointFileText(const std::string& path, const std::string& text, TextLanguage language,
                        const char* chinese, std::string* error);
