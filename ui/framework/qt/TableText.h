// Rows of a table as the clipboard carries them between programs and
// spreadsheets: a line each, the cells separated by tabs.
#pragma once

#include <string>
#include <vector>

// Each row a line ending with "\n". A tab or line break inside a cell
// becomes a blank, so that every row keeps its cells.
std::string TabSeparatedRows(const std::vector<std::vector<std::string>>& rows);
