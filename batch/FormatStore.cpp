#include "batch/FormatStore.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <string_view>

#include "io/AtomicFile.h"
#include "io/CodePage.h"
#include "io/File.h"
#include "io/FileException.h"

namespace {

// Bytes of "文件类型数:" in GB18030, dropped from the count line.
constexpr std::size_t kCountPrefixBytes = 11;

// The lines of `bytes`, each without its LF or CR LF.
std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t lf = bytes.find('\n', start);
        std::size_t stop = lf == std::string_view::npos ? bytes.size() : lf;
        std::string_view line = bytes.substr(start, stop - start);
        if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        if (lf == std::string_view::npos) break;
        start = lf + 1;
    }
    return lines;
}

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atoi, saturated at the int range instead of overflowing.
int ReadCount(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

std::vector<FileFormat> ParseFormatStore(const std::string& bytes) {
    std::vector<FileFormat> formats;
    std::vector<std::string_view> lines = SplitLines(bytes);
    if (lines.empty()) return formats;
    std::string_view countLine = lines[0];
    countLine.remove_prefix(std::min(kCountPrefixBytes, countLine.size()));
    int count = ReadCount(countLine);

    auto text = [&lines](std::size_t index) {
        return index < lines.size() ? Gb18030ToUtf8(std::string(lines[index])) : std::string();
    };
    for (std::size_t i = 0; i < static_cast<std::size_t>(std::max(count, 0)); ++i) {
        std::size_t first = 1 + 4 * i;
        if (first >= lines.size()) break;
        formats.push_back({text(first), text(first + 1), text(first + 2), text(first + 3)});
    }
    return formats;
}

std::string FormatStoreBytes(const std::vector<FileFormat>& formats) {
    std::string utf8 = "文件类型数:" + std::to_string(formats.size()) + "\r\n";
    for (const FileFormat& f : formats) {
        for (const std::string* line : {&f.name, &f.extension, &f.separator, &f.itemLine}) {
            utf8 += *line;
            utf8 += "\r\n";
        }
    }
    return Utf8ToGb18030(utf8);
}

StoreStatus LoadFormatStore(const std::string& path, std::vector<FileFormat>* formats,
                            std::string* error, int* osError) {
    CFile file;
    CFileException openError;
    if (!file.Open(path, CFile::modeRead, &openError)) {
        if (openError.m_cause == CFileException::fileNotFound) {
            formats->clear();
            return StoreStatus::Missing;
        }
        if (error) *error = openError.GetErrorMessage();
        if (osError) *osError = openError.m_lOsError;
        return StoreStatus::Failed;
    }
    try {
        std::string bytes;
        char buffer[8192];
        for (;;) {
            std::size_t n = file.Read(buffer, sizeof buffer);
            bytes.append(buffer, n);
            if (n < sizeof buffer) break;
        }
        file.Close();
        *formats = ParseFormatStore(bytes);
    } catch (const CFileException& e) {
        if (error) *error = e.GetErrorMessage();
        if (osError) *osError = e.m_lOsError;
        return StoreStatus::Failed;
    }
    return StoreStatus::Loaded;
}

bool SaveFormatStore(const std::string& path, const std::vector<FileFormat>& formats,
                     std::string* error) {
    try {
        const std::string bytes = FormatStoreBytes(formats);
        CAtomicFile::WriteWhole(path, bytes);
    } catch (const CFileException& e) {
        if (error) *error = e.GetErrorMessage();
        return false;
    }
    return true;
}
