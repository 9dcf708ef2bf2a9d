#include "batch/OutputPath.h"

#include "platform/Platform.h"

std::string GetPathPart(const std::string& path, int part) {
    std::size_t slash = path.find_last_of(Platform::PathSeparators());
    if (part == kPathDirectory) return slash == std::string::npos ? "" : path.substr(0, slash);
    if (part != kPathBaseName) return "";
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.find('.');
    // An empty base ("1.txt" for ".pts" or "pts") would name no file of the user's.
    if (dot == std::string::npos || dot == 0) return name;
    return name.substr(0, dot);
}

std::string OutputPath(const std::string& source, const std::string& extension, int naming) {
    std::string path;
    if (source.find_last_of(Platform::PathSeparators()) != std::string::npos) {
        path = GetPathPart(source, kPathDirectory) + "/";
    }
    path += GetPathPart(source, kPathBaseName);
    if (naming == kNamingExtension) {
        path += "." + extension + "1";
    } else {
        path += "1." + extension;
    }
    return path;
}
