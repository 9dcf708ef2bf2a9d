#include "params/HeightFitReport.h"

#include <algorithm>

#include "geodesy/Constants.h"
#include "io/AtomicFile.h"
#include "io/FileException.h"
#include "params/FitReport.h"
#include "params/ReportText.h"

using report::ColumnWidths;
using report::Fixed;
using report::JsonNumber;
using report::JsonString;
using report::Percent;
using report::Row;

namespace {

bool English(TextLanguage language) { return language == TextLanguage::English; }

constexpr double kMm = 1000;  // millimetres a metre

std::string Mm(double metres) { return Fixed(metres * kMm, 1); }
std::string Km(double metres) { return Fixed(metres / 1000, 3); }

struct Coefficient {
    const char* name;
    const char* term;  // what it multiplies
};
constexpr Coefficient kCoefficients[6] = {{"a0", ""},     {"a1", "Δx"},   {"a2", "Δy"},
                                          {"a3", "Δx²"}, {"a4", "ΔxΔy"}, {"a5", "Δy²"}};

int Checks(const CommonHeightFit& r) {
    return static_cast<int>(r.points.size()) - r.fit.usedPoints;
}

// The larger side of the used points' bounding box and the margin, metres.
double Side(const HeightModel& m) {
    return std::max(m.extent[1] - m.extent[0], m.extent[3] - m.extent[2]) * m.scale;
}

std::string PositionsText(const CommonHeightFit& r, TextLanguage language) {
    const bool en = English(language);
    const std::string datum = DatumName(r.request.datum, language);
    if (r.request.positions == HeightPositions::Geodetic) {
        return en ? "geodetic B, L of " + datum : datum + "大地坐标 B、L";
    }
    return en ? "plane x, y of " + datum + " (the project's projection)"
              : datum + "平面坐标 x、y（工程的投影）";
}

}  // namespace

std::string HeightTestText(const CommonHeightFit& result, TextLanguage language) {
    const HeightFit& fit = result.fit;
    report::TestFacts facts;
    facts.testable = fit.testable;
    facts.sigma0 = fit.sigma0;
    facts.redundancy = fit.redundancy;
    facts.dimension = 1;
    facts.alpha = fit.alpha;
    facts.criticalUsed = fit.criticalUsed;
    facts.criticalCheck = fit.criticalCheck;
    facts.checkPoints = Checks(result) > 0;
    return report::TestLine(facts, language);
}

std::vector<std::string> HeightFitWarnings(const CommonHeightFit& result, TextLanguage language) {
    const bool en = English(language);
    const HeightFit& fit = result.fit;
    const HeightModel& m = fit.model;
    std::vector<std::string> out;
    const std::string north = Km((m.extent[1] - m.extent[0]) * m.scale);
    const std::string east = Km((m.extent[3] - m.extent[2]) * m.scale);
    std::string line = en ? "Extent of the used points " + north + " km north × " + east +
                                " km east"
                          : "参与计算的点的范围：南北 " + north + " 公里 × 东西 " + east + " 公里";
    if (m.surface != HeightSurface::Constant) {
        const std::string margin = Km(kExtrapolationMargin * Side(m));
        line += en ? "; a point more than " + margin +
                         " km (10 % of the larger side) outside it is extrapolated"
                   : "；超出此范围 " + margin + " 公里（较长边的 10%）以外的点属外推";
    }
    out.push_back(line);
    if (fit.poorlyChecked > 0)
        out.push_back(report::PoorlyCheckedLine(result.points, fit.residuals, language));
    return out;
}

std::vector<std::vector<std::string>> HeightResidualTable(const CommonHeightFit& result,
                                                          TextLanguage language) {
    const bool en = English(language);
    const HeightFit& fit = result.fit;
    std::vector<std::vector<std::string>> rows(1);
    rows[0] = {en ? "Residuals (mm)" : "残差（毫米）", "v", "r", "τ²"};
    for (std::size_t i = 0; i < result.points.size(); ++i) {
        const HeightResidual& r = fit.residuals[i];
        std::vector<std::string> row = {result.points[i].id, Mm(r.v)};
        row.push_back(result.points[i].used ? Fixed(r.redundancy, 2) : std::string("-"));
        row.push_back(r.statistic ? Fixed(*r.statistic, 2) : std::string("-"));
        row.push_back(report::Marks(r.failsTest, r.beyondTolerance, r.poorlyChecked));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string HeightFitReportText(const CommonHeightFit& result, TextLanguage language) {
    const bool en = English(language);
    const HeightFit& fit = result.fit;
    const HeightModel& m = fit.model;
    const HeightFitRequest& req = result.request;
    std::string out;
    auto line = [&out](const std::string& text) { out += text + "\n"; };
    const std::string used = std::to_string(fit.usedPoints);
    const std::string surface = SurfaceName(m.surface, language);
    line(en ? "Height fitting: " + surface + " surface from " + used +
                  (fit.usedPoints == 1 ? " common point" : " common points") + ", least squares"
            : "高程拟合：" + surface + "（" + used + " 个公共点，最小二乘）");
    std::string zeta = en ? "ζ = h − H over " + PositionsText(result, language)
                          : "高程异常 ζ = h − H，位置为" + PositionsText(result, language);
    if (m.onGeoid) {
        zeta += en ? "; on the geoid " + req.geoid + ": ζ = N + surface"
                   : "；基于大地水准面 " + req.geoid + "：ζ = N + 拟合面";
    }
    line(zeta);
    const CGeoCore geo;
    const std::string B = geo.FormatDmsSigned(m.centroidB), L = geo.FormatDmsSigned(m.centroidL);
    line(en ? "Frame: centroid B " + B + " L " + L + "; Δx north, Δy east in units of " +
                  Km(m.scale) + " km"
            : "坐标框架：重心 B " + B + " L " + L + "；Δx 向北、Δy 向东，单位 " + Km(m.scale) +
                  " 公里");
    const std::string obs = std::to_string(fit.usedPoints), unk = std::to_string(fit.unknowns),
                      red = std::to_string(fit.redundancy);
    line(en ? "Observations " + obs + ", unknowns " + unk + ", redundancy " + red
            : "观测数 " + obs + "，未知数 " + unk + "，多余观测数 " + red);
    if (fit.sigma0) {
        line((en ? "σ0 = " : "单位权中误差 σ0 = ") + Mm(*fit.sigma0) + (en ? " mm" : " 毫米"));
    } else {
        line(en ? "σ0: none (redundancy 0)" : "单位权中误差 σ0：无（多余观测数为 0）");
    }
    line(HeightTestText(result, language));
    if (fit.tolerance) {
        line((en ? "Tolerance " : "限差 ") + Mm(*fit.tolerance) + (en ? " mm (given)" : " 毫米（指定）"));
    }
    for (const std::string& w : HeightFitWarnings(result, language)) line(w);
    out += "\n";

    std::vector<std::vector<std::string>> rows;
    rows.push_back({en ? "Coefficient" : "系数", en ? "Value (m)" : "值（米）",
                    en ? "Std. dev. (m)" : "中误差（米）"});
    for (int j = 0; j < fit.unknowns; ++j) {
        const std::string name = std::string(kCoefficients[j].name) +
                                 (j > 0 ? std::string(" ") + kCoefficients[j].term : "");
        rows.push_back({name, Fixed(m.coefficients[j], 4),
                        fit.sigma0 ? Fixed(fit.deviations[j], 4) : std::string("-")});
    }
    const std::vector<int> widths = ColumnWidths(rows, {12, 14, 16});
    for (const std::vector<std::string>& r : rows) line(Row(r, widths));
    out += "\n";

    std::vector<bool> usedFlags;
    for (const CommonHeight& p : result.points) usedFlags.push_back(p.used);
    return out + report::ResidualSection(HeightResidualTable(result, language), usedFlags,
                                         {16, 10, 8, 10}, language);
}

std::string HeightFitSummaryText(const CommonHeightFit& result, TextLanguage language) {
    const bool en = English(language);
    const HeightFit& fit = result.fit;
    int failing = 0, beyond = 0;
    for (const HeightResidual& r : fit.residuals) {
        failing += r.failsTest ? 1 : 0;
        beyond += r.beyondTolerance ? 1 : 0;
    }
    std::string out = (en ? "Height fitting, " : "高程拟合，") +
                      SurfaceName(fit.model.surface, language) +
                      (en ? ": " + std::to_string(fit.usedPoints) + " used, " +
                                std::to_string(Checks(result)) + " check points; "
                          : "：" + std::to_string(fit.usedPoints) + " 个点参与计算，" +
                                std::to_string(Checks(result)) + " 个检查点；");
    if (!fit.sigma0) {
        return out + (en ? "σ0: none (redundancy 0)" : "单位权中误差 σ0：无（多余观测数为 0）");
    }
    out += (en ? "σ0 = " : "单位权中误差 σ0 = ") + Mm(*fit.sigma0) + (en ? " mm; " : " 毫米；");
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
        out += en ? "; tolerance " + Mm(*fit.tolerance) + " mm: " + n + " beyond it"
                  : "；限差 " + Mm(*fit.tolerance) + " 毫米，超限 " + n + " 个点";
    }
    return out;
}

std::string HeightCoefficientText(const CommonHeightFit& result, TextLanguage language) {
    const bool en = English(language);
    const HeightFit& fit = result.fit;
    std::string out;
    for (int j = 0; j < fit.unknowns; ++j) {
        out += std::string(kCoefficients[j].name) + " = " + Fixed(fit.model.coefficients[j], 4) +
               (en ? " m" : " 米");
        if (fit.sigma0) out += " ±" + Fixed(fit.deviations[j], 4);
        out += "\n";
    }
    return out;
}

std::string HeightFitReportJson(const CommonHeightFit& result) {
    const HeightFit& fit = result.fit;
    const HeightModel& m = fit.model;
    const HeightFitRequest& req = result.request;
    auto boolean = [](bool b) { return std::string(b ? "true" : "false"); };
    auto mm = [](std::optional<double> v) {
        return v ? JsonNumber(*v * kMm) : std::string("null");
    };
    std::string out = "{\"model\": \"height\", \"surface\": \"" + std::string(SurfaceKey(m.surface)) +
                      "\", \"onGeoid\": " + boolean(m.onGeoid) + ", \"geoid\": " +
                      (req.geoid.empty() ? std::string("null") : JsonString(req.geoid)) +
                      ", \"positions\": \"" +
                      (req.positions == HeightPositions::Geodetic ? "geodetic" : "plane") +
                      "\", \"datum\": " + std::to_string(req.datum) +
                      ", \"used\": " + std::to_string(fit.usedPoints) +
                      ", \"checks\": " + std::to_string(Checks(result)) +
                      ", \"observations\": " + std::to_string(fit.usedPoints) +
                      ", \"unknowns\": " + std::to_string(fit.unknowns) +
                      ", \"redundancy\": " + std::to_string(fit.redundancy) +
                      ", \"unit\": \"mm\", \"sigma0\": " + mm(fit.sigma0);
    out += ", \"frame\": {\"centroidB\": " + JsonNumber(m.centroidB * kRadToDeg) +
           ", \"centroidL\": " + JsonNumber(m.centroidL * kRadToDeg) +
           ", \"scale\": " + JsonNumber(m.scale) +
           ", \"radius\": " + JsonNumber(kHeightFrameRadius) + "}";
    out += ", \"coefficients\": [";
    for (int j = 0; j < fit.unknowns; ++j) {
        if (j > 0) out += ", ";
        out += "{\"name\": \"" + std::string(kCoefficients[j].name) +
               "\", \"value\": " + JsonNumber(m.coefficients[j]) + ", \"deviation\": " +
               (fit.sigma0 ? JsonNumber(fit.deviations[j]) : std::string("null")) + "}";
    }
    out += "], \"test\": {\"method\": \"Pope tau\", \"alpha\": " + JsonNumber(fit.alpha) +
           ", \"dimension\": 1, \"testable\": " + boolean(fit.testable) + ", \"critical\": " +
           (fit.testable ? JsonNumber(fit.criticalUsed) : "null") + ", \"checkCritical\": " +
           (fit.testable ? JsonNumber(fit.criticalCheck) : "null") + "}";
    out += ", \"tolerance\": " + mm(fit.tolerance);
    out += ", \"extent\": {\"north\": [" + JsonNumber(m.extent[0] * m.scale) + ", " +
           JsonNumber(m.extent[1] * m.scale) + "], \"east\": [" +
           JsonNumber(m.extent[2] * m.scale) + ", " + JsonNumber(m.extent[3] * m.scale) +
           "], \"margin\": " +
           (m.surface == HeightSurface::Constant ? std::string("null")
                                                 : JsonNumber(kExtrapolationMargin * Side(m))) +
           "}";
    out += ", \"warnings\": [";
    bool firstWarning = true;
    auto warning = [&](const char* kind, const std::string& message) {
        out += std::string(firstWarning ? "" : ", ") + "{\"kind\": \"" + kind +
               "\", \"message\": " + JsonString(message) + "}";
        firstWarning = false;
    };
    const std::vector<std::string> texts = HeightFitWarnings(result, TextLanguage::English);
    if (fit.poorlyChecked > 0) warning("poorly-checked", texts[1]);
    if (!fit.testable) warning("no-test", HeightTestText(result, TextLanguage::English));
    out += "], \"points\": [";
    for (std::size_t i = 0; i < result.points.size(); ++i) {
        const HeightResidual& r = fit.residuals[i];
        const bool used = result.points[i].used;
        if (i > 0) out += ", ";
        out += "{\"id\": " + JsonString(result.points[i].id) + ", \"used\": " + boolean(used) +
               ", \"north\": " + JsonNumber(r.north) + ", \"east\": " + JsonNumber(r.east) +
               ", \"residual\": " + JsonNumber(r.v * kMm) +
               ", \"redundancy\": " + (used ? JsonNumber(r.redundancy) : "null") +
               ", \"standardized\": " +
               (used && fit.sigma0 && r.redundancy > 0 ? JsonNumber(r.standardized) : "null") +
               ", \"statistic\": " + (r.statistic ? JsonNumber(*r.statistic) : "null") +
               ", \"flagged\": " + boolean(r.flagged) + ", \"failsTest\": " +
               boolean(r.failsTest) + ", \"beyondTolerance\": " + boolean(r.beyondTolerance) +
               ", \"poorlyChecked\": " + boolean(r.poorlyChecked) + "}";
    }
    return out + "]}\n";
}

bool WriteHeightFitReport(const std::string& path, const CommonHeightFit& result,
                          std::string* error) {
    try {
        CAtomicFile::WriteWhole(path, HeightFitReportText(result, TextLanguage::Chinese));
    } catch (const CFileException& e) {
        *error = "无法保存报告。" + e.GetErrorMessage();
        return false;
    }
    return true;
}
