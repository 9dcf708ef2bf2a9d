// Files for the batch tests: a fresh directory per test, removed afterwards,
// and whole-file reads and writes as bytes.
#pragma once

#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

class BatchTempDir {
public:
    BatchTempDir() {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/batch-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        m_path = buffer.data();
    }
    ~BatchTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    BatchTempDir(const BatchTempDir&) = delete;
    BatchTempDir& operator=(const BatchTempDir&) = delete;

    std::string File(const std::string& name) const { return m_path + "/" + name; }
    const std::string& Path() const { return m_path; }

    // The names in the directory, sorted.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(m_path)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string m_path;
};

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// While it lives, writing a file beyond `bytes` fails with EFBIG.
class ScopedFileSizeCap {
public:
    explicit ScopedFileSizeCap(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_handler = ::signal(SIGXFSZ, SIG_IGN);
        rlimit cap = m_old;
        cap.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &cap);
    }
    ~ScopedFileSizeCap() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        ::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_old;
    sighandler_t m_handler;
};
