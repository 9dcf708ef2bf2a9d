#include "batch/FilePoint.h"

#include <cmath>

#include "geodesy/FastPaths.h"
#include "session/ConversionSession.h"

void ApplyEqualDatumRule(ConversionSession& session) {
    if (session.m_sourceDatum == session.m_targetDatum) session.m_params.m_savedUseSeven = 0;
}

unsigned ConvertPointTexts(const ConversionSession& session, const std::string_view texts[3],
                           double out[3], bool* finite, PointHeight* height) {
    bool whole[3];
    double v[3];
    if (session.SourceKind() == CoordinateKind::Geodetic) {
        v[0] = ParseDmsField(texts[0], &whole[0]);
        v[1] = ParseDmsField(texts[1], &whole[1]);
    } else {
        v[0] = ReadNumberField(texts[0], &whole[0]);
        v[1] = ReadNumberField(texts[1], &whole[1]);
    }
    v[2] = ReadNumberField(texts[2], &whole[2]);
    if (finite != nullptr) {
        *finite = std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
    }
    switch (session.SourceKind()) {
        case CoordinateKind::Plane:
            session.ConvertPlanePoint(v[0], v[1], v[2], &out[0], &out[1], &out[2], height);
            break;
        case CoordinateKind::Geodetic:
            session.ConvertGeodeticPoint(v[0], v[1], v[2], &out[0], &out[1], &out[2], height);
            break;
        default:
            session.ConvertSpacePoint(v[0], v[1], v[2], &out[0], &out[1], &out[2], height);
            break;
    }
    return (whole[0] ? 0u : 1u) | (whole[1] ? 0u : 2u) | (whole[2] ? 0u : 4u);
}

int FormatPointResult(const ConversionSession& session, int slot, double value, char* buffer) {
    if (session.TargetKind() == CoordinateKind::Geodetic && slot < 2) {
        static_assert(kPointTextSize >= kDmsTextSize);
        return FormatDmsPositiveTo(value, buffer);
    }
    return FormatFixedTo(buffer, kPointTextSize, value, 6);
}

bool ConvertFilePoint(ConversionSession& session, const std::string& first,
                      const std::string& second, const std::string& third, std::string* out1,
                      std::string* out2, std::string* out3) {
    std::string* outs[3] = {out1, out2, out3};
    ApplyEqualDatumRule(session);
    if (!session.CanConvert()) {
        for (std::string* o : outs) o->clear();
        return false;
    }
    const std::string_view texts[3] = {first, second, third};
    double values[3];
    ConvertPointTexts(session, texts, values);
    char buffer[kPointTextSize];
    for (int k = 0; k < 3; ++k) {
        const int n = FormatPointResult(session, k, values[k], buffer);
        outs[k]->assign(buffer, static_cast<std::size_t>(n));
    }
    return true;
}
