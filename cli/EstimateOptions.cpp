#include "cli/EstimateOptions.h"

#include "cli/Quoting.h"

#include "params/ValueText.h"

int EstimateOptionArity(const std::string& name) {
    if (name == "--json") return 0;
    for (const char* known :
         {"--estimate", "--exclude", "--tolerance", "--level", "--save-project", "--encoding",
          "--alpha", "--plot", "--height-model", "--geoid"}) {
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
        } else if (value == "height") {
            o->height = true;
        } else {
            return bad("seven, four, three or height");
        }
    } else if (name == "--height-model") {
        if (value == "constant") {
            o->heightModel = HeightSurface::Constant;
        } else if (value == "plane") {
            o->heightModel = HeightSurface::Plane;
        } else if (value == "quadric") {
            o->heightModel = HeightSurface::Quadric;
        } else {
            return bad("constant, plane or quadric");
        }
    } else if (name == "--geoid") {
        if (value.empty()) return bad("egm96 or a geoid grid file (.gtx, .asc)");
        o->geoid = value;
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
    } else if (name == "--alpha") {
        // A fraction (0.001), or a percentage with its sign (0.1%).
        const bool percent = !value.empty() && value.back() == '%';
        double v = 0;
        if (!ReadNumberText(percent ? value.substr(0, value.size() - 1) : value, &v)) {
            return bad("a significance level such as 0.001 or 0.1%");
        }
        if (percent) v /= 100;
        if (!(v >= 1e-9 && v < 0.5)) return bad("a significance level between 1e-9 and 0.5");
        o->alpha = v;
    } else if (name == "--encoding") {
        if (value == "utf-8") {
            o->encoding = TextEncoding::Utf8;
        } else if (value == "gb18030") {
            o->encoding = TextEncoding::Gb18030;
        } else {
            return bad("utf-8 or gb18030");
        }
    } else if (name == "--level") {
        if (value != "1" && value != "2") return bad("1 or 2");
        o->level = value == "1" ? 1 : 2;
    } else if (name == "--plot") {
        if (value.empty()) return bad("an SVG file");
        o->plot = value;
    } else if (name == "--save-project") {
        if (value.empty()) return bad("a project file");
        o->saveProject = value;
    } else {
        *error = "unknown option " + QuoteValue(name);
        return false;
    }
    return true;
}
