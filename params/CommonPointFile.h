// Common-point files: one point a line, "ID s1 s2 s3 t1 t2 t3", the fields
// separated by commas or by runs of blanks and tabs (a comma with blanks
// around it is one separator; a comma at the end of a line is allowed).
// Blank lines and lines starting with "#" are skipped; a 0x1A (Ctrl-Z) as the
// last byte ends the file as in DOS text files. Names come back as UTF-8 and
// must differ from each other. What the values mean (kinds, angle texts) is
// checked when a fit reads them.
//
// Encoding, unless one is asked for: UTF-8 when the file is valid UTF-8 and
// either starts with a byte-order mark or holds no character of
// U+0080..U+07FF other than the signs ° ± · × µ and the Greek letters.
// Chinese text in UTF-8 takes three bytes a character; the two-byte range
// holds accents, combining marks, Cyrillic, Hebrew and Arabic, which in a
// common-point file are GB18030 pairs whose bytes happen to form UTF-8 (亭 is
// CD A4, U+0364 in UTF-8). Anything else is GB18030.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "params/CommonPoint.h"
#include "params/TextLanguage.h"

enum class TextEncoding { Detect, Utf8, Gb18030 };

// The encoding Detect chooses for these bytes (never Detect).
TextEncoding DetectCommonPointEncoding(std::string_view bytes);

// One line of a common-point file (no line break; not blank, no comment):
// the point, its line `lineNo`. False with a message naming the line when it
// has not seven fields or two commas with nothing between them.
bool ParseCommonPointLine(std::string_view line, int lineNo, TextLanguage language,
                          CommonPoint* point, std::string* error);

// Rows pasted into a table of common points (from a spreadsheet: UTF-8,
// tab-separated, the columns of a common-point file), to be added after the
// rows named `takenNames`. A first row holding the heading 点名 ("name" in
// English) in one of its first two cells is skipped (a table's own copy
// starts with its headings). All or nothing: false, *points untouched, with
// a message for every line that cannot be read (the line numbers of the
// pasted text), a name used twice or already in the table among them.
bool ParsePastedCommonPoints(std::string_view text, const std::vector<std::string>& takenNames,
                             TextLanguage language, std::vector<CommonPoint>* points,
                             std::vector<std::string>* problems);

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
