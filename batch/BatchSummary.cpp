#include "batch/BatchSummary.h"

#include <cstdio>

#include "batch/FileBatch.h"

BatchCounts CountBatch(const BatchResult& result) {
    BatchCounts counts;
    for (const ConvertedFile& file : result.converted) {
        const StreamResult& s = file.stream;
        const std::uint64_t unchanged =
            (s.headerLine ? 1 : 0) + s.unrepresentableLines + s.outsideGeoidLines;
        ++counts.files;
        counts.skippedLines += unchanged;
        counts.extrapolated += s.extrapolatedLines;
        counts.points += s.lines >= unchanged ? s.lines - unchanged : 0;
    }
    return counts;
}

std::string BatchSummary(const BatchResult& result, double seconds) {
    const BatchCounts c = CountBatch(result);
    char time[32];
    std::snprintf(time, sizeof time, "%.1f", seconds < 0 ? 0.0 : seconds);
    return "已转换 " + std::to_string(c.files) + " 个文件，共 " + std::to_string(c.points) +
           " 个点，跳过 " + std::to_string(c.skippedLines) + " 行，用时 " + time + " 秒。" +
           (c.extrapolated > 0
                ? "其中 " + std::to_string(c.extrapolated) + " 个点的高程异常是外推的。"
                : std::string());
}
