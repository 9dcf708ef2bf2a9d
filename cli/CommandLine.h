// The options of terrax-convert and the rules that read them.
#pragma once

#include <optional>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli/EstimateOptions.h"
#include "cli/Quoting.h"
#include "cli/ParameterOptions.h"

enum class ProgressMode { Auto, On, Off };

// What the command line asked for. Unset optionals leave the value of the
// project file (or of the session defaults) in place.
struct ConvertOptions {
    bool help = false;
    bool version = false;
    bool verbose = false;
    bool overwrite = false;  // replace output files that exist before the run
    std::string project;  // project file to load; empty for none
    std::optional<int> sourceKind, targetKind;
    std::optional<int> sourceDatum, targetDatum;
    std::optional<int> useSeven, useFour;
    std::optional<int> heights;        // --heights on|off: the switch 高程拟合
    std::optional<std::string> geoid;  // --geoid egm96|FILE: ζ from the geoid alone
    std::optional<std::string> format;              // name of a format in the store
    std::optional<std::string> store;               // the store to read it from
    std::optional<std::string> separator;           // "," or " "
    std::optional<std::vector<std::string>> items;  // data item names, in line order
    std::optional<std::string> extension;           // without the dot
    std::optional<int> naming;
    int jobs = 0;  // threads; 0 for one per core
    std::optional<std::size_t> maxLineBytes;  // the line limit of the engine
    ProgressMode progress = ProgressMode::Auto;
    ParameterOptions parameters;     // parameters and projection over the project
    EstimateOptions estimate;        // --estimate: parameters from common points instead
    std::vector<std::string> files;  // "-" for standard input
};

// Whether `extension` can name output files: not empty, no folder separator
// ('/' or '\\'), no ':'; a leading '.' is no part of it (StripExtension).
bool IsUsableExtension(std::string_view extension);
std::string_view StripExtension(std::string_view extension);

// Reads the arguments (without the program name). "--name value" and
// "--name=value" are both accepted; "--" ends the options. Returns false with
// a message for the user in *error on the first bad argument.
bool ParseCommandLine(const std::vector<std::string>& args, ConvertOptions* options,
                      std::string* error);

// The text of --help; storePath is the format store --format reads.
std::string HelpText(const std::string& storePath);

// Readers of single option values; each returns false for a text it does
// not know.
bool ReadKind(const std::string& text, int* kind);
bool ReadDatum(const std::string& text, int* datum);
bool ReadSwitch(const std::string& text, int* on);
bool ReadNaming(const std::string& text, int* naming);
bool ReadSeparator(const std::string& text, std::string* separator);
// Item names, or their ASCII aliases, separated by commas or blanks; gives
// the data item texts of the format dialog. An empty list is refused.
bool ReadItems(const std::string& text, std::vector<std::string>* items, std::string* bad);

// The rules between the options once all are read: the estimation's own
// options need --estimate, the file options of a conversion do not go with
// it, and it reads one file. False with a message for the user.
bool CheckEstimateOptions(const ConvertOptions& options, std::string* error);
