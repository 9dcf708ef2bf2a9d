#include "cli/ParameterOptions.h"

#include "cli/Quoting.h"


#include <cstddef>
#include <limits>
#include <string_view>
#include <vector>

#include "params/FitReport.h"
#include "params/ValueText.h"
#include "session/ConversionSession.h"

namespace {

// Arc-seconds to radians with the unit the reports print in.
double ArcSeconds(double seconds) { return seconds * kRadiansPerArcSecond; }

bool ReadNumbers(const std::string& text, std::size_t count, std::vector<double>* values) {
    values->clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string_view field = std::string_view(text).substr(
            start, comma == std::string::npos ? std::string::npos : comma - start);
        double v = 0;
        if (!ReadNumberText(field, &v)) return false;
        values->push_back(v);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return values->size() == count;
}

bool ReadWhole(const std::string& text, int* value) {
    double v = 0;
    if (!ReadNumberText(text, &v) || v != static_cast<double>(static_cast<long long>(v)) ||
        v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) {
        return false;
    }
    *value = static_cast<int>(v);
    return true;
}

bool ReadProjection(const std::string& text, int* kind) {
    static const char* const kNames[][3] = {
        {"gauss3", "0", "高斯投影3度带"}, {"gauss6", "1", "高斯投影6度带"},
        {"gauss", "2", "自定义高斯投影"}, {"mercator", "3", "墨卡托投影"},
        {"utm", "4", "UTM投影"},
    };
    std::string lower = text;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    for (int k = 0; k < 5; ++k) {
        for (const char* name : kNames[k]) {
            if (lower == name || text == name) {
                *kind = k;
                return true;
            }
        }
    }
    return false;
}

}  // namespace

bool IsParameterOption(const std::string& name) {
    for (const char* known :
         {"--seven-params", "--local1", "--local2", "--projection", "--central-meridian", "--scale",
          "--false-northing", "--false-easting", "--base-latitude", "--zone"}) {
        if (name == known) return true;
    }
    return false;
}

bool ReadParameterOption(const std::string& name, const std::string& value, ParameterOptions* o,
                         std::string* error) {
    auto bad = [&](const std::string& expected) {
        *error = "bad value " + QuoteValue(value) + " for " + name + ": expected " + expected;
        return false;
    };
    std::vector<double> v;
    double number = 0;
    int whole = 0;
    if (name == "--seven-params") {
        if (!ReadNumbers(value, 7, &v)) {
            return bad("dX,dY,dZ,rX,rY,rZ,m (metres, arc-seconds, ppm)");
        }
        o->seven = {v[0],       v[1], v[2], ArcSeconds(v[3]), ArcSeconds(v[4]), ArcSeconds(v[5]),
                    v[6] * kPpm};
    } else if (name == "--local1" || name == "--local2") {
        if (!ReadNumbers(value, 4, &v)) return bad("Xo,Yo,T,K (metres, arc-seconds, factor)");
        (name == "--local1" ? o->local1 : o->local2) =
            std::array<double, 4>{v[0], v[1], ArcSeconds(v[2]), v[3]};
    } else if (name == "--projection") {
        if (!ReadProjection(value, &whole)) return bad("gauss3, gauss6, gauss, mercator or utm");
        o->projection = whole;
    } else if (name == "--central-meridian" || name == "--base-latitude") {
        if (!ReadAngleDegrees(value, &number)) return bad("an angle DDD:MM:SS");
        (name == "--central-meridian" ? o->centralMeridian : o->baseLatitude) = number;
    } else if (name == "--scale") {
        if (!ReadNumberText(value, &number) || !(number > 0)) return bad("a positive number");
        o->scale = number;
    } else if (name == "--false-northing" || name == "--false-easting") {
        if (!ReadWhole(value, &whole)) return bad("whole metres");
        (name == "--false-northing" ? o->falseNorthing : o->falseEasting) = whole;
    } else if (name == "--zone") {
        if (!ReadWhole(value, &whole) || whole < 0) return bad("a zone number");
        o->zone = whole;
    } else {
        *error = "unknown option " + QuoteValue(name);
        return false;
    }
    return true;
}

void ApplyParameterOptions(const ParameterOptions& o, ConversionSession& s) {
    ConversionParams& p = s.m_params;
    if (o.seven) {
        for (int i = 0; i < 7; ++i) p.m_seven[i] = (*o.seven)[i];
        s.m_useSeven = 1;
    }
    if (o.local1) {
        for (int i = 0; i < 4; ++i) p.m_local1[i] = (*o.local1)[i];
        s.m_useFour = 1;
    }
    if (o.local2) {
        for (int i = 0; i < 4; ++i) p.m_local2[i] = (*o.local2)[i];
        s.m_useFour = 1;
    }
    ProjectionRecord& r = p.m_projBefore;
    if (o.projection) r.kind = static_cast<ProjectionKind>(*o.projection);
    if (o.centralMeridian) r.centralMeridian = *o.centralMeridian;
    if (o.scale) r.scale = *o.scale;
    if (o.falseNorthing) r.xConstant = *o.falseNorthing;
    if (o.falseEasting) r.yConstant = *o.falseEasting;
    if (o.baseLatitude) r.baseLatitude = *o.baseLatitude;
    if (o.zone) r.zoneNumber = *o.zone;
}
