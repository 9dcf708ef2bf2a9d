// The projects opened or saved last, newest first, for the File menu.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class RecentProjects {
public:
    static constexpr std::size_t kLimit = 8;

    RecentProjects() = default;
    // From stored paths, newest first: empty ones and repeats are dropped,
    // the list cut to kLimit.
    explicit RecentProjects(const std::vector<std::string>& paths);

    // `path` to the front, once.
    void Add(const std::string& path);
    void Remove(const std::string& path);
    const std::vector<std::string>& Paths() const { return m_paths; }

    // The menu text of entry `index`: "&1 合肥.cod  (/home/u/jobs)".
    std::string MenuText(std::size_t index) const;

private:
    std::vector<std::string> m_paths;
};
