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
};

// Of the converted files: a header line and the lines whose numbers cannot
// be carried are written unchanged and count as skipped; every other line
// written is a point. Skipped and cancelled files count nowhere.
BatchCounts CountBatch(const BatchResult& result);

// "已转换 N 个文件，共 M 个点，跳过 K 行，用时 T 秒。", T with one decimal.
std::string BatchSummary(const BatchResult& result, double seconds);
