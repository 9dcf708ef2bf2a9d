#include "params/CommonPointFit.h"

#include <cmath>
#include <unordered_map>

#include "geodesy/Constants.h"
#include "params/PointFileText.h"
#include "params/ValueText.h"
#include "session/ConversionSession.h"

namespace {

constexpr double kRightAngle = 90 * kDegToRad;

bool English(TextLanguage language) { return language == TextLanguage::English; }

// The name of value i (0..2) of a side of `kind`.
std::string ValueName(int kind, int i, bool target, TextLanguage language) {
    static const char* const kEnglish[3][3] = {
        {"X", "Y", "Z"}, {"latitude", "longitude", "height"}, {"x", "y", "h"}};
    static const char* const kChinese[3][3] = {
        {"X", "Y", "Z"}, {"纬度", "经度", "大地高"}, {"x", "y", "h"}};
    if (English(language)) {
        return std::string(target ? "target " : "source ") + kEnglish[kind][i];
    }
    return std::string(target ? "目标" : "源") + kChinese[kind][i];
}

const char* ModelName(FitModel model, TextLanguage language) {
    const bool en = English(language);
    switch (model) {
        case FitModel::Seven:
            return en ? "seven parameters" : "七参数";
        case FitModel::Four:
            return en ? "four parameters" : "四参数";
        case FitModel::Three:
            break;
    }
    return en ? "three parameters" : "三参数";
}

std::string Where(const std::vector<CommonPoint>& points, int row, TextLanguage language) {
    const CommonPoint& p = points[static_cast<std::size_t>(row)];
    return PointPlace(p.id, p.line, row, language);
}

// The three values of a side of `kind`; the index of a value that cannot be
// read goes to *bad.
bool ReadValues(int kind, const std::string (&text)[3], double v[3], int* bad) {
    for (int i = 0; i < 3; ++i) {
        *bad = i;
        if (kind == kGeodeticKind && i < 2) {
            if (!ReadAngleText(text[i], &v[i])) return false;
            if (i == 0 && v[i] > kRightAngle) return false;
        } else if (!ReadNumberText(text[i], &v[i])) {
            return false;
        }
    }
    return true;
}

const std::string& SideText(const CommonPoint& p, int side, int i) {
    return side == 0 ? p.source[i] : p.target[i];
}

bool Ellipsoid(int datum, double* a, double* rf) { return CGeoCore::DatumTable(datum, a, rf); }

// A side as the estimator takes it: space rectangular (seven, three) or
// plane x, y (four).
void ToFitCoordinates(FitModel model, int kind, int datum, const ConversionParams& settings,
                      const double v[3], double out[3]) {
    static const CGeoCore geo;
    double a = 0, rf = 0;
    Ellipsoid(datum, &a, &rf);
    if (model != FitModel::Four) {
        if (kind == kSpaceKind) {
            for (int i = 0; i < 3; ++i) out[i] = v[i];
        } else if (kind == kGeodeticKind) {
            GeodeticSideToSpace(datum, v[0], v[1], v[2], out);
        } else {
            PlaneSideToSpace(settings, datum, v[0], v[1], v[2], out);
        }
        return;
    }
    if (kind == kPlaneKind) {
        for (int i = 0; i < 3; ++i) out[i] = v[i];
        return;
    }
    double B = v[0], L = v[1], H = v[2];
    if (kind == kSpaceKind) {
        geo.SpaceToGeodetic(a, rf, v[0], v[1], v[2], &B, &L, &H);
        if (L < 0) L += kHalfTurn;
    }
    // Projected as a conversion projects before any local level.
    ConversionParams p = settings;
    p.m_savedUseSeven = 0;
    p.m_savedUseFour = 0;
    p.m_targetEllipsoid[0] = a;
    p.m_targetEllipsoid[1] = rf;
    geo.GeodeticToPlaneChain(B, L, H, p, &out[0], &out[1], &out[2]);
}

std::string FailureMessage(const ParameterFit& fit, const std::vector<CommonPoint>& points,
                           const std::vector<FitPoint>& fitPoints, TextLanguage language) {
    const bool en = English(language);
    const std::string model = ModelName(fit.model, language);
    switch (fit.status) {
        case FitStatus::TooFewPoints: {
            int used = 0;
            for (const CommonPoint& p : points) used += p.used ? 1 : 0;
            const std::string need = std::to_string(MinimumPoints(fit.model));
            return en ? model + " need at least " + need + " points marked as used; there " +
                            (used == 1 ? "is " : "are ") + std::to_string(used)
                      : "计算" + model + "至少需要 " + need + " 个参与计算的公共点，现有 " +
                            std::to_string(used) + " 个";
        }
        case FitStatus::CoincidentPoints: {
            const FitPoint& a = fitPoints[static_cast<std::size_t>(fit.first)];
            const FitPoint& b = fitPoints[static_cast<std::size_t>(fit.second)];
            double d = 0;
            for (int i = 0; i < (fit.model == FitModel::Four ? 2 : 3); ++i) {
                d += (a.source[i] - b.source[i]) * (a.source[i] - b.source[i]);
            }
            const bool source = std::sqrt(d) < kCoincidentDistance;
            const std::string first = Where(points, fit.first, language);
            const std::string second = Where(points, fit.second, language);
            return en ? first + " and " + second + " coincide on the " +
                            (source ? "source" : "target") + " side (less than 1 mm apart)"
                      : first + "与" + second + "的" + (source ? "源" : "目标") +
                            "坐标重合（相距不到 1 毫米）";
        }
        case FitStatus::SingularGeometry:
            return en ? "the used points do not determine the " + model +
                            ": they lie on one line, or nearly so"
                      : "参与计算的公共点不能确定" + model + "：这些点在一条直线上或接近一条直线";
        case FitStatus::OutOfRange:
            return Where(points, fit.first, language) +
                   (en ? ": the values are out of range, or cannot be converted with these "
                         "settings"
                       : "：坐标超出范围，或无法按当前设置换算");
        case FitStatus::Solved:
            break;
    }
    return {};
}

}  // namespace

bool CheckFitOptions(std::optional<double> tolerance, double alpha, TextLanguage language,
                     FitProblem* problem) {
    const bool en = English(language);
    if (tolerance && !(*tolerance > 0 && std::isfinite(*tolerance))) {
        problem->message =
            en ? "the tolerance must be a positive number of metres" : "限差必须是大于零的米数";
        return false;
    }
    if (!(alpha >= 1e-9 && alpha < 0.5)) {
        problem->message = en ? "the significance level must be between 1e-9 and 0.5"
                              : "显著性水平必须在 1e-9 与 0.5 之间";
        return false;
    }
    return true;
}

bool CheckTableNames(const std::vector<std::pair<std::string, int>>& rows, TextLanguage language,
                     FitProblem* problem) {
    std::unordered_map<std::string, int> rowOfName;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto [known, fresh] = rowOfName.emplace(rows[r].first, static_cast<int>(r));
        if (fresh) continue;
        const int k = known->second;
        problem->row = static_cast<int>(r);
        const std::string first = PointPlace(rows[k].first, rows[k].second, k, language);
        const std::string second =
            PointPlace(rows[r].first, rows[r].second, static_cast<int>(r), language);
        problem->message = English(language) ? second + " has the name of " + first
                                             : second + "与" + first + "重名";
        return false;
    }
    return true;
}

void GeodeticSideToSpace(int datum, double B, double L, double H, double xyz[3]) {
    double a = 0, rf = 0;
    Ellipsoid(datum, &a, &rf);
    CGeoCore().GeodeticToSpace(a, rf, B, L, H, &xyz[0], &xyz[1], &xyz[2]);
}

void PlaneSideToSpace(const ConversionParams& settings, int datum, double x, double y, double h,
                      double xyz[3]) {
    double a = 0, rf = 0;
    Ellipsoid(datum, &a, &rf);
    const CGeoCore geo;
    double B, L, H;
    geo.PlaneToGeodetic(a, rf, x, y, h, settings, &B, &L, &H);
    geo.GeodeticToSpace(a, rf, B, L, H, &xyz[0], &xyz[1], &xyz[2]);
}

bool ComputeFit(const std::vector<CommonPoint>& points, const FitRequest& request,
                const ConversionParams& settings, TextLanguage language, CommonPointFit* result,
                FitProblem* problem) {
    const bool en = English(language);
    *problem = FitProblem();
    auto kindOk = [](int k) { return k >= 0 && k <= 2; };
    auto datumOk = [](int d) { return d >= 0 && d < kDatumCount; };
    if (!kindOk(request.sourceKind) || !kindOk(request.targetKind) ||
        !datumOk(request.sourceDatum) || !datumOk(request.targetDatum)) {
        problem->message = en ? "choose the coordinate kind and the datum of both sides"
                              : "请为两边选择坐标类型和椭球基准";
        return false;
    }
    if (!CheckFitOptions(request.tolerance, request.alpha, language, problem)) return false;
    std::vector<std::pair<std::string, int>> names;
    for (const CommonPoint& p : points) names.emplace_back(p.id, p.line);
    if (!CheckTableNames(names, language, problem)) return false;
    std::vector<FitPoint> fitPoints(points.size());
    for (std::size_t r = 0; r < points.size(); ++r) {
        const CommonPoint& p = points[r];
        double v[2][3];
        for (int side = 0; side < 2; ++side) {
            const int kind = side == 0 ? request.sourceKind : request.targetKind;
            const std::string(&text)[3] = side == 0 ? p.source : p.target;
            int bad = 0;
            if (ReadValues(kind, text, v[side], &bad)) continue;
            const std::string name = ValueName(kind, bad, side == 1, language);
            const bool angle = kind == kGeodeticKind && bad < 2;
            problem->row = static_cast<int>(r);
            problem->field = 3 * side + bad;
            const std::string where = Where(points, static_cast<int>(r), language);
            // A field of any length is quoted by its first 80 bytes.
            std::string shown = text[bad];
            if (shown.size() > 80) {
                std::size_t cut = 80;
                while (cut > 0 && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80) --cut;
                shown = shown.substr(0, cut) + "...";
            }
            if (en) {
                problem->message = where + ": the " + name + " '" + shown + "' is not " +
                                   (angle ? bad == 0 ? "a latitude as angle text DDD:MM:SS.ffff"
                                                     : "an angle text DDD:MM:SS.ffff"
                                          : "a number");
            } else {
                problem->message = where + "：" + name + "“" + shown + "”不是" +
                                   (angle ? "“度:分:秒”形式的角度（DDD:MM:SS.ffff）" : "数字");
            }
            return false;
        }
        for (int side = 0; side < 2; ++side) {
            const int kind = side == 0 ? request.sourceKind : request.targetKind;
            const int limited = kind == kSpaceKind ? 3 : kind == kPlaneKind ? 1 : 0;
            for (int i = 0; i < limited; ++i) {
                if (std::fabs(v[side][i]) <= kPhysicalLimit) continue;
                problem->row = static_cast<int>(r);
                problem->field = 3 * side + i;
                const std::string name = ValueName(kind, i, side == 1, language);
                const std::string where = Where(points, static_cast<int>(r), language);
                problem->message =
                    en ? where + ": the " + name + " " + SideText(p, side, i) +
                             " is beyond 10,000 km, farther than any point of the earth"
                       : where + "：" + name + " " + SideText(p, side, i) +
                             " 超过 10,000 公里，不可能是地球上的点";
                return false;
            }
        }
        FitPoint& f = fitPoints[r];
        ToFitCoordinates(request.model, request.sourceKind, request.sourceDatum, settings, v[0],
                         f.source);
        ToFitCoordinates(request.model, request.targetKind, request.targetDatum, settings, v[1],
                         f.target);
        f.used = p.used;
    }
    double a = 0, rf = 0;
    Ellipsoid(request.targetDatum, &a, &rf);
    ParameterFit fit = FitParameters(request.model, fitPoints, a, rf, request.tolerance, request.alpha);
    if (!fit.Solved()) {
        problem->message = FailureMessage(fit, points, fitPoints, language);
        problem->row = fit.status == FitStatus::CoincidentPoints ? fit.second : fit.first;
        return false;
    }
    result->request = request;
    result->points = points;
    result->fit = std::move(fit);
    return true;
}

void ApplyFit(const CommonPointFit& result, int level, ConversionSession& session) {
    ConversionParams& p = session.m_params;
    const double* v = result.fit.parameters;
    switch (result.request.model) {
        case FitModel::Seven:
        case FitModel::Three:
            for (int i = 0; i < 7; ++i)
                p.m_seven[i] = i < UnknownCount(result.request.model) ? v[i] : 0;
            session.m_useSeven = 1;
            p.m_savedUseSeven = 1;
            break;
        case FitModel::Four: {
            double* target = level == 2 ? p.m_local2 : p.m_local1;
            for (int i = 0; i < 4; ++i) target[i] = v[i];
            session.m_useFour = 1;
            p.m_savedUseFour = 1;
            break;
        }
    }
}
