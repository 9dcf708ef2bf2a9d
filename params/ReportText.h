// Pieces of the reports of fits: columns that never run together, fixed
// decimals without "-0", and the numbers and strings of their JSON.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "params/TextLanguage.h"

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

// What the report of a fit says of its test of each point.
struct TestFacts {
    bool testable = false;
    std::optional<double> sigma0;
    int redundancy = 0;
    int dimension = 1;  // components a point
    double alpha = 0;
    double criticalUsed = 0, criticalCheck = 0;
    bool checkPoints = false;  // the fit has some
};
// The line that names the test (Pope's τ of the used points, F of the check
// points), its significance and critical values, or says why there is none.
std::string TestLine(const TestFacts& facts, TextLanguage language);

// The warning naming the poorly checked points; empty for none.
std::string PoorlyCheckedLine(const std::vector<std::string>& names, TextLanguage language);

// The same for the points of a fit: `points[i].id` where
// `residuals[i].poorlyChecked`; empty when none is.
template <class Points, class Residuals>
std::string PoorlyCheckedLine(const Points& points, const Residuals& residuals,
                              TextLanguage language) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < points.size() && i < residuals.size(); ++i) {
        if (residuals[i].poorlyChecked) names.push_back(points[i].id);
    }
    return PoorlyCheckedLine(names, language);
}

// The marks of a point in a residual table: "*" fails the test, "!" beyond
// the tolerance, "?" poorly checked.
std::string Marks(bool failsTest, bool beyondTolerance, bool poorlyChecked);

// The residual part of a report: the header (table[0]), then the used
// points and the check points apart, each group under its count, a row of
// table[1 + i] for point i with its last cell (the marks "*", "!", "?")
// after the others, and at the end a line explaining each mark that shows.
// Columns as wide as ColumnWidths(table, minimum).
std::string ResidualSection(const std::vector<std::vector<std::string>>& table,
                            const std::vector<bool>& used, const std::vector<int>& minimum,
                            TextLanguage language);

}  // namespace report
