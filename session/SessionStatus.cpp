#include "session/SessionStatus.h"

#include <cmath>

#include "session/GeoidFiles.h"

namespace {

const char* ProjectionName(ProjectionKind kind) {
    switch (kind) {
        case ProjectionKind::Gauss3:
            return "高斯投影3度带";
        case ProjectionKind::Gauss6:
            return "高斯投影6度带";
        case ProjectionKind::GaussCustom:
            return "自定义高斯投影";
        case ProjectionKind::Mercator:
            return "墨卡托投影";
        case ProjectionKind::Utm:
            return "UTM投影";
    }
    return "未知投影";
}

// Degrees with as many decimals as they need, at most six.
std::string Degrees(double degrees) {
    std::string text = FormatFixed(degrees, 6);
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text + "°";
}

// Whole `n` when `value` is one, within a millionth.
bool WholeNumber(double value, int* n) {
    if (!(std::fabs(value) < 1e6)) return false;
    const double rounded = std::round(value);
    if (std::fabs(value - rounded) > 1e-6) return false;
    *n = static_cast<int>(rounded);
    return true;
}

std::string Switch(const char* name, int on) { return std::string(name) + (on ? " 开" : " 关"); }

}  // namespace

std::string HeightsModelText(const SessionHeights& heights) {
    std::string geoid;
    if (heights.geoid == kEgm96Name) {
        geoid = "EGM96";
    } else if (!heights.geoid.empty()) {
        const std::size_t slash = heights.geoid.find_last_of("/\\");
        geoid = slash == std::string::npos ? heights.geoid : heights.geoid.substr(slash + 1);
    }
    if (!heights.model) return geoid.empty() ? "" : "大地水准面 (" + geoid + ")";
    static const char* const kSurfaces[] = {"常数", "平面", "二次曲面"};
    const int surface = static_cast<int>(heights.model->surface);
    std::string text = surface >= 0 && surface <= 2 ? kSurfaces[surface] : "?";
    if (heights.model->onGeoid) text += " (" + geoid + ")";
    return text;
}

std::string DatumShortName(int datum) {
    static const char* const kNames[] = {"北京-54", "国家-80", "WGS-84", "WGS-72", "CGCS2000"};
    return datum >= 0 && datum < kDatumCount ? kNames[datum] : "?";
}

int ProjectionZone(const ProjectionRecord& p) {
    int zone = 0;
    switch (p.kind) {
        case ProjectionKind::Gauss3:
            if (WholeNumber(p.centralMeridian / 3.0, &zone) && zone > 0 && zone <= 120) return zone;
            return 0;
        case ProjectionKind::Gauss6:
            if (WholeNumber((p.centralMeridian + 3.0) / 6.0, &zone) && zone > 0 && zone <= 60)
                return zone;
            return 0;
        case ProjectionKind::Utm:
            if (WholeNumber((p.centralMeridian + 183.0) / 6.0, &zone) && zone > 0 && zone <= 60)
                return zone;
            return 0;
        default:
            return 0;
    }
}

std::string SessionStatusText(const ConversionSession& s) {
    const ProjectionRecord& before = s.m_params.m_projBefore;
    std::string text = DatumShortName(s.m_sourceDatum) + " → " + DatumShortName(s.m_targetDatum);
    text += std::string(" | ") + ProjectionName(before.kind) + " 中央子午线 " +
            Degrees(before.centralMeridian);
    if (const int zone = ProjectionZone(before)) text += " 第" + std::to_string(zone) + "带";
    text += " | " + Switch("七参数", s.m_useSeven) + " | " + Switch("四参数", s.m_useFour);
    if (s.m_zoneChange == 2) {
        text += " | 换带 " + Degrees(before.centralMeridian) + " → " +
                Degrees(s.m_params.m_projAfter.centralMeridian);
    }
    if (s.m_heights.enabled) {
        const std::string model = HeightsModelText(s.m_heights);
        text += " | 高程拟合: " + (model.empty() ? std::string("无模型") : model);
    }
    return text;
}
