// Naming the output file of a batch source. Paths use "/".
#pragma once

#include <string>

// Part selectors of GetPathPart.
inline constexpr int kPathDirectory = -1;
inline constexpr int kPathBaseName = 0;

// kPathDirectory: the text before the last "/" (without it), "" when the
// path has none. kPathBaseName: the file name (the text after the last "/")
// up to its first "."; a file name with no "." before other text (such as
// "pts", ".pts" or "") is its own base name. Any other part gives "".
std::string GetPathPart(const std::string& path, int part);

// Output naming choices.
inline constexpr int kNamingOverwrite = 0;  // File.txt -> File1.txt, copied over File.txt
inline constexpr int kNamingExtension = 1;  // File.txt -> File.txt1
inline constexpr int kNamingFileName = 2;   // File.txt -> File1.txt

// The output path of `source` beside it, with the format's extension:
// naming 1 gives dir/base.ext1, naming 0 and 2 (and any other value) give
// dir/base1.ext. A source without a directory gives a name without one.
std::string OutputPath(const std::string& source, const std::string& extension, int naming);
