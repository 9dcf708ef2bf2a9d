#include "session/ProjectDatums.h"

#include <algorithm>
#include <cstdint>


namespace {

constexpr std::int32_t kMaxProjectDatums = 64;

bool SameConstants(const UserDatum& x, const UserDatum& y) { return x.a == y.a && x.rf == y.rf; }

}  // namespace

std::optional<ProjectSection> UserDatumSection(const std::vector<int>& values) {
    std::vector<int> used;
    for (int value : values) {
        if (UserDatums().At(value) && std::find(used.begin(), used.end(), value) == used.end())
            used.push_back(value);
    }
    if (used.empty()) return std::nullopt;
    std::sort(used.begin(), used.end());
    SectionWriter w;
    w.Int(static_cast<std::int32_t>(used.size()));
    for (int index : used) {
        const UserDatum& d = *UserDatums().At(index);
        w.Int(index).Text(d.name).Double(d.a).Double(d.rf);
    }
    return ProjectSection{kUserDatumTag, w.Bytes()};
}

ProjectDatums ReadUserDatumSection(const CArchive& ar, const std::string& bytes) {
    SectionReader r(bytes);
    std::int32_t count = 0;
    if (!r.Int(&count) || count < 1 || count > kMaxProjectDatums) ThrowDamagedExtension(ar);
    ProjectDatums datums;
    UserDatumList names;  // checks each datum as 添加 does, names once
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t index = 0;
        UserDatum d;
        if (!r.Int(&index) || !r.Text(&d.name) || !r.Double(&d.a) || !r.Double(&d.rf))
            ThrowDamagedExtension(ar);
        const bool indexUsed = std::any_of(datums.begin(), datums.end(),
                                           [index](const auto& e) { return e.first == index; });
        if (index < kDatumCount || indexUsed || names.Add(d) < 0) ThrowDamagedExtension(ar);
        datums.emplace_back(index, std::move(d));
    }
    if (!r.AtEnd()) ThrowDamagedExtension(ar);
    return datums;
}

void ResolveProjectDatums(const std::vector<int*>& values, const ProjectDatums& datums) {
    UserDatumList& list = UserDatums();
    std::vector<std::pair<int, int>> map;  // file index, local index
    for (const auto& [fileIndex, datum] : datums) {
        const bool referred = std::any_of(values.begin(), values.end(),
                                          [i = fileIndex](const int* v) { return *v == i; });
        if (!referred) continue;  // written by another program: not worth a list entry
        int local = list.IndexOf(datum.name);
        if (local < 0) {
            local = list.Add(datum);
        } else if (!SameConstants(*list.At(local), datum)) {
            // The first "NAME (n)" free or holding these very constants.
            local = -1;
            for (int n = 2; local < 0 && n < 10000; ++n) {
                UserDatum renamed = datum;
                renamed.name += " (" + std::to_string(n) + ")";
                const int existing = list.IndexOf(renamed.name);
                if (existing < 0) {
                    local = list.Add(renamed);
                } else if (SameConstants(*list.At(existing), datum)) {
                    local = existing;
                }
            }
        }
        map.emplace_back(fileIndex, local);
    }
    for (int* value : values) {
        for (const auto& [from, to] : map) {
            if (*value == from && to >= 0) {
                *value = to;
                break;
            }
        }
    }
}
