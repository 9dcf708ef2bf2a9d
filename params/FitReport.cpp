#include "params/FitReport.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string_view>
#include <vector>

#include "io/AtomicFile.h"
#include "io/FileException.h"
#include "params/ReportText.h"

using report::ColumnWidths;
using report::Fixed;
using report::JsonNumber;
using report::JsonString;
using report::Percent;
using report::Row;
#include "session/UserDatums.h"

namespace {

bool English(TextLanguage language) { return language == TextLanguage::English; }

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
    if (datum < 0 || datum >= kDatumCount) return DatumListName(datum);
    return English(language) ? kEnglish[datum] : kChinese[datum];
}

std::string KindName(int kind, TextLanguage language) {
    static const char* const kEnglish[] = {"space rectangular coordinates", "geodetic coordinates",
                                           "plane coordinates"};
    static const char* const kChinese[] = {"空间直角坐标", "大地坐标", "平面坐标"};
    if (kind < 0 || kind > 2) return "?";
    return English(language) ? kEnglish[kind] : kChinese[kind];
}

std::string FitTestText(const CommonPointFit& result, TextLanguage language) {
    const ParameterFit& fit = result.fit;
    report::TestFacts facts;
    facts.testable = fit.testable;
    facts.sigma0 = fit.sigma0;
    facts.redundancy = fit.redundancy;
    facts.dimension = fit.dimension;
    facts.alpha = fit.alpha;
    facts.criticalUsed = fit.criticalUsed;
    facts.criticalCheck = fit.criticalCheck;
    facts.checkPoints = fit.usedPoints < static_cast<int>(result.points.size());
    return report::TestLine(facts, language);
}

std::vector<std::string> FitWarnings(const CommonPointFit& result, TextLanguage language) {
    const bool en = English(language);
    const ParameterFit& fit = result.fit;
    const FitGeometry& g = fit.geometry;
    std::vector<std::string> out;
    std::string extent = Fixed(g.extent[0] / 1000, 3) + " × " + Fixed(g.extent[1] / 1000, 3);
    std::string line = en ? "Extent of the used points " + extent + " km"
                          : "参与计算的点的范围 " + extent + " 公里";
    if (fit.sigma0) {
        line += en ? "; a transformed point is known to " + Fixed(g.centreDeviation, 4) +
                         " m at the centre, " + Fixed(g.edgeDeviation, 4) + " m at the edge"
                   : "；换算点的预计中误差：中心 " + Fixed(g.centreDeviation, 4) + " 米，边缘 " +
                         Fixed(g.edgeDeviation, 4) + " 米";
    }
    out.push_back(line);
    if (g.nearCollinear) {
        const std::string ratio = Fixed(g.ratio, 3);
        out.push_back(en ? "Warning: the used points lie nearly on one line on the map (width "
                           "to length " +
                               ratio +
                               ", below 0.1); points away from that line are transformed "
                               "poorly"
                         : "警告：参与计算的点在图上接近一条直线（宽长比 " + ratio +
                               "，小于 0.1），远离该直线的点换算不准");
    }
    if (g.nearFirst >= 0) {
        const std::string a = result.points[static_cast<std::size_t>(g.nearFirst)].id;
        const std::string b = result.points[static_cast<std::size_t>(g.nearSecond)].id;
        const std::string dist = Fixed(g.nearDistance, 3);
        out.push_back(en ? "Warning: " + a + " and " + b + " are only " + dist +
                               " m apart on the map: together they check little more than one "
                               "point"
                         : "警告：" + a + " 与 " + b + " 在图上仅相距 " + dist +
                               " 米，两点的检核作用几乎只相当于一个点");
    }
    if (fit.poorlyChecked > 0)
        out.push_back(report::PoorlyCheckedLine(result.points, fit.residuals, language));
    return out;
}

std::vector<std::vector<std::string>> ResidualTable(const CommonPointFit& result,
                                                    TextLanguage language) {
    const bool en = English(language);
    const ParameterFit& fit = result.fit;
    const bool four = result.request.model == FitModel::Four;
    const int columns = four ? 2 : 3;
    static const char* const kEnglishAxes[2][3] = {{"north", "east", "up"}, {"x", "y", ""}};
    static const char* const kChineseAxes[2][3] = {{"北", "东", "高"}, {"x", "y", ""}};
    std::vector<std::vector<std::string>> rows(1);
    rows[0].push_back(en ? "Residuals (m)" : "残差（米）");
    for (int c = 0; c < columns; ++c) {
        rows[0].push_back(en ? kEnglishAxes[four][c] : kChineseAxes[four][c]);
    }
    rows[0].push_back(en ? "norm" : "长度");
    rows[0].push_back(en ? "r min" : "r 最小");
    rows[0].push_back("τ²");
    for (std::size_t i = 0; i < result.points.size(); ++i) {
        const PointResidual& r = fit.residuals[i];
        std::vector<std::string> row = {result.points[i].id};
        for (int c = 0; c < columns; ++c) row.push_back(Fixed(r.v[c], 4));
        row.push_back(Fixed(r.norm, 4));
        if (result.points[i].used) {
            row.push_back(Fixed(*std::min_element(r.redundancy, r.redundancy + columns), 2));
        } else {
            row.push_back("-");
        }
        row.push_back(r.statistic ? Fixed(*r.statistic, 2) : std::string("-"));
        row.push_back(report::Marks(r.failsTest, r.beyondTolerance, r.poorlyChecked));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string FitReportText(const CommonPointFit& result, TextLanguage language) {
    const bool en = English(language);
    const ParameterFit& fit = result.fit;
    const FitRequest& req = result.request;
    const std::string used = std::to_string(fit.usedPoints);
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
    line(FitTestText(result, language));
    if (fit.tolerance) {
        line((en ? "Tolerance " : "限差 ") + Fixed(*fit.tolerance, 4) +
             (en ? " m (given)" : " 米（指定）"));
    }
    for (const std::string& w : FitWarnings(result, language)) line(w);
    out += "\n";

    const std::vector<Parameter> params = Parameters(req.model);
    std::vector<std::vector<std::string>> rows;
    rows.push_back({en ? "Parameter" : "参数", en ? "Value" : "值", en ? "Std. dev." : "中误差"});
    for (std::size_t i = 0; i < params.size(); ++i) {
        const Parameter& p = params[i];
        rows.push_back({en ? p.english : p.chinese, Fixed(fit.parameters[i] / p.unit, p.decimals),
                        fit.sigma0 ? Fixed(fit.deviations[i] / p.unit, p.decimals)
                                   : std::string("-")});
    }
    const std::vector<int> widths = ColumnWidths(rows, {12, 20, 20});
    for (const std::vector<std::string>& r : rows) line(Row(r, widths));
    out += "\n";

    // The residual table: every column as wide as its widest entry.
    std::vector<bool> usedFlags;
    for (const CommonPoint& p : result.points) usedFlags.push_back(p.used);
    return out + report::ResidualSection(ResidualTable(result, language), usedFlags,
                                         {14, 11, 11, 11, 11, 11, 11}, language);
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

std::string FormatFitFixed(double value, int decimals) { return Fixed(value, decimals); }

std::string FitSummaryText(const CommonPointFit& result, TextLanguage language) {
    const bool en = English(language);
    const ParameterFit& fit = result.fit;
    const int checks = static_cast<int>(result.points.size()) - fit.usedPoints;
    int failing = 0, beyond = 0;
    for (const PointResidual& r : fit.residuals) {
        failing += r.failsTest ? 1 : 0;
        beyond += r.beyondTolerance ? 1 : 0;
    }
    std::string out = std::string(ModelTitle(result.request.model, language)) +
                      (en ? ": " + std::to_string(fit.usedPoints) + " used, " +
                                std::to_string(checks) + " check points; "
                          : "：" + std::to_string(fit.usedPoints) + " 个点参与计算，" +
                                std::to_string(checks) + " 个检查点；");
    if (!fit.sigma0) {
        return out + (en ? "σ0: none (redundancy 0)" : "单位权中误差 σ0：无（多余观测数为 0）");
    }
    out += (en ? "σ0 = " : "单位权中误差 σ0 = ") + Fixed(*fit.sigma0, 4) + (en ? " m; " : " 米；");
    if (fit.testable) {
        const std::string n = std::to_string(failing);
        out += en ? "τ-test at α = " + Percent(fit.alpha) + ": " + n +
                        (failing == 1 ? " point fails" : " points fail")
                  : "τ 检验（α = " + Percent(fit.alpha) + "）未通过 " + n + " 个点";
    } else {
        out += en ? "no test: the redundancy is too small to find a blunder"
                  : "多余观测太少，无法检验粗差";
    }
    if (fit.tolerance) {
        const std::string n = std::to_string(beyond);
        out += en ? "; tolerance " + Fixed(*fit.tolerance, 4) + " m: " + n + " beyond it"
                  : "；限差 " + Fixed(*fit.tolerance, 4) + " 米，超限 " + n + " 个点";
    }
    return out;
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
    const bool four = model == FitModel::Four;
    auto number = [](std::optional<double> v) {
        return v ? JsonNumber(*v) : std::string("null");
    };
    auto boolean = [](bool b) { return std::string(b ? "true" : "false"); };
    // The components of a residual-sized triple, by the axes of the model.
    auto components = [four](const double* v) {
        return four ? "{\"x\": " + JsonNumber(v[0]) + ", \"y\": " + JsonNumber(v[1]) + "}"
                    : "{\"north\": " + JsonNumber(v[0]) + ", \"east\": " + JsonNumber(v[1]) +
                          ", \"up\": " + JsonNumber(v[2]) + "}";
    };
    std::string out = "{\"model\": \"" + std::string(ModelKey(model)) +
                      "\", \"used\": " + std::to_string(fit.usedPoints) +
                      ", \"observations\": " + std::to_string(fit.observations) +
                      ", \"unknowns\": " + std::to_string(fit.unknowns) +
                      ", \"redundancy\": " + std::to_string(fit.redundancy) +
                      ", \"sigma0\": " + number(fit.sigma0) + ", \"parameters\": {";
    const std::vector<Parameter> params = Parameters(model);
    for (std::size_t i = 0; i < params.size(); ++i) {
        if (i > 0) out += ", ";
        out += "\"" + std::string(params[i].json) +
               "\": " + JsonNumber(fit.parameters[i] / params[i].unit);
    }
    out += "}, \"deviations\": ";
    if (fit.sigma0) {
        out += "{";
        for (std::size_t i = 0; i < params.size(); ++i) {
            if (i > 0) out += ", ";
            out += "\"" + std::string(params[i].json) +
                   "\": " + JsonNumber(fit.deviations[i] / params[i].unit);
        }
        out += "}";
    } else {
        out += "null";
    }
    out += ", \"test\": {\"method\": \"Pope tau\", \"alpha\": " + JsonNumber(fit.alpha) +
           ", \"dimension\": " + std::to_string(fit.dimension) +
           ", \"testable\": " + boolean(fit.testable) + ", \"critical\": " +
           (fit.testable ? JsonNumber(fit.criticalUsed) : "null") + ", \"checkCritical\": " +
           (fit.testable ? JsonNumber(fit.criticalCheck) : "null") + "}";
    out += ", \"tolerance\": " + number(fit.tolerance);
    const FitGeometry& g = fit.geometry;
    out += ", \"geometry\": {\"extent\": [" + JsonNumber(g.extent[0]) + ", " +
           JsonNumber(g.extent[1]) + "], \"ratio\": " + JsonNumber(g.ratio) +
           ", \"centreDeviation\": " + (fit.sigma0 ? JsonNumber(g.centreDeviation) : "null") +
           ", \"edgeDeviation\": " + (fit.sigma0 ? JsonNumber(g.edgeDeviation) : "null") + "}";
    out += ", \"warnings\": [";
    bool firstWarning = true;
    auto warning = [&](const char* kind, const std::string& message) {
        out += std::string(firstWarning ? "" : ", ") + "{\"kind\": \"" + kind +
               "\", \"message\": " + JsonString(message) + "}";
        firstWarning = false;
    };
    const std::vector<std::string> texts = FitWarnings(result, TextLanguage::English);
    std::size_t t = 1;  // texts[0] is the extent
    if (g.nearCollinear) warning("near-collinear", texts[t++]);
    if (g.nearFirst >= 0) warning("near-coincident", texts[t++]);
    if (fit.poorlyChecked > 0) warning("poorly-checked", texts[t++]);
    if (!fit.testable) warning("no-test", FitTestText(result, TextLanguage::English));
    out += "], \"points\": [";
    for (std::size_t i = 0; i < result.points.size(); ++i) {
        const PointResidual& r = fit.residuals[i];
        const bool used = result.points[i].used;
        if (i > 0) out += ", ";
        out += "{\"id\": " + JsonString(result.points[i].id) + ", \"used\": " + boolean(used) +
               ", \"residual\": " + components(r.v) + ", \"norm\": " + JsonNumber(r.norm) +
               ", \"map\": {\"north\": " + JsonNumber(r.map[0]) +
               ", \"east\": " + JsonNumber(r.map[1]) + "}" +
               ", \"redundancy\": " + (used ? components(r.redundancy) : "null") +
               ", \"standardized\": " + (used && fit.sigma0 ? components(r.standardized) : "null") +
               ", \"statistic\": " + number(r.statistic) + ", \"flagged\": " + boolean(r.flagged) +
               ", \"failsTest\": " + boolean(r.failsTest) +
               ", \"beyondTolerance\": " + boolean(r.beyondTolerance) +
               ", \"poorlyChecked\": " + boolean(r.poorlyChecked) + "}";
    }
    return out + "]}\n";
}
