#include "params/CommonHeightFit.h"

#include <cmath>

#include "geodesy/GeoidGrid.h"
#include "session/ConversionSession.h"

namespace {

bool English(TextLanguage language) { return language == TextLanguage::English; }

std::string Where(const std::vector<CommonHeight>& points, int row, TextLanguage language) {
    const CommonHeight& p = points[static_cast<std::size_t>(row)];
    return PointPlace(p.id, p.line, row, language);
}

std::string FailureMessage(const HeightFit& fit, HeightSurface surface,
                           const std::vector<CommonHeight>& points, const std::string& geoid,
                           TextLanguage language) {
    const bool en = English(language);
    const std::string name = SurfaceName(surface, language);
    switch (fit.status) {
        case HeightStatus::TooFewPoints: {
            int used = 0;
            for (const CommonHeight& p : points) used += p.used ? 1 : 0;
            const int need = SurfaceUnknowns(surface);
            const std::string n = std::to_string(need), u = std::to_string(used);
            std::string out =
                en ? "a " + name + " surface needs at least " + n +
                         (need == 1 ? " point" : " points") + " marked as used; there " +
                         (used == 1 ? "is " : "are ") + u
                   : "拟合" + name + "至少需要 " + n + " 个参与计算的点，现有 " + u + " 个";
            if (surface == HeightSurface::Quadric) {
                out += en ? " (six at the least, better ten or more spread over the area)"
                          : "（至少 6 个，最好 10 个以上且分布均匀）";
            }
            return out;
        }
        case HeightStatus::SingularGeometry:
            if (surface == HeightSurface::Plane) {
                return en ? "the used points lie on one line, or nearly so: they do not fix a "
                            "tilted plane; add points off that line or fit a constant"
                          : "参与计算的点在一条直线上或接近一条直线，不能确定平面，"
                            "请增加直线外的点或改用常数拟合";
            }
            return en ? "the used points do not fix a " + name +
                            " surface: they lie on one line, or on two, or nearly so; add "
                            "points spread over the area or fit a plane"
                      : "参与计算的点不能确定" + name +
                            "：这些点在一条或两条直线上或接近直线，请增加分布均匀的点或改用平面拟合";
        case HeightStatus::OutOfRange:
            return Where(points, fit.first, language) +
                   (en ? ": the values are out of range" : "：数据超出范围");
        case HeightStatus::OutsideGeoid:
            return Where(points, fit.first, language) +
                   (en ? ": the point lies outside the geoid " + geoid
                       : "：点在大地水准面 " + geoid + " 的范围以外");
        case HeightStatus::NoGeoid:
            return en ? "the geoid " + geoid + " is not loaded" : "未载入大地水准面 " + geoid;
        case HeightStatus::Solved:
            break;
    }
    return {};
}

}  // namespace

const char* SurfaceKey(HeightSurface surface) {
    return surface == HeightSurface::Constant ? "constant"
           : surface == HeightSurface::Plane  ? "plane"
                                              : "quadric";
}

std::string SurfaceName(HeightSurface surface, TextLanguage language) {
    if (English(language)) return SurfaceKey(surface);
    return surface == HeightSurface::Constant ? "常数"
           : surface == HeightSurface::Plane  ? "平面"
                                              : "二次曲面";
}

bool ComputeHeightFit(const std::vector<CommonHeight>& points, const HeightFitRequest& request,
                      const ConversionParams& settings, const GeoidGrid* geoid,
                      TextLanguage language, CommonHeightFit* result, FitProblem* problem) {
    const bool en = English(language);
    *problem = FitProblem();
    double a = 0, rf = 0;
    if (!CGeoCore::DatumTable(request.datum, &a, &rf)) {
        problem->message = en ? "choose the datum of the points" : "请选择公共点的椭球基准";
        return false;
    }
    if (!CheckFitOptions(request.tolerance, request.alpha, language, problem)) return false;
    std::vector<std::pair<std::string, int>> names;
    for (const CommonHeight& p : points) names.emplace_back(p.id, p.line);
    if (!CheckTableNames(names, language, problem)) return false;
    const bool onGeoid = !request.geoid.empty();
    std::vector<HeightPoint> read(points.size());
    const CGeoCore geo;
    for (std::size_t r = 0; r < points.size(); ++r) {
        HeightRowValues v;
        int field = 0;
        if (!ReadHeightRow(points[r], static_cast<int>(r), request.positions, language, &v, &field,
                           &problem->message)) {
            problem->row = static_cast<int>(r);
            problem->field = field;
            return false;
        }
        HeightPoint& p = read[r];
        if (request.positions == HeightPositions::Geodetic) {
            p.B = v.position[0], p.L = v.position[1];
        } else {
            double H = 0;
            geo.PlaneToGeodetic(a, rf, v.position[0], v.position[1], 0, settings, &p.B, &p.L, &H);
        }
        p.h = v.h, p.H = v.H;
        p.used = points[r].used;
    }
    HeightFit fit = FitHeights(request.surface, onGeoid, read, geoid, request.tolerance,
                               request.alpha);
    if (!fit.Solved()) {
        problem->message = FailureMessage(fit, request.surface, points, request.geoid, language);
        problem->row = fit.first;
        return false;
    }
    result->request = request;
    result->points = points;
    result->read = std::move(read);
    result->fit = std::move(fit);
    return true;
}

void ApplyHeightFit(const CommonHeightFit& result, ConversionSession& session) {
    session.m_heights.model = result.fit.model;
    session.m_heights.geoid = result.request.geoid;
    session.m_heights.enabled = true;
}
