#include "session/RecentProjects.h"

#include <algorithm>

RecentProjects::RecentProjects(const std::vector<std::string>& paths) {
    for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
        if (!it->empty()) Add(*it);
    }
}

void RecentProjects::Add(const std::string& path) {
    Remove(path);
    m_paths.insert(m_paths.begin(), path);
    if (m_paths.size() > kLimit) m_paths.resize(kLimit);
}

void RecentProjects::Remove(const std::string& path) {
    m_paths.erase(std::remove(m_paths.begin(), m_paths.end(), path), m_paths.end());
}

std::string RecentProjects::MenuText(std::size_t index) const {
    if (index >= m_paths.size()) return {};
    const std::string& path = m_paths[index];
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    std::string text = "&" + std::to_string(index + 1) + " " + name;
    if (!folder.empty()) text += "  (" + folder + ")";
    // A "&" of the path is shown, not taken as the item's key.
    std::string shown = text.substr(0, 2);
    for (std::size_t i = 2; i < text.size(); ++i) {
        shown += text[i];
        if (text[i] == '&') shown += '&';
    }
    return shown;
}
