#include "session/GeoidFiles.h"

#include <cstdlib>
#include <vector>

#include "io/File.h"
#include "io/FileException.h"
#include "platform/Platform.h"

std::string FindEgm96(const std::string& appDir) {
    std::vector<std::string> places = {appDir};
    if (const char* data = std::getenv("PROJ_DATA"); data != nullptr && *data != '\0') {
        places.push_back(std::string(data) + "/");
    }
    places.push_back("/usr/share/proj/");
    for (const std::string& dir : places) {
        if (Platform::Exists(dir + kEgm96FileName)) return dir + kEgm96FileName;
    }
    return "";
}

bool LoadGeoidFile(const std::string& path, GeoidGrid* grid, std::string* error) {
    std::string bytes;
    try {
        CFile file(path, CFile::modeRead | CFile::typeBinary);
        const std::uint64_t length = file.GetLength();
        // The largest .gtx a grid may have; ASCII grids take a few times that.
        if (length > 16 * static_cast<std::uint64_t>(kMaxGeoidNodes)) {
            *error = "大地水准面文件 " + path + " 太大。";
            return false;
        }
        bytes.resize(static_cast<std::size_t>(length));
        bytes.resize(file.Read(bytes.data(), bytes.size()));
    } catch (const CFileException& e) {
        *error = "无法读取大地水准面文件 " + path + "。" + e.GetErrorMessage();
        return false;
    }
    std::string why;
    if (!grid->Parse(bytes, &why)) {
        *error = "无法读取大地水准面文件 " + path + "：" + why + "。";
        return false;
    }
    return true;
}

std::shared_ptr<const GeoidGrid> OpenGeoid(const std::string& name, const std::string& appDir,
                                           std::string* error) {
    std::string path = name;
    if (name == kEgm96Name) {
        path = FindEgm96(appDir);
        if (path.empty()) {
            *error = std::string("找不到 EGM96 大地水准面文件 ") + kEgm96FileName +
                     "（应在程序旁或 /usr/share/proj 中，由 proj-data 提供）。";
            return nullptr;
        }
    }
    auto grid = std::make_shared<GeoidGrid>();
    if (!LoadGeoidFile(path, grid.get(), error)) return nullptr;
    return grid;
}
