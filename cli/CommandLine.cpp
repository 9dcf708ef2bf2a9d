#include "cli/CommandLine.h"

#include <cstddef>
#include <string_view>

#include "batch/FileFormat.h"
#include "geodesy/GeoCore.h"
#include "platform/Platform.h"

namespace {

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// A small whole number made of digits only.
bool ReadIndex(std::string_view text, int limit, int* value) {
    if (text.empty() || text.size() > 4) return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v > limit) return false;
    *value = v;
    return true;
}

struct Name {
    const char* text;
    int value;
};

bool ReadName(std::string_view text, const Name* names, std::size_t count, int* value) {
    const std::string lower = AsciiLower(Trim(text));
    for (std::size_t i = 0; i < count; ++i) {
        if (lower == names[i].text) {
            *value = names[i].value;
            return true;
        }
    }
    return false;
}

// ASCII names of the data items, beside the item texts themselves.
struct ItemAlias {
    const char* alias;
    const char* item;
};
constexpr ItemAlias kItemAliases[] = {
    {"id", "点号"},         {"lat", "纬度"},        {"lon", "经度"}, {"height", "椭球高"},
    {"x", "北方向X"},       {"y", "东方向Y"},       {"h", "水准高"}, {"other", "其它"},
    {"北方向x", "北方向X"}, {"东方向y", "东方向Y"},
};

enum class Option {
    Help,
    Version,
    Verbose,
    Overwrite,
    Project,
    From,
    To,
    SourceDatum,
    TargetDatum,
    Seven,
    Four,
    Heights,
    Geoid,
    Format,
    Store,
    Separator,
    Items,
    Extension,
    Naming,
    Jobs,
    Progress,
    MaxLineBytes,
};

struct OptionName {
    const char* name;
    Option option;
    bool takesValue;
};

constexpr OptionName kOptions[] = {
    {"--help", Option::Help, false},
    {"-h", Option::Help, false},
    {"--version", Option::Version, false},
    {"--verbose", Option::Verbose, false},
    {"--overwrite", Option::Overwrite, false},
    {"--project", Option::Project, true},
    {"--from", Option::From, true},
    {"--to", Option::To, true},
    {"--source-datum", Option::SourceDatum, true},
    {"--target-datum", Option::TargetDatum, true},
    {"--seven", Option::Seven, true},
    {"--four", Option::Four, true},
    {"--heights", Option::Heights, true},
    {"--geoid", Option::Geoid, true},
    {"--format", Option::Format, true},
    {"--store", Option::Store, true},
    {"--separator", Option::Separator, true},
    {"--items", Option::Items, true},
    {"--extension", Option::Extension, true},
    {"--naming", Option::Naming, true},
    {"--jobs", Option::Jobs, true},
    {"--progress", Option::Progress, true},
    {"--max-line-bytes", Option::MaxLineBytes, true},
};

std::string Quote(std::string_view text) { return QuoteValue(text); }

}  // namespace

std::string_view StripExtension(std::string_view extension) {
    if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
    return extension;
}

bool IsUsableExtension(std::string_view extension) {
    return !extension.empty() && extension.find_first_of("/\\:") == std::string_view::npos;
}

namespace {

// Stores one option value; false with the message when the value is bad.
bool TakeValue(Option option, const std::string& name, const std::string& value, ConvertOptions* o,
               std::string* error) {
    auto bad = [&](const std::string& expected) {
        *error = "bad value " + Quote(value) + " for " + name + ": expected " + expected;
        return false;
    };
    int n = 0;
    switch (option) {
        case Option::Project:
            if (value.empty()) return bad("a project file");
            o->project = value;
            return true;
        case Option::From:
        case Option::To:
            if (!ReadKind(value, &n)) return bad("space, geodetic or plane");
            (option == Option::From ? o->sourceKind : o->targetKind) = n;
            return true;
        case Option::SourceDatum:
        case Option::TargetDatum:
            if (!ReadDatum(value, &n)) {
                return bad("beijing54, national80, wgs84, wgs72, cgcs2000 or 0..4");
            }
            (option == Option::SourceDatum ? o->sourceDatum : o->targetDatum) = n;
            return true;
        case Option::Seven:
        case Option::Four:
            if (!ReadSwitch(value, &n)) return bad("on or off");
            (option == Option::Seven ? o->useSeven : o->useFour) = n;
            return true;
        case Option::Heights:
            if (!ReadSwitch(value, &n)) return bad("on or off");
            o->heights = n;
            return true;
        case Option::Geoid:
            if (value.empty()) return bad("egm96 or a geoid grid file (.gtx or .asc)");
            o->geoid = AsciiLower(value) == "egm96" ? std::string("egm96") : value;
            return true;
        case Option::Format:
            if (value.empty()) return bad("the name of a format");
            o->format = value;
            return true;
        case Option::Store:
            if (value.empty()) return bad("a format store file");
            o->store = value;
            return true;
        case Option::Separator: {
            std::string sep;
            if (!ReadSeparator(value, &sep)) return bad("',' or ' ' (comma or space)");
            o->separator = sep;
            return true;
        }
        case Option::Items: {
            std::vector<std::string> items;
            std::string unknown;
            if (!ReadItems(value, &items, &unknown)) {
                if (unknown.empty()) return bad("at least one data item");
                *error = "unknown data item " + Quote(unknown) + " in " + name +
                         ": expected 点号 (id), 纬度 (lat), 经度 (lon), 椭球高 (height), "
                         "北方向X (x), 东方向Y (y), 水准高 (h) or 其它 (other)";
                return false;
            }
            o->items = items;
            return true;
        }
        case Option::Extension: {
            const std::string_view ext = StripExtension(value);
            if (!IsUsableExtension(ext)) return bad("an extension such as txt");
            o->extension = std::string(ext);
            return true;
        }
        case Option::MaxLineBytes: {
            std::size_t n = 0;
            const std::string v = value;
            std::size_t unit = 1;
            std::string digits = v;
            if (!digits.empty() && (digits.back() == 'M' || digits.back() == 'm')) {
                unit = std::size_t{1} << 20;
                digits.pop_back();
            } else if (!digits.empty() && (digits.back() == 'K' || digits.back() == 'k')) {
                unit = std::size_t{1} << 10;
                digits.pop_back();
            }
            bool ok = !digits.empty() && digits.size() <= 12;
            for (char c : digits) ok = ok && c >= '0' && c <= '9';
            if (ok) n = static_cast<std::size_t>(std::stoull(digits)) * unit;
            if (!ok || n == 0) return bad("a number of bytes such as 1000000 or 256M");
            o->maxLineBytes = n;
            return true;
        }
        case Option::Naming:
            if (!ReadNaming(value, &n)) return bad("0 (overwrite), 1 (ext1) or 2 (name1)");
            o->naming = n;
            return true;
        case Option::Jobs:
            if (!ReadIndex(value, 256, &n) || n < 1) return bad("a number of threads, 1..256");
            o->jobs = n;
            return true;
        case Option::Progress: {
            const std::string v = AsciiLower(value);
            if (v == "auto") {
                o->progress = ProgressMode::Auto;
            } else if (v == "on") {
                o->progress = ProgressMode::On;
            } else if (v == "off") {
                o->progress = ProgressMode::Off;
            } else {
                return bad("auto, on or off");
            }
            return true;
        }
        case Option::Help:
        case Option::Version:
        case Option::Verbose:
        case Option::Overwrite:
            break;
    }
    return false;
}

// A paragraph of the help broken between words into lines of at most 76
// columns, indented by two.
std::string Wrapped(const std::string& paragraph) {
    std::string text, line;
    std::size_t from = 0;
    while (from < paragraph.size()) {
        std::size_t end = paragraph.find(' ', from);
        if (end == std::string::npos) end = paragraph.size();
        const std::string word = paragraph.substr(from, end - from);
        if (!line.empty() && line.size() + 1 + word.size() > 74) {
            text += "  " + line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        from = end + 1;
    }
    return text + "  " + line + "\n";
}

}  // namespace

bool ReadKind(const std::string& text, int* kind) {
    static constexpr Name kNames[] = {
        {"space", 0}, {"0", 0}, {"空间直角坐标", 0}, {"geodetic", 1}, {"1", 1}, {"大地坐标", 1},
        {"plane", 2}, {"2", 2}, {"平面坐标", 2},
    };
    return ReadName(text, kNames, std::size(kNames), kind);
}

bool ReadDatum(const std::string& text, int* datum) {
    static constexpr Name kNames[] = {
        {"beijing54", 0},    {"beijing-54", 0},     {"北京-54坐标系", 0}, {"national80", 1},
        {"national-80", 1},  {"国家-80坐标系", 1},  {"wgs84", 2},         {"wgs-84", 2},
        {"wgs-84坐标系", 2}, {"wgs72", 3},          {"wgs-72", 3},        {"wgs-72坐标系", 3},
        {"cgcs2000", 4},     {"cgcs2000坐标系", 4},
    };
    if (ReadIndex(Trim(text), kDatumCount - 1, datum)) return true;
    return ReadName(text, kNames, std::size(kNames), datum);
}

bool ReadSwitch(const std::string& text, int* on) {
    static constexpr Name kNames[] = {{"on", 1}, {"1", 1}, {"off", 0}, {"0", 0}};
    return ReadName(text, kNames, std::size(kNames), on);
}

bool ReadNaming(const std::string& text, int* naming) {
    static constexpr Name kNames[] = {
        {"0", 0}, {"overwrite", 0}, {"1", 1}, {"ext1", 1}, {"2", 2}, {"name1", 2},
    };
    return ReadName(text, kNames, std::size(kNames), naming);
}

bool ReadSeparator(const std::string& text, std::string* separator) {
    if (text == "," || AsciiLower(text) == "comma") {
        separator->assign(1, ',');
    } else if (text == " " || AsciiLower(text) == "space") {
        separator->assign(1, ' ');
    } else {
        return false;
    }
    return true;
}

bool ReadItems(const std::string& text, std::vector<std::string>* items, std::string* bad) {
    items->clear();
    bad->clear();
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t stop = text.find_first_of(", ", start);
        if (stop == std::string::npos) stop = text.size();
        const std::string name = text.substr(start, stop - start);
        start = stop + 1;
        if (name.empty()) continue;
        std::string item;
        for (const char* known : kDataItems) {
            if (name == known) item = known;
        }
        const std::string lower = AsciiLower(name);
        for (const ItemAlias& a : kItemAliases) {
            if (item.empty() && lower == a.alias) item = a.item;
        }
        if (item.empty()) {
            *bad = name;
            items->clear();
            return false;
        }
        items->push_back(item);
    }
    return !items->empty();
}

bool ParseCommandLine(const std::vector<std::string>& args, ConvertOptions* options,
                      std::string* error) {
    ConvertOptions o;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            o.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const OptionName* known = nullptr;
        for (const OptionName& candidate : kOptions) {
            if (name == candidate.name) known = &candidate;
        }
        // Options of the parameters and of the estimation are read by their own readers.
        const bool parameter = known == nullptr && IsParameterOption(name);
        const int estimateArity = known == nullptr ? EstimateOptionArity(name) : -1;
        if (known == nullptr && !parameter && estimateArity < 0) {
            *error = "unknown option " + Quote(name);
            return false;
        }
        const bool takesValue =
            known != nullptr ? known->takesValue : parameter || estimateArity > 0;
        if (!takesValue) {
            if (eq != std::string::npos) {
                *error = "option " + name + " takes no value";
                return false;
            }
            if (known == nullptr) {
                TakeEstimateOption(name, "", &o.estimate, error);
                continue;
            }
            if (known->option == Option::Help) o.help = true;
            if (known->option == Option::Version) o.version = true;
            if (known->option == Option::Verbose) o.verbose = true;
            if (known->option == Option::Overwrite) o.overwrite = true;
            continue;
        }
        std::string value;
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            *error = "option " + name + " needs a value";
            return false;
        }
        const bool taken = known != nullptr ? TakeValue(known->option, name, value, &o, error)
                           : parameter      ? ReadParameterOption(name, value, &o.parameters, error)
                                            : TakeEstimateOption(name, value, &o.estimate, error);
        if (!taken) return false;
    }
    if (o.help || o.version) {
        *options = std::move(o);
        return true;
    }
    // --geoid is read as the conversions' option; an estimate fits on it.
    if (o.estimate.Active() && o.geoid) {
        o.estimate.geoid = *o.geoid;
        o.geoid.reset();
    }
    if (!CheckEstimateOptions(o, error)) return false;
    if (o.estimate.Active()) {
        *options = std::move(o);
        return true;
    }
    if (o.format && (o.separator || o.items)) {
        *error = "give either --format or --separator and --items, not both";
        return false;
    }
    if (o.store && !o.format) {
        *error = "--store names the store that --format reads; give --format too";
        return false;
    }
    if (o.separator && !o.items) {
        *error = "--separator needs --items (the data items of a line)";
        return false;
    }
    bool hasStdin = false;
    for (const std::string& f : o.files) hasStdin = hasStdin || f == "-";
    if (hasStdin && o.files.size() > 1) {
        *error = "'-' (standard input) cannot be given together with files";
        return false;
    }
    *options = std::move(o);
    return true;
}

std::string HelpText(const std::string& storePath) {
    std::string text = R"(Usage: terrax-convert [OPTION...] [FILE...]
       terrax-convert --estimate seven|four|three [OPTION...] COMMON.txt
       terrax-convert --estimate height --height-model MODEL [OPTION...] COMMON.txt

Converts text files of points line by line, with the same rules as the file
conversion of the window. Each FILE is converted into a new file beside it,
named by --naming. With no FILE, or with "-", points are read from standard
input and written to standard output.

Settings: the project file is read first; the options below override it.
  --project FILE.cod      parameters, projections, datums, switches, coordinate
                          kinds and zone change from a project file
  --from KIND             source coordinate kind: space, geodetic or plane
  --to KIND               target coordinate kind: space, geodetic or plane
  --source-datum DATUM    beijing54, national80, wgs84, wgs72, cgcs2000 (or
                          the list texts 北京-54坐标系, 国家-80坐标系,
                          WGS-84坐标系, WGS-72坐标系, CGCS2000坐标系), or the
                          index 0..4
  --target-datum DATUM    the same for the target side
  --seven on|off          seven-parameter transformation
  --four on|off           local four-parameter transforms
  --heights on|off        heights (高程拟合): heights of space and geodetic
                          coordinates are ellipsoidal, those of plane
                          coordinates normal heights; to plane coordinates
                          H = h - ζ, from them h = H + ζ, with ζ from the
                          project's height model (default: the project's
                          switch; off without a project)
  --geoid egm96|FILE      ζ from a geoid alone, no fitted model: EGM96
                          (egm96_15.gtx beside the program or in
                          /usr/share/proj, from proj-data) or a grid file
                          (.gtx or ESRI ASCII .asc); turns --heights on
                          unless --heights off is given. A point outside
                          the grid is written as it was and reported
  --seven-params dX,dY,dZ,rX,rY,rZ,m
                          the seven parameters: metres, arc-seconds, ppm
                          (turns --seven on unless --seven is given)
  --local1 Xo,Yo,T,K      level-1 local transform: metres, arc-seconds and
                          the factor K (turns --four on unless it is given)
  --local2 Xo,Yo,T,K      level-2 local transform, the same way
  --projection P          gauss3, gauss6, gauss (user-defined), mercator or utm
  --central-meridian A    central meridian as angle text DDD:MM:SS
  --scale S               scale of the projected coordinates
  --false-northing N      X constant, whole metres
  --false-easting E       Y constant, whole metres (500000 by default)
  --base-latitude A       base latitude of Mercator, DDD:MM:SS
  --zone N                zone number stored in the project (it does not
                          move the central meridian)

File format, one of two ways:
  --format NAME           a format of the format store, by its name
  --store FILE            the format store to read (default: see Files)
or
  --separator SEP         ',' or ' ' (also: comma, space; default ',')
  --items LIST            the data items of a line in order, separated by
                          commas or blanks: 点号 (id), 纬度 (lat), 经度 (lon),
                          椭球高 (height), 北方向X (x), 东方向Y (y),
                          水准高 (h), 其它 (other)
  --extension EXT         extension of the output files; needed with --items
                          when files are given, and overrides a format's own

Output:
  --naming N              0 or overwrite: File.txt is replaced by its
                          conversion (File1.txt stays beside it);
                          1 or ext1: File.txt1 (default); 2 or name1: File1.txt
  --overwrite             replace output files that exist before the run
                          (with naming 0 also the File1.txt it writes first);
                          without it their sources are skipped and reported
  --jobs N                threads to use (default: one per core)
  --progress auto|on|off  progress bar on standard error when it is a
                          terminal; auto shows it for long work only
  --max-line-bytes N      longest line to convert (default 64M; K and M
                          allowed); a source with a longer line is not
                          converted and no output is made for it
  --verbose               name each source and its output on standard error
  --save-project OUT.cod  after the run, write its settings as a project:
                          the project's values with the options laid over
                          them, coordinate kinds and datums included
  -h, --help              show this help
  --version               show the version

Parameters from common points (instead of converting):
  --estimate MODEL        seven, four or three parameters by least squares
                          from the common points of COMMON.txt ('-': standard
                          input), one point a line: ID s1 s2 s3 t1 t2 t3,
                          separated by commas or blanks; '#' starts a comment.
                          The sides are read as --from/--to on --source-datum/
                          --target-datum (latitude and longitude as angle text
                          DDD:MM:SS.ffff, plane sides through the projection
                          settings). Prints the parameters with their standard
                          deviations, σ0 and the residual of every point.
  --estimate height       instead, a height model from common points with both
                          heights: ID x y h H or ID B L h H (h ellipsoidal, H
                          normal height, metres; B, L as angle text, x, y
                          plane coordinates in the project's projection), on
                          --target-datum (or the project's target datum).
                          Fits the height anomaly ζ = h - H and prints σ0 and
                          the residuals in millimetres, the coefficients with
                          their standard deviations and the test of each point
  --height-model MODEL    constant (1 point or more), plane (3 or more, not on
                          one line) or quadric (6 or more) surface of ζ
  --geoid egm96|FILE      fit the surface to ζ - N on this geoid (remove-
                          restore): egm96 is egm96_15.gtx beside the program
                          or in /usr/share/proj; FILE a .gtx or .asc grid
  --exclude ID[,ID...]    leave these points out of the solution; they are
                          listed as check points with their residuals
  --alpha LEVEL           significance of the test of each point: a fraction
                          (0.001) or a percentage (0.1%); default 0.1%. Each
                          used point is tested by Pope's τ-test with σ0 of
                          the fit itself, since no a-priori standard
                          deviation of the coordinates is known; check
                          points by an F-test. A point failing it is flagged
  --tolerance METRES      also flag residuals longer than this
  --encoding utf-8|gb18030
                          the text of COMMON.txt; without it UTF-8 when the
                          file has a byte-order mark or is UTF-8 with no
                          accented, Cyrillic or similar letters (their bytes
                          are GB18030 Chinese), GB18030 otherwise
  --level 1|2             the local level four parameters are stored in
  --json                  print one JSON object instead of the report
  --plot FILE.svg         also write the residual plot: the points on the map,
                          their horizontal residuals as arrows at the scale
                          of the scale bar, check points hollow, flagged
                          points red
  --save-project OUT.cod  write the project with the result applied (seven
                          and three parameters with the seven switch on, four
                          in the level with the four switch on), its kinds
                          and datums set to the two sides; a height model
                          with its geoid and the switch 高程拟合 on

No file is converted twice in one run: a FILE named again (or another name
of the same file) is converted once and reported. A source whose output
another source of the run writes first, or whose output is a source, is
skipped and reported, and so is a source that cannot be read; the others are
converted.

Exit status: 0 when everything was converted; 1 when some files were skipped
or a stream failed (each one is reported); 2 for a bad option or a set-up that
cannot run, in which case nothing is written (a plane to plane conversion
with local level 1 unset is one: it would turn every point into Xo, Yo); 1
also when --save-project could not write the project. With --estimate: 0 when the
parameters or the height model were computed, 2 for bad input (its line is
named) or points that do not determine them, 1 when --plot or --save-project
could not write its file.

Files:
  format store  )";
    text += storePath;
    text += "\n\n";
    text += Wrapped("The format store is Par.txt beside this program when it is there; otherwise " +
                    Platform::UserConfigPathForHelp("terrax/Par.txt") +
                    ", where the window keeps the formats it defines.");
    text += R"(
Examples:
  terrax-convert --project job.cod --format 坐标 --naming name1 a.txt b.txt
  terrax-convert --project job.cod --from geodetic --to plane \
      --source-datum beijing54 --target-datum wgs84 --seven on \
      --separator , --items id,lat,lon,height < points.txt > plane.txt
  terrax-convert --estimate seven --from geodetic --to plane \
      --source-datum national80 --target-datum cgcs2000 --projection gauss3 \
      --central-meridian 117:00:00 --exclude P7 --save-project new.cod \
      common.txt
  terrax-convert --estimate height --height-model plane --geoid egm96 \
      --project job.cod --plot heights.svg heights.txt
)";
    return text;
}

bool CheckEstimateOptions(const ConvertOptions& o, std::string* error) {
    const EstimateOptions& e = o.estimate;
    if (!e.Active()) {
        const char* lone = !e.exclude.empty()       ? "--exclude"
                           : e.tolerance            ? "--tolerance"
                           : e.alpha                ? "--alpha"
                           : e.level                ? "--level"
                           : e.encoding != TextEncoding::Detect ? "--encoding"
                           : e.json                 ? "--json"
                           : !e.plot.empty()        ? "--plot"
                                                    : nullptr;
        if (e.heightModel || !e.geoid.empty()) {
            *error = std::string(e.heightModel ? "--height-model" : "--geoid") +
                     " belongs to --estimate height";
            return false;
        }
        if (lone == nullptr) return true;
        *error = std::string(lone) +
                 " belongs to --estimate; give --estimate seven|four|three|height";
        return false;
    }
    const char* conversionOnly = o.format      ? "--format"
                                 : o.store     ? "--store"
                                 : o.separator ? "--separator"
                                 : o.items     ? "--items"
                                 : o.extension ? "--extension"
                                 : o.naming    ? "--naming"
                                 : o.useSeven  ? "--seven"
                                 : o.useFour   ? "--four"
                                 : o.heights   ? "--heights"
                                 : o.jobs != 0 ? "--jobs"
                                 : o.overwrite ? "--overwrite"
                                               : nullptr;
    if (conversionOnly != nullptr) {
        *error = std::string(conversionOnly) + " is an option of conversions, not of --estimate";
        return false;
    }
    if (e.height) {
        const char* notHeight = o.sourceKind     ? "--from"
                                : o.targetKind   ? "--to"
                                : o.sourceDatum  ? "--source-datum"
                                : e.level        ? "--level"
                                                 : nullptr;
        if (notHeight != nullptr) {
            *error = std::string(notHeight) +
                     " does not go with --estimate height: the file's positions show their "
                     "kind, --target-datum names their datum";
            return false;
        }
        if (!e.heightModel) {
            *error = "--estimate height needs --height-model constant|plane|quadric";
            return false;
        }
    } else if (e.heightModel || !e.geoid.empty()) {
        *error = std::string(e.heightModel ? "--height-model" : "--geoid") +
                 " belongs to --estimate height";
        return false;
    }
    if (e.level && *e.model != FitModel::Four) {
        *error = "--level chooses the local level of four parameters; it goes with --estimate four";
        return false;
    }
    if (o.files.size() != 1) {
        *error = "--estimate reads one file of common points (or '-' for standard input)";
        return false;
    }
    return true;
}
