// Cutting a line of a point file into its fields.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// Cuts `line` into fields: every `separator` byte ends one field, the bytes
// between it and the previous separator (or the start of the line). Text
// after the last separator is no field; two separators in a row give an empty
// field. The views point into `line`. `fields` is cleared first and keeps its
// capacity, so a reused vector allocates nothing once it is large enough.
// Returns the offset just past the last separator: the bytes of `line` from
// there on belong to no field.
std::size_t SplitFields(std::string_view line, char separator,
                        std::vector<std::string_view>* fields);
