#include "cli/Progress.h"

#include <algorithm>

namespace {

constexpr int kBarWidth = 30;

std::string Mebibytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}

}  // namespace

ProgressBar::ProgressBar(std::FILE* out, std::uint64_t totalBytes, std::size_t totalFiles,
                         std::chrono::milliseconds delay)
    : m_out(out),
      m_totalBytes(totalBytes),
      m_totalFiles(totalFiles),
      m_start(std::chrono::steady_clock::now()),
      m_delay(delay) {}

ProgressBar::~ProgressBar() { Clear(); }

std::string ProgressBar::Line(std::uint64_t bytesDone, std::uint64_t totalBytes,
                              std::size_t filesDone, std::size_t totalFiles) {
    std::string line;
    if (totalBytes > 0) {
        const double part =
            std::min(1.0, static_cast<double>(bytesDone) / static_cast<double>(totalBytes));
        const int filled = static_cast<int>(part * kBarWidth);
        line.assign(1, '[');
        line.append(static_cast<std::size_t>(filled), '#');
        line.append(static_cast<std::size_t>(kBarWidth - filled), '.');
        line.append("] ");
        char percent[8];
        std::snprintf(percent, sizeof percent, "%3d%%", static_cast<int>(part * 100));
        line += percent;
    } else {
        line = Mebibytes(bytesDone);
    }
    if (totalFiles > 1) {
        line += "  " + std::to_string(filesDone) + "/" + std::to_string(totalFiles) + " files";
    }
    return line;
}

void ProgressBar::Update(std::uint64_t bytesDone, std::size_t filesDone, bool force) {
    const auto now = std::chrono::steady_clock::now();
    if (now - m_start < m_delay) return;
    if (!force && m_drawnWidth > 0 && now - m_last < std::chrono::milliseconds(100)) return;
    m_last = now;
    std::string line = Line(bytesDone, m_totalBytes, filesDone, m_totalFiles);
    const std::size_t width = line.size();
    if (width < m_drawnWidth) line += std::string(m_drawnWidth - width, ' ');
    std::fprintf(m_out, "\r%s", line.c_str());
    std::fflush(m_out);
    m_drawnWidth = std::max(m_drawnWidth, width);
}

void ProgressBar::Clear() {
    if (m_drawnWidth == 0) return;
    std::fprintf(m_out, "\r%s\r", std::string(m_drawnWidth, ' ').c_str());
    std::fflush(m_out);
    m_drawnWidth = 0;
}
