#include "tests/layout/IncludeRules.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>

namespace fs = std::filesystem;

namespace {

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

// The folder of the rules that holds `path` (the longest that is a prefix),
// "" for none.
std::string FolderOf(const std::string& path, const std::vector<std::string>& folders) {
    std::string best;
    for (const std::string& f : folders) {
        if (StartsWith(path, f + "/") && f.size() > best.size()) best = f;
    }
    return best;
}

// The folders `folder` may include: itself, what it uses, what those use.
std::set<std::string> Reachable(const IncludeRules& rules, const std::string& folder) {
    std::set<std::string> seen{folder};
    std::vector<std::string> todo{folder};
    while (!todo.empty()) {
        std::string f = todo.back();
        todo.pop_back();
        auto it = rules.uses.find(f);
        if (it == rules.uses.end()) continue;
        for (const std::string& g : it->second) {
            if (seen.insert(g).second) todo.push_back(g);
        }
    }
    return seen;
}

struct Include {
    std::string target;  // as written
    bool quoted;
    int line;
};

std::vector<Include> IncludesOf(const fs::path& file) {
    static const std::regex kInclude(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<Include> out;
    std::ifstream in(file);
    std::string text;
    for (int n = 1; std::getline(in, text); ++n) {
        std::smatch m;
        if (std::regex_search(text, m, kInclude)) out.push_back({m[2], m[1] == "\"", n});
    }
    return out;
}

bool IsQtHeader(const std::string& name) {
    return name.size() > 1 && name[0] == 'Q' && name[1] >= 'A' && name[1] <= 'Z';
}

// The unit of a file: its path without the extension, so that a header and
// its source are one.
std::string UnitOf(const std::string& path) { return path.substr(0, path.rfind('.')); }

}  // namespace

IncludeRules ProjectIncludeRules() {
    IncludeRules r;
    r.uses = {
        {"platform", {}},
        {"io", {"platform"}},
        {"crmath", {}},
        {"geodesy", {"crmath"}},
        {"session", {"geodesy", "io"}},
        {"batch", {"session"}},
        {"params", {"session"}},
        {"cli", {"batch", "params"}},
        {"ui/resources", {"io"}},
        {"ui/framework/qt", {"ui/resources"}},
        {"ui/framework", {"ui/framework/qt"}},
        {"ui/prompts", {"ui/framework"}},
        {"ui/batch", {"ui/framework", "batch"}},
        {"ui/params", {"ui/framework", "params"}},
        {"ui/app", {"ui/batch", "ui/params", "ui/prompts"}},
        {"ui/tools", {"ui/app"}},
    };
    r.qtFolders = {"ui/resources", "ui/framework/qt", "ui/framework", "ui/prompts",
                   "ui/batch",     "ui/params",       "ui/app",       "ui/tools"};
    for (const std::string& f : r.qtFolders) r.data[f] = {"res"};
    return r;
}

std::vector<IncludeProblem> CheckIncludes(const std::string& root, const IncludeRules& rules) {
    std::vector<std::string> libraries;
    for (const auto& [folder, uses] : rules.uses) libraries.push_back(folder);
    // Test folders mirror the library folders; the support of the tests is
    // open to every test.
    const std::vector<std::string> support = {"tests/support", "tests/ui/support"};
    std::vector<std::string> all = libraries;
    for (const std::string& f : libraries) all.push_back("tests/" + f);
    all.insert(all.end(), {"tests/support", "tests/ui/support", "tests/layout", "bench", "fuzz"});

    // Every file of the tree, by its path relative to the root.
    std::vector<std::string> files;
    std::set<std::string> exists;
    const fs::path base(root);
    for (const std::string& top :
         {std::string("platform"), std::string("io"), std::string("crmath"), std::string("geodesy"),
          std::string("session"), std::string("batch"), std::string("params"), std::string("cli"),
          std::string("ui"), std::string("res"), std::string("tests"), std::string("bench"),
          std::string("fuzz")}) {
        if (!fs::is_directory(base / top)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(base / top)) {
            if (!entry.is_regular_file()) continue;
            const std::string rel = fs::relative(entry.path(), base).generic_string();
            exists.insert(rel);
            const std::string ext = entry.path().extension().string();
            if (ext == ".h" || ext == ".cpp") files.push_back(rel);
        }
    }
    std::sort(files.begin(), files.end());

    auto allowedFor = [&](const std::string& folder) {
        std::set<std::string> allowed;
        std::string lib = folder;
        if (StartsWith(folder, "tests/")) lib = folder.substr(6);
        if (folder == "bench" || folder == "fuzz") lib = "cli";
        if (rules.uses.count(lib)) {
            allowed = Reachable(rules, lib);
            auto d = rules.data.find(lib);
            if (d != rules.data.end()) allowed.insert(d->second.begin(), d->second.end());
        }
        if (StartsWith(folder, "tests/")) {
            // A test may build on anything of its side of the tree: the
            // Qt-free libraries, and for the window's tests every folder of
            // the window too, with their tests' helpers.
            const bool window = StartsWith(lib, "ui/");
            for (const std::string& f : libraries) {
                if (window || !StartsWith(f, "ui/")) {
                    allowed.insert(f);
                    allowed.insert("tests/" + f);
                }
            }
            allowed.insert("tests/support");
            if (window) allowed.insert({"tests/ui/support", "res"});
        } else if (folder != lib) {
            allowed.insert(folder);
            allowed.insert("tests/support");
        }
        if (folder == "tests/support")
            allowed = {"tests/support", "platform", "io", "crmath", "geodesy", "session"};
        if (folder == "tests/ui/support") {
            allowed = Reachable(rules, "ui/framework");
            allowed.insert({"tests/support", "tests/ui/support"});
        }
        if (folder == "tests/layout") allowed = {"tests/layout", "tests/support"};
        return allowed;
    };
    auto qtAllowed = [&](const std::string& folder) {
        for (const std::string& q : rules.qtFolders) {
            if (folder == q || folder == "tests/" + q) return true;
        }
        return folder == "tests/ui/support";
    };

    std::vector<IncludeProblem> problems;
    std::map<std::string, std::set<std::string>> edges;  // unit -> units it includes
    for (const std::string& file : files) {
        const std::string folder = FolderOf(file, all);
        const bool library = rules.uses.count(folder) != 0;
        const std::set<std::string> allowed = allowedFor(folder);
        for (const Include& inc : IncludesOf(base / file)) {
            if (!inc.quoted) {
                if (IsQtHeader(inc.target) && !qtAllowed(folder)) {
                    problems.push_back(
                        {file, inc.line,
                         "includes Qt (" + inc.target + ") outside the window's folders"});
                }
                continue;
            }
            if (!exists.count(inc.target)) {
                problems.push_back(
                    {file, inc.line, "includes " + inc.target + ", which is no file of the tree"});
                continue;
            }
            std::string target = FolderOf(inc.target, all);
            if (target.empty()) target = inc.target.substr(0, inc.target.find('/'));
            if (folder.empty()) continue;
            if (!allowed.count(target)) {
                problems.push_back({file, inc.line,
                                    "in " + folder + "/ includes " + inc.target + ", of " + target +
                                        "/ which " + folder + "/ may not include"});
            }
            if (library && rules.uses.count(target) && UnitOf(inc.target) != UnitOf(file)) {
                edges[UnitOf(file)].insert(UnitOf(inc.target));
            }
        }
    }

    // Circles: the strongly connected components of the units (Tarjan).
    std::map<std::string, int> index, low;
    std::set<std::string> onStack;
    std::vector<std::string> stack;
    int next = 0;
    std::function<void(const std::string&)> visit = [&](const std::string& v) {
        index[v] = low[v] = next++;
        stack.push_back(v);
        onStack.insert(v);
        for (const std::string& w : edges[v]) {
            if (!index.count(w)) {
                visit(w);
                low[v] = std::min(low[v], low[w]);
            } else if (onStack.count(w)) {
                low[v] = std::min(low[v], index[w]);
            }
        }
        if (low[v] != index[v]) return;
        std::vector<std::string> component;
        std::string w;
        do {
            w = stack.back();
            stack.pop_back();
            onStack.erase(w);
            component.push_back(w);
        } while (w != v);
        if (component.size() < 2) return;
        std::sort(component.begin(), component.end());
        std::string names;
        for (const std::string& c : component) names += (names.empty() ? "" : ", ") + c;
        problems.push_back({component.front(), 0, "is in a circle of includes: " + names});
    };
    std::vector<std::string> units;
    for (const auto& [unit, targets] : edges) units.push_back(unit);
    for (const std::string& u : units) {
        if (!index.count(u)) visit(u);
    }
    return problems;
}
