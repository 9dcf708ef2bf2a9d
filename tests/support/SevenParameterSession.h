// The session that the batch and command-line tests, the benchmarks and the
// fuzz targets convert with, so that every step of every chain changes the
// numbers: Beijing-54 to WGS-84 with seven parameters, both local levels
// set and the four-parameter switch on, Gauss 3-degree zone on 114 degrees,
// and the zone after a zone change on 117 degrees (m_zoneChange stays 0).
#pragma once

#include "session/ConversionSession.h"

inline void SetUpSevenParameterSession(ConversionSession& s, int sourceKind, int targetKind) {
    s.m_sourceKind = sourceKind;
    s.m_targetKind = targetKind;
    s.m_sourceDatum = 0;
    s.m_targetDatum = 2;
    s.m_useSeven = 1;
    s.m_useFour = 1;
    const double seven[7] = {-15.4, 150.2, 80.7, 4.8e-6, -1.2e-6, 2.6e-6, 3.1e-6};
    for (int i = 0; i < 7; ++i) s.m_params.m_seven[i] = seven[i];
    const double local1[4] = {12.5, -30.25, 0.0003, 1.000015};
    const double local2[4] = {5.0, 7.5, -0.0001, 0.99999};
    for (int i = 0; i < 4; ++i) {
        s.m_params.m_local1[i] = local1[i];
        s.m_params.m_local2[i] = local2[i];
    }
    s.m_params.m_projAfter.centralMeridian = 117.0;
}

inline ConversionSession SevenParameterSession(int sourceKind, int targetKind) {
    ConversionSession s;
    SetUpSevenParameterSession(s, sourceKind, targetKind);
    return s;
}
