// A one-line progress bar on a terminal stream, redrawn in place.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

class ProgressBar {
public:
    // totalBytes 0: the size is not known, and the bar shows the bytes done.
    // Nothing is drawn before `delay` has passed, so short work never shows it.
    ProgressBar(std::FILE* out, std::uint64_t totalBytes, std::size_t totalFiles,
                std::chrono::milliseconds delay = std::chrono::milliseconds(0));
    // Clears the line when something was drawn.
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Redraws at most ten times a second, or at once with force.
    void Update(std::uint64_t bytesDone, std::size_t filesDone, bool force = false);
    // Removes the bar from the line.
    void Clear();

    // The line drawn for these figures (without the carriage return).
    static std::string Line(std::uint64_t bytesDone, std::uint64_t totalBytes,
                            std::size_t filesDone, std::size_t totalFiles);

private:
    std::FILE* m_out;
    std::uint64_t m_totalBytes;
    std::size_t m_totalFiles;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::milliseconds m_delay;
    std::chrono::steady_clock::time_point m_last{};
    std::size_t m_drawnWidth = 0;
};
