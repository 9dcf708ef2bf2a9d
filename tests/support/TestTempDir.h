// A fresh directory for one test, removed with everything in it afterwards;
// and small helpers to read and write whole files as bytes. Paths are UTF-8
// texts with "/" between folders, as the program's own.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Platform.h"

// std::filesystem reads a plain std::string in the ANSI code page on
// Windows: the tests' UTF-8 paths cross as UTF-8 explicitly.
inline std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string TextOf(const std::filesystem::path& path) {
    const std::u8string utf8 = path.generic_u8string();
    return std::string(utf8.begin(), utf8.end());
}

class TestTempDir {
public:
    TestTempDir() {
        namespace fs = std::filesystem;
        const fs::path temp = fs::temp_directory_path();
        std::random_device seed;
        std::mt19937 random(seed());
        const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = "terrax-";
            for (int i = 0; i < 6; ++i) name += letters[random() % (sizeof letters - 1)];
            std::error_code ec;
            if (fs::create_directory(temp / name, ec)) {
                fs::permissions(temp / name, fs::perms::owner_all, fs::perm_options::replace, ec);
                m_path = TextOf(temp / name);
                return;
            }
        }
        throw std::runtime_error("cannot create a temporary folder in " + TextOf(temp));
    }
    ~TestTempDir() {
        namespace fs = std::filesystem;
        std::error_code ec;
        // Windows deletes no read-only file.
        for (fs::recursive_directory_iterator it(PathOf(m_path), ec), end; !ec && it != end;
             it.increment(ec)) {
            fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ec);
        }
        fs::remove_all(PathOf(m_path), ec);
    }
    TestTempDir(const TestTempDir&) = delete;
    TestTempDir& operator=(const TestTempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

    // Names of the entries in the directory, sorted.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(PathOf(m_path))) {
            names.push_back(TextOf(e.path().filename()));
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string m_path;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A short file in `dir` that this process may read but not write: one made
// read-only, or, where that does not stop this process (root on Linux), a
// kernel file that refuses writing to everyone. "" when there is none.
inline std::string ReadOnlyFile(const TestTempDir& dir) {
    namespace fs = std::filesystem;
    const std::string path = dir.File("read-only.txt");
    WriteBytes(path, "Linux\n");
    fs::permissions(PathOf(path),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const int fd = Platform::OpenDescriptor(path, Platform::kWrite);
    if (fd < 0) return path;
    Platform::CloseDescriptor(fd);
    const std::string kernelFile = "/proc/sys/kernel/ostype";
    return Platform::Exists(kernelFile) ? kernelFile : "";
}
