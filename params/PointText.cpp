#include "params/PointText.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "params/ValueText.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

void TrimPointTexts(std::string (&texts)[3]) {
    for (std::string& t : texts) {
        std::size_t begin = 0, end = t.size();
        while (begin < end && IsBlank(t[begin])) ++begin;
        while (end > begin && IsBlank(t[end - 1])) --end;
        t = t.substr(begin, end - begin);
    }
}

PointTextCheck CheckPointTexts(CoordinateKind kind, const std::string (&texts)[3]) {
    PointTextCheck check;
    for (int i = 0; i < 3; ++i) {
        const std::string& text = texts[i];
        check.field = i;
        double value = 0;
        if (text.empty()) {
            check.problem = PointTextProblem::Empty;
            return check;
        }
        if (kind == CoordinateKind::Geodetic && i < 2) {
            if (ReadAngleText(text, &value)) continue;
            if (ReadNumberText(text, &value) && value >= 0 && value < 360) {
                check.problem = PointTextProblem::DecimalDegrees;
                check.degrees = value;
            } else {
                check.problem = PointTextProblem::NotAngle;
            }
            return check;
        }
        if (!ReadNumberText(text, &value)) {
            check.problem = PointTextProblem::NotNumber;
            return check;
        }
    }
    return PointTextCheck{};
}

std::string AngleTextOfDegrees(double degrees) {
    const auto micro = static_cast<std::int64_t>(std::llround(degrees * 3600e6));
    const std::int64_t perDegree = 3600000000, perMinute = 60000000, perSecond = 1000000;
    char text[48];
    std::snprintf(text, sizeof text, "%03" PRId64 ":%02" PRId64 ":%02" PRId64 ".%06" PRId64,
                  micro / perDegree, micro % perDegree / perMinute, micro % perMinute / perSecond,
                  micro % perSecond);
    return text;
}
