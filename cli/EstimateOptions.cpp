#include "cli/EstimateOptions.h"

#include "cli/CommandLine.h"
#include "params/ValueText.h"

int EstimateOptionArity(const std::string& name) {
    if (name == "--json") return 0;
    for (const char* known :
         {"--estimate", "--exclude", "--tolerance", "--level", "--save-project"}) {
        if (name == known) return 1;
    }
    return -1;
}

bool TakeEstimateOption(const std::string& name, const std::string& value, EstimateOptions* o,
                        std::string* error) {
    auto bad = [&](const std::string& expected) {
        *error = "bad value " + QuoteValue(value) + " for " + name + ": expected " + expected;
        return false;
    };
    if (name == "--json") {
        o->json = true;
    } else if (name == "--estimate") {
        if (value == "seven") {
            o->model = FitModel::Seven;
        } else if (value == "four") {
            o->model = FitModel::Four;
        } else if (value == "three") {
            o->model = FitModel::Three;
        } else {
            return bad("seven, four or three");
        }
    } else if (name == "--exclude") {
        std::size_t start = 0;
        while (true) {
            const std::size_t comma = value.find(',', start);
            const std::string id = value.substr(start, comma - start);
            if (id.empty()) return bad("point names separated by commas");
            o->exclude.push_back(id);
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
    } else if (name == "--tolerance") {
        double v = 0;
        if (!ReadNumberText(value, &v) || !(v > 0)) return bad("a positive number of metres");
        o->tolerance = v;
    } else if (name == "--level") {
        if (value != "1" && value != "2") return bad("1 or 2");
        o->level = value == "1" ? 1 : 2;
    } else if (name == "--save-project") {
        if (value.empty()) return bad("a project file");
        o->saveProject = value;
    } else {
        *error = "unknown option " + QuoteValue(name);
        return false;
    }
    return true;
}

bool CheckEstimateOptions(const ConvertOptions& o, std::string* error) {
    const EstimateOptions& e = o.estimate;
    if (!e.model) {
        const char* lone = !e.exclude.empty()       ? "--exclude"
                           : e.tolerance            ? "--tolerance"
                           : e.level                ? "--level"
                           : e.json                 ? "--json"
                           : !e.saveProject.empty() ? "--save-project"
                                                    : nullptr;
        if (lone == nullptr) return true;
        *error = std::string(lone) + " belongs to --estimate; give --estimate seven|four|three";
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
                                 : o.jobs != 0 ? "--jobs"
                                 : o.overwrite ? "--overwrite"
                                               : nullptr;
    if (conversionOnly != nullptr) {
        *error = std::string(conversionOnly) + " is an option of conversions, not of --estimate";
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
