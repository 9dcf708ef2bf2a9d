// Pieces of the reports of fits: columns that never run together, fixed
// decimals without "-0", and the numbers and strings of their JSON.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace report {

// Columns a text takes in a fixed-width font: East Asian wide characters two.
int DisplayWidth(std::string_view s);
std::string PadRight(const std::string& s, int width);
std::string PadLeft(const std::string& s, int width);

// printf("%.*f") in the C locale; a value that rounds to zero shows unsigned.
std::string Fixed(double v, int decimals);

// Shortest text that reads back to the same double.
std::string JsonNumber(double v);
// A JSON string literal of UTF-8 text, control characters escaped.
std::string JsonString(std::string_view s);

// Widths that fit every entry of each column, at least `minimum`: two more
// than the widest value, one more than the header (the first row), so that
// neighbours never touch.
std::vector<int> ColumnWidths(const std::vector<std::vector<std::string>>& rows,
                              const std::vector<int>& minimum);

// The first column to the left, the others to the right; no blanks at the end.
std::string Row(const std::vector<std::string>& cells, const std::vector<int>& widths);

// A significance level as a percentage: "0.1 %".
std::string Percent(double alpha);

}  // namespace report
