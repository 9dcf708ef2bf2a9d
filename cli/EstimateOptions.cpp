#include "cli/EstimateOptions.h"

#include "cli/Quoting.h"

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
