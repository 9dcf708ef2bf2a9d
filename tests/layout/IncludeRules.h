// The rules of the source tree's layout, checked over its #include lines:
// each folder is one library and includes only the folders below it, Qt
// only under ui/, and no circle of includes between files.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

struct IncludeRules {
    // The folders each library folder includes directly, bottom to top; a
    // folder may include what these include in turn.
    std::map<std::string, std::vector<std::string>> uses;
    // Folders whose files may include Qt's headers (and those below them).
    std::vector<std::string> qtFolders;
    // Folders of data that the given folders may include (res/resource.h).
    std::map<std::string, std::vector<std::string>> data;
};

// The rules of this project.
IncludeRules ProjectIncludeRules();

// One broken rule, as a line for the reader: the file, its line and why.
struct IncludeProblem {
    std::string file;
    int line = 0;
    std::string why;
};

// Reads every .h and .cpp file under the rules' folders, tests/, bench/ and
// fuzz/ of `root` and returns every broken rule:
// - a file that includes a header of a folder its folder may not include
//   (tests/X may include what X may, X itself and the test support;
//   bench/ and fuzz/ what cli/ may);
// - Qt included outside the Qt folders and their tests;
// - an include that names no file of the tree;
// - a circle of includes between files of the library folders, a file and
//   its header counting as one.
std::vector<IncludeProblem> CheckIncludes(const std::string& root, const IncludeRules& rules);
