#include "batch/FilePoint.h"

#include "app/ConversionSession.h"
#include "geodesy/FastPaths.h"

void ApplyEqualDatumRule(ConversionSession& session) {
    if (session.m_sourceDatum == session.m_targetDatum) session.m_params.m_savedUseSeven = 0;
}

void ConvertPointValues(const ConversionSession& session, const std::string& first,
                        const std::string& second, const std::string& third, double out[3]) {
    switch (session.m_sourceKind) {
        case 2:
            session.ConvertFromPlane(first, second, third, &out[0], &out[1], &out[2]);
            break;
        case 1:
            session.ConvertFromGeodetic(first, second, third, &out[0], &out[1], &out[2]);
            break;
        default:
            session.ConvertFromSpace(first, second, third, &out[0], &out[1], &out[2]);
            break;
    }
}

int FormatPointResult(const ConversionSession& session, int slot, double value, char* buffer) {
    if (session.m_targetKind == 1 && slot < 2) {
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
    double values[3];
    ConvertPointValues(session, first, second, third, values);
    char buffer[kPointTextSize];
    for (int k = 0; k < 3; ++k) {
        const int n = FormatPointResult(session, k, values[k], buffer);
        outs[k]->assign(buffer, static_cast<std::size_t>(n));
    }
    return true;
}
