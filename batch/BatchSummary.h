// The summary the window shows when a batch has finished.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct BatchResult;

struct BatchCounts {
    std::size_t files = 0;          // files converted
    std::uint64_t points = 0;       // lines converted as points
    std::uint64_t skippedLines = 0;  // lines of those files written as they were read
    std::uint64_t extrapolated = 0;  // points where the height model extrapolates
};

// Of the converted files: a header line, the lines whose numbers cannot be
// carried and those outside the geoid grid are written unchanged and count
// as skipped; every other line written is a point. Skipped and cancelled
// files count nowhere.
BatchCounts CountBatch(const BatchResult& result);

// "已转换 N 个文件，共 M 个点，跳过 K 行，用时 T 秒。", T with one decimal;
// with "其中 E 个点的高程异常是外推的。" after it when there are such points.
std::string BatchSummary(const BatchResult& result, double seconds);
