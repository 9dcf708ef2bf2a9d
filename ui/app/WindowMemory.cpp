#include "ui/app/WindowMemory.h"

#include "ui/framework/WindowSettings.h"

namespace {

constexpr char kRecentKey[] = "recent/projects";
constexpr char kFormatKey[] = "batch/format";

}  // namespace

std::vector<std::string> LoadRecentProjects() { return AfxReadSettingsList(kRecentKey); }

void StoreRecentProjects(const std::vector<std::string>& paths) {
    AfxWriteSettingsList(kRecentKey, paths);
}

// Name, extension, separator, the three columns, naming and index, as texts.
bool LoadFormatChoice(FormatChoice* choice) {
    const std::vector<std::string> v = AfxReadSettingsList(kFormatKey);
    if (v.size() != 8 || v[1].empty() || v[2].empty()) return false;
    FormatChoice read;
    read.m_formatName = v[0];
    read.m_formatExtension = v[1];
    read.m_formatSeparator = v[2];
    try {
        for (int k = 0; k < 3; ++k) read.m_column[k] = std::stoi(v[3 + k]);
        read.m_naming = std::stoi(v[6]);
        read.m_formatIndex = std::stoi(v[7]);
    } catch (const std::exception&) {
        return false;
    }
    *choice = read;
    return true;
}

void StoreFormatChoice(const FormatChoice& c) {
    AfxWriteSettingsList(kFormatKey, {c.m_formatName, c.m_formatExtension, c.m_formatSeparator,
                                      std::to_string(c.m_column[0]), std::to_string(c.m_column[1]),
                                      std::to_string(c.m_column[2]), std::to_string(c.m_naming),
                                      std::to_string(c.m_formatIndex)});
}
