#include "params/FitReport.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string_view>
#include <vector>

#include "io/AtomicFile.h"
#include "io/FileException.h"

namespace {

bool English(TextLanguage language) { return language == TextLanguage::English; }

// Columns a text takes in a fixed-width font: East Asian wide characters two.
int DisplayWidth(std::string_view s) {
    int width = 0;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        unsigned cp = c;
        int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : 3;
        if (extra > 0) cp = c & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < s.size(); ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        i += static_cast<std::size_t>(extra) + 1;
        const bool wide = (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
                          (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
                          (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
                          (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x20000 && cp <= 0x3FFFD);
        width += wide ? 2 : 1;
    }
    return width;
}

std::string PadRight(const std::string& s, int width) {
    return s + std::string(static_cast<std::size_t>(std::max(0, width - DisplayWidth(s))), ' ');
}

std::string PadLeft(const std::string& s, int width) {
    return std::string(static_cast<std::size_t>(std::max(0, width - DisplayWidth(s))), ' ') + s;
}

std::string Fixed(double v, int decimals) {
    // No "-0.0000": a residual that rounds to zero shows unsigned.
    std::string out = FormatFixed(v + 0.0, decimals);
    if (out[0] == '-' && out.find_first_not_of("-0.") == std::string::npos) out.erase(0, 1);
    return out;
}

// Shortest text that reads back to the same double.
std::string JsonNumber(double v) {
    char text[64];
    const auto r = std::to_chars(text, text + sizeof text, v + 0.0);
    return std::string(text, r.ptr);
}

std::string JsonString(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned>(c));
            out += esc;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

struct Parameter {
    const char* json;
    const char* english;
    const char* chinese;
    double unit;  // the reported unit in internal units: reported = value / unit
    int decimals;
};

// The reported parameters of a model.
std::vector<Parameter> Parameters(FitModel model) {
    const double s = kRadiansPerArcSecond;
    switch (model) {
        case FitModel::Seven:
            return {{"dX", "dX (m)", "dX（米）", 1, 6},   {"dY", "dY (m)", "dY（米）", 1, 6},
                    {"dZ", "dZ (m)", "dZ（米）", 1, 6},   {"rX", "rX (\")", "rX（秒）", s, 6},
                    {"rY", "rY (\")", "rY（秒）", s, 6},  {"rZ", "rZ (\")", "rZ（秒）", s, 6},
                    {"m", "m (ppm)", "m（ppm）", kPpm, 6}};
        case FitModel::Four:
            return {{"Xo", "Xo (m)", "Xo（米）", 1, 6},
                    {"Yo", "Yo (m)", "Yo（米）", 1, 6},
                    {"T", "T (\")", "T（秒）", s, 6},
                    {"K", "K", "K", 1, 12}};
        case FitModel::Three:
            break;
    }
    return {{"dX", "dX (m)", "dX（米）", 1, 6},
            {"dY", "dY (m)", "dY（米）", 1, 6},
            {"dZ", "dZ (m)", "dZ（米）", 1, 6}};
}

const char* ModelTitle(FitModel model, TextLanguage language) {
    const bool en = English(language);
    switch (model) {
        case FitModel::Seven:
            return en ? "Seven parameters" : "七参数";
        case FitModel::Four:
            return en ? "Four parameters" : "四参数";
        case FitModel::Three:
            break;
    }
    return en ? "Three parameters" : "三参数";
}

const char* ModelKey(FitModel model) {
    return model == FitModel::Seven ? "seven" : model == FitModel::Four ? "four" : "three";
}

}  // namespace

std::string DatumName(int datum, TextLanguage language) {
    static const char* const kEnglish[] = {"Beijing-54", "National-80", "WGS-84", "WGS-72",
                                           "CGCS2000"};
    static const char* const kChinese[] = {"北京-54坐标系", "国家-80坐标系", "WGS-84坐标系",
                                           "WGS-72坐标系", "CGCS2000坐标系"};
    if (datum < 0 || datum >= kDatumCount) return "?";
    return English(language) ? kEnglish[datum] : kChinese[datum];
}

std::string KindName(int kind, TextLanguage language) {
    static const char* const kEnglish[] = {"space rectangular coordinates", "geodetic coordinates",
                                           "plane coordinates"};
    static const char* const kChinese[] = {"空间直角坐标", "大地坐标", "平面坐标"};
    if (kind < 0 || kind > 2) return "?";
    return English(language) ? kEnglish[kind] : kChinese[kind];
}

std::string FitReportText(const CommonPointFit& result, TextLanguage language) {
    const bool en = English(language);
    const ParameterFit& fit = result.fit;
    const FitRequest& req = result.request;
    const std::string used = std::to_string(fit.usedPoints);
    const int checks = static_cast<int>(result.points.size()) - fit.usedPoints;
    std::string out;
    auto line = [&out](const std::string& text) { out += text + "\n"; };

    line(std::string(ModelTitle(req.model, language)) +
         (en ? " from " + used + (fit.usedPoints == 1 ? " common point" : " common points") +
                   ", least squares"
             : "（" + used + " 个公共点，最小二乘）"));
    line((en ? "Source: " : "源：") + KindName(req.sourceKind, language) + (en ? ", " : "，") +
         DatumName(req.sourceDatum, language));
    line((en ? "Target: " : "目标：") + KindName(req.targetKind, language) + (en ? ", " : "，") +
         DatumName(req.targetDatum, language));
    const std::string obs = std::to_string(fit.observations), unk = std::to_string(fit.unknowns),
                      red = std::to_string(fit.redundancy);
    line(en ? "Observations " + obs + ", unknowns " + unk + ", redundancy " + red
            : "观测数 " + obs + "，未知数 " + unk + "，多余观测数 " + red);
    if (fit.sigma0) {
        line((en ? "σ0 = " : "单位权中误差 σ0 = ") + Fixed(*fit.sigma0, 4) + (en ? " m" : " 米"));
    } else {
        line(en ? "σ0: none (redundancy 0)" : "单位权中误差 σ0：无（多余观测数为 0）");
    }
    if (fit.tolerance) {
        const bool given = req.tolerance.has_value();
        line((en ? "Tolerance " : "限差 ") + Fixed(*fit.tolerance, 4) +
             (en      ? given ? " m (given)" : " m (3 σ0)"
              : given ? " 米（指定）"
                      : " 米（3σ0）"));
    } else {
        line(en ? "Tolerance: none (no σ0 and none given); no point is flagged"
                : "限差：无（没有 σ0，也未指定），不标记超限点");
    }
    out += "\n";

    const std::vector<Parameter> params = Parameters(req.model);
    const int nameWidth = 12, valueWidth = 20;
    line(PadRight(en ? "Parameter" : "参数", nameWidth) + PadLeft(en ? "Value" : "值", valueWidth) +
         PadLeft(en ? "Std. dev." : "中误差", valueWidth));
    for (std::size_t i = 0; i < params.size(); ++i) {
        const Parameter& p = params[i];
        const std::string dev =
            fit.sigma0 ? Fixed(fit.deviations[i] / p.unit, p.decimals) : std::string("-");
        line(PadRight(en ? p.english : p.chinese, nameWidth) +
             PadLeft(Fixed(fit.parameters[i] / p.unit, p.decimals), valueWidth) +
             PadLeft(dev, valueWidth));
    }
    out += "\n";

    const bool four = req.model == FitModel::Four;
    int idWidth = 14;
    for (const CommonPoint& p : result.points) idWidth = std::max(idWidth, DisplayWidth(p.id) + 2);
    const int columns = four ? 2 : 3, colWidth = 11;
    std::string header = PadRight(en ? "Residuals (m)" : "残差（米）", idWidth);
    static const char* const kEnglishAxes[2][3] = {{"north", "east", "up"}, {"x", "y", ""}};
    static const char* const kChineseAxes[2][3] = {{"北", "东", "高"}, {"x", "y", ""}};
    for (int c = 0; c < columns; ++c) {
        header += PadLeft(en ? kEnglishAxes[four][c] : kChineseAxes[four][c], colWidth);
    }
    line(header + PadLeft(en ? "norm" : "长度", colWidth));
    bool anyFlagged = false;
    for (int pass = 0; pass < 2; ++pass) {
        const bool wantUsed = pass == 0;
        const int count = wantUsed ? fit.usedPoints : checks;
        if (count == 0) continue;
        const std::string n = std::to_string(count);
        line(wantUsed ? (en ? "Used points (" + n + ")" : "参与计算的点（" + n + " 个）")
                      : (en ? "Check points (" + n + ")" : "检查点（" + n + " 个）"));
        for (std::size_t i = 0; i < result.points.size(); ++i) {
            if (result.points[i].used != wantUsed) continue;
            const PointResidual& r = fit.residuals[i];
            std::string row = PadRight(result.points[i].id, idWidth);
            for (int c = 0; c < columns; ++c) row += PadLeft(Fixed(r.v[c], 4), colWidth);
            row += PadLeft(Fixed(r.norm, 4), colWidth);
            if (r.flagged) {
                row += "  *";
                anyFlagged = true;
            }
            line(row);
        }
    }
    if (anyFlagged) {
        line(en ? "* residual beyond the tolerance" : "* 残差超出限差");
    }
    return out;
}

bool WriteFitReport(const std::string& path, const CommonPointFit& result, std::string* error) {
    const std::string text = FitReportText(result, TextLanguage::Chinese);
    try {
        CAtomicFile::WriteWhole(path, text);
    } catch (const CFileException& e) {
        *error = "无法保存报告。" + e.GetErrorMessage();
        return false;
    }
    return true;
}

std::string FormatFitMetres(double metres) { return Fixed(metres, 4); }

std::string FitSummaryText(const CommonPointFit& result, TextLanguage language) {
    const bool en = English(language);
    const ParameterFit& fit = result.fit;
    const int checks = static_cast<int>(result.points.size()) - fit.usedPoints;
    int flagged = 0;
    for (const PointResidual& r : fit.residuals) flagged += r.flagged ? 1 : 0;
    std::string out = std::string(ModelTitle(result.request.model, language)) +
                      (en ? ": " + std::to_string(fit.usedPoints) + " used, " +
                                std::to_string(checks) + " check points; "
                          : "：" + std::to_string(fit.usedPoints) + " 个点参与计算，" +
                                std::to_string(checks) + " 个检查点；");
    if (!fit.sigma0) {
        return out + (en ? "σ0: none (redundancy 0)" : "单位权中误差 σ0：无（多余观测数为 0）");
    }
    out += (en ? "σ0 = " : "单位权中误差 σ0 = ") + Fixed(*fit.sigma0, 4) + (en ? " m; " : " 米；");
    if (fit.tolerance) {
        const bool given = result.request.tolerance.has_value();
        out += (en ? "tolerance " : "限差 ") + Fixed(*fit.tolerance, 4) +
               (en      ? given ? " m (given)" : " m (3 σ0)"
                : given ? " 米（指定）"
                        : " 米（3σ0）");
    }
    const std::string n = std::to_string(flagged);
    return out + (en ? "; " + n + (flagged == 1 ? " point" : " points") + " beyond it"
                     : "，超限 " + n + " 个点");
}

std::string FitParameterText(const CommonPointFit& result, TextLanguage language) {
    const bool en = English(language);
    const ParameterFit& fit = result.fit;
    const std::vector<Parameter> params = Parameters(result.request.model);
    // Short names and units; the rotations (T for four) and the scale start
    // lines of their own.
    struct Shown {
        const char* name;
        const char* unitEn;
        const char* unitZh;
    };
    static const Shown kSeven[] = {{"dX", "m", "米"},  {"dY", "m", "米"},  {"dZ", "m", "米"},
                                   {"rX", "\"", "秒"}, {"rY", "\"", "秒"}, {"rZ", "\"", "秒"},
                                   {"m", "ppm", "ppm"}};
    static const Shown kFour[] = {
        {"Xo", "m", "米"}, {"Yo", "m", "米"}, {"T", "\"", "秒"}, {"K", "", ""}};
    const Shown* shown = result.request.model == FitModel::Four ? kFour : kSeven;
    const std::size_t lineEnds[] = {result.request.model == FitModel::Four ? 2u : 3u, 6u};
    std::string out;
    for (std::size_t i = 0; i < params.size(); ++i) {
        const Parameter& p = params[i];
        if (i > 0) out += i == lineEnds[0] || i == lineEnds[1] ? "\n" : "    ";
        const std::string unit = en ? shown[i].unitEn : shown[i].unitZh;
        out += std::string(shown[i].name) + " = " + Fixed(fit.parameters[i] / p.unit, p.decimals);
        if (!unit.empty()) out += " " + unit;
        if (fit.sigma0) out += " ±" + Fixed(fit.deviations[i] / p.unit, p.decimals);
    }
    return out + "\n";
}

std::string FitReportJson(const CommonPointFit& result) {
    const ParameterFit& fit = result.fit;
    const FitModel model = result.request.model;
    std::string out = "{\"model\": \"" + std::string(ModelKey(model)) +
                      "\", \"used\": " + std::to_string(fit.usedPoints) + ", \"sigma0\": " +
                      (fit.sigma0 ? JsonNumber(*fit.sigma0) : std::string("null")) +
                      ", \"parameters\": {";
    const std::vector<Parameter> params = Parameters(model);
    for (std::size_t i = 0; i < params.size(); ++i) {
        if (i > 0) out += ", ";
        out += "\"" + std::string(params[i].json) +
               "\": " + JsonNumber(fit.parameters[i] / params[i].unit);
    }
    out += "}, \"points\": [";
    const bool four = model == FitModel::Four;
    for (std::size_t i = 0; i < result.points.size(); ++i) {
        const PointResidual& r = fit.residuals[i];
        if (i > 0) out += ", ";
        out += "{\"id\": " + JsonString(result.points[i].id) +
               ", \"used\": " + (result.points[i].used ? "true" : "false") + ", \"residual\": {";
        if (four) {
            out += "\"x\": " + JsonNumber(r.v[0]) + ", \"y\": " + JsonNumber(r.v[1]);
        } else {
            out += "\"north\": " + JsonNumber(r.v[0]) + ", \"east\": " + JsonNumber(r.v[1]) +
                   ", \"up\": " + JsonNumber(r.v[2]);
        }
        out += std::string("}, \"flagged\": ") + (r.flagged ? "true" : "false") + "}";
    }
    return out + "]}\n";
}
