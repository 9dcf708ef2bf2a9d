#include "session/SessionHeights.h"

#include <cmath>
#include <cstdint>
#include <utility>

#include "geodesy/GeoidGrid.h"

unsigned HeightAnomalyAt(const SessionHeights& heights, const GeoidGrid* grid, double B, double L,
                         double* zeta) {
    double value = 0;
    if (heights.model) {
        if (!heights.model->Anomaly(grid, B, L, &value)) return kHeightOutsideGeoid;
    } else if (grid == nullptr || !grid->Value(B, L, &value)) {
        return kHeightOutsideGeoid;
    }
    *zeta = value;
    return heights.model && heights.model->Extrapolates(B, L) ? kHeightExtrapolated : 0;
}

ProjectSection WriteHeightsSection(const SessionHeights& heights) {
    const HeightModel model = heights.model.value_or(HeightModel());
    SectionWriter w;
    w.Int(heights.enabled ? 1 : 0)
        .Int(heights.model ? 1 : 0)
        .Int(static_cast<std::int32_t>(model.surface))
        .Int(model.onGeoid ? 1 : 0)
        .Double(model.centroidB)
        .Double(model.centroidL)
        .Double(model.scale);
    for (double c : model.coefficients) w.Double(c);
    for (double e : model.extent) w.Double(e);
    w.Text(heights.geoid);
    return {kHeightsTag, w.Bytes()};
}

namespace {

bool ReadFlag(SectionReader& r, bool* flag) {
    std::int32_t v = 0;
    if (!r.Int(&v) || (v != 0 && v != 1)) return false;
    *flag = v == 1;
    return true;
}

bool ReadFinite(SectionReader& r, double* value) { return r.Double(value) && std::isfinite(*value); }

}  // namespace

bool ReadHeightsSection(std::string_view bytes, SessionHeights* heights) {
    constexpr double kQuarterTurn = 1.5707963267948966;
    SectionReader r(bytes);
    SessionHeights read;
    HeightModel model;
    bool present = false;
    std::int32_t surface = 0;
    if (!ReadFlag(r, &read.enabled) || !ReadFlag(r, &present)) return false;
    if (!r.Int(&surface) || surface < 0 || surface > 2) return false;
    model.surface = static_cast<HeightSurface>(surface);
    if (!ReadFlag(r, &model.onGeoid)) return false;
    if (!ReadFinite(r, &model.centroidB) || !ReadFinite(r, &model.centroidL) ||
        !ReadFinite(r, &model.scale)) {
        return false;
    }
    if (std::fabs(model.centroidB) > kQuarterTurn || std::fabs(model.centroidL) > 4 * kQuarterTurn ||
        !(model.scale > 0)) {
        return false;
    }
    for (double& c : model.coefficients) {
        if (!ReadFinite(r, &c)) return false;
    }
    for (double& e : model.extent) {
        if (!ReadFinite(r, &e)) return false;
    }
    if (model.extent[0] > model.extent[1] || model.extent[2] > model.extent[3]) return false;
    if (!r.Text(&read.geoid) || !r.AtEnd()) return false;
    if (present && model.onGeoid && read.geoid.empty()) return false;
    if (present) read.model = model;
    *heights = std::move(read);
    return true;
}
