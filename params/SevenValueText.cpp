#include "params/SevenValueText.h"

#include "geodesy/GeoCore.h"
#include "params/FitReport.h"
#include "params/ValueText.h"

namespace {

constexpr int kDecimals = 6;
constexpr double kPpmPerUnit = 1e6;  // exact: typed ppm / 1e6 is the nearest double

bool IsRotation(int index) { return index >= 3 && index <= 5; }
bool IsScale(int index) { return index == 6; }

std::string Trimmed(const std::string& text) {
    const auto begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::string();
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

}  // namespace

const char* SevenValueUnit(int index) {
    return IsRotation(index) ? "秒" : IsScale(index) ? "ppm" : "米";
}

std::string FormatSevenValue(int index, double value) {
    if (IsRotation(index)) return FormatFitFixed(value / kRadiansPerArcSecond, kDecimals);
    if (IsScale(index)) return FormatFitFixed(value * kPpmPerUnit, kDecimals);
    return FormatFitFixed(value, kDecimals);
}

bool ReadSevenValue(const CGeoCore& geo, int index, const std::string& typed, double* value) {
    const std::string text = Trimmed(typed);
    if (IsRotation(index) && text.find(':') != std::string::npos) {
        const bool signed_ = !text.empty() && (text[0] == '-' || text[0] == '+');
        double unsignedRadians = 0;
        if (!ReadAngleText(signed_ ? text.substr(1) : text, &unsignedRadians)) return false;
        *value = geo.ParseSignedDmsText(text);
        return true;
    }
    double number = 0;
    if (!ReadNumberText(text, &number)) return false;
    if (IsRotation(index)) {
        *value = number * kRadiansPerArcSecond;
    } else if (IsScale(index)) {
        *value = number / kPpmPerUnit;
    } else {
        *value = number;
    }
    return true;
}

std::string SevenValueError(int index, const std::string& field) {
    if (IsRotation(index))
        return field + "必须是以秒为单位的数，或 DDD:MM:SS.ffff 形式的角度。";
    if (IsScale(index)) return field + "必须是以 ppm（百万分之一）为单位的数。";
    return field + "必须是以米为单位的数。";
}
