// Helpers for the session tests: a field-by-field comparison of two
// sessions, a session with a distinct value in each of the 73 file items,
// and a little-endian byte builder for expected project files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "session/ConversionSession.h"

// Every member of the session and of its record, bit for bit for doubles.
inline void ExpectSameSession(const ConversionSession& a, const ConversionSession& b) {
    auto same = [](double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; };
#define SAME_D(f) EXPECT_TRUE(same(a.f, b.f)) << #f << ": " << a.f << " vs " << b.f
#define SAME(f) EXPECT_EQ(a.f, b.f) << #f
    SAME(m_zoneChange);
    SAME(m_sourceFileCount);
    SAME(m_outputFiles);
    SAME(m_sourceFiles);
    SAME(m_targetDatum);
    SAME(m_targetKind);
    SAME(m_useFour);
    SAME(m_useSeven);
    SAME(m_sourceDatum);
    SAME(m_sourceKind);
    for (int i = 0; i < 3; ++i) {
        SAME(m_targetText[i]);
        SAME(m_sourceText[i]);
    }
    for (int i = 0; i < 7; ++i) SAME_D(m_params.m_seven[i]);
    for (int i = 0; i < 3; ++i) {
        SAME(m_inputs.m_calcSevenB[i]);
        SAME(m_inputs.m_calcSevenL[i]);
        SAME_D(m_inputs.m_calcSevenH[i]);
        SAME_D(m_inputs.m_calcSevenX[i]);
        SAME_D(m_inputs.m_calcSevenY[i]);
        SAME_D(m_inputs.m_calcSevenZ[i]);
        SAME(m_format.m_column[i]);
    }
    for (int i = 0; i < 8; ++i) SAME_D(m_inputs.m_calcFour[i]);
    SAME(m_inputs.m_calcFourLevel);
    SAME(m_inputs.m_calcThreeB);
    SAME(m_inputs.m_calcThreeL);
    SAME(m_inputs.m_calcThreeH);
    SAME_D(m_inputs.m_calcThreeX);
    SAME_D(m_inputs.m_calcThreeY);
    SAME_D(m_inputs.m_calcThreeZ);
    SAME(m_inputs.m_calcDatumGeo);
    SAME(m_inputs.m_calcDatumPlane);
    for (int i = 0; i < 4; ++i) {
        SAME_D(m_params.m_local1[i]);
        SAME_D(m_params.m_local2[i]);
    }
    SAME(m_params.m_savedSourceDatum);
    SAME(m_params.m_savedTargetDatum);
    SAME(m_params.m_savedUseFour);
    SAME(m_params.m_savedUseSeven);
    for (auto proj : {&ConversionParams::m_projBefore, &ConversionParams::m_projAfter}) {
        const ProjectionRecord& pa = a.m_params.*proj;
        const ProjectionRecord& pb = b.m_params.*proj;
        EXPECT_EQ(pa.kind, pb.kind);
        EXPECT_TRUE(same(pa.centralMeridian, pb.centralMeridian));
        EXPECT_EQ(pa.xConstant, pb.xConstant);
        EXPECT_EQ(pa.yConstant, pb.yConstant);
        EXPECT_EQ(pa.zoneNumber, pb.zoneNumber);
        EXPECT_TRUE(same(pa.scale, pb.scale));
        EXPECT_TRUE(same(pa.baseLatitude, pb.baseLatitude));
    }
    for (int i = 0; i < 2; ++i) {
        SAME_D(m_params.m_sourceEllipsoid[i]);
        SAME_D(m_params.m_targetEllipsoid[i]);
    }
    SAME(m_format.m_formatName);
    SAME(m_format.m_formatExtension);
    SAME(m_format.m_formatSeparator);
    SAME(m_format.m_naming);
    SAME(m_format.m_formatIndex);
    SAME(m_otherSections);
#undef SAME
#undef SAME_D
}

// Item n of the file gets: a double n + 0.25, an int32 1000 + n, a text
// "t<n>" (item 51 a Chinese text). Fields outside the file are left alone.
inline void FillDistinctFileItems(ConversionSession& s) {
    ConversionParams& p = s.m_params;
    RememberedInputs& in = s.m_inputs;
    for (int i = 0; i < 7; ++i) p.m_seven[i] = 1 + i + 0.25;     // 1-7
    for (int i = 0; i < 8; ++i) in.m_calcFour[i] = 8 + i + 0.25;  // 8-15
    in.m_calcFourLevel = 1016;                                    // 16
    for (int i = 0; i < 4; ++i) p.m_local1[i] = 17 + i + 0.25;   // 17-20
    for (int i = 0; i < 4; ++i) p.m_local2[i] = 21 + i + 0.25;   // 21-24
    p.m_savedSourceDatum = 1025;
    p.m_savedTargetDatum = 1026;
    p.m_projBefore.kind = static_cast<ProjectionKind>(1027);
    p.m_savedUseFour = 1028;
    p.m_savedUseSeven = 1029;
    p.m_projBefore.centralMeridian = 30.25;
    p.m_projBefore.xConstant = 1031;
    p.m_projBefore.yConstant = 1032;
    p.m_projBefore.zoneNumber = 1033;
    p.m_projAfter.centralMeridian = 34.25;
    p.m_projAfter.xConstant = 1035;
    p.m_projAfter.yConstant = 1036;
    p.m_projAfter.zoneNumber = 1037;
    p.m_projAfter.scale = 38.25;
    p.m_projAfter.baseLatitude = 39.25;
    s.m_zoneChange = 1040;
    p.m_projBefore.scale = 41.25;
    p.m_projBefore.baseLatitude = 42.25;
    in.m_calcDatumGeo = 1043;
    in.m_calcDatumPlane = 1044;
    in.m_calcThreeB = "t45";
    in.m_calcThreeH = "t46";
    in.m_calcThreeL = "t47";
    in.m_calcThreeZ = 48.25;
    in.m_calcThreeX = 49.25;
    in.m_calcThreeY = 50.25;
    s.m_sourceText[0] = "北京51";
    s.m_sourceText[1] = "t52";
    s.m_sourceText[2] = "t53";
    s.m_sourceKind = 1054;
    s.m_targetKind = 1055;
    for (int i = 0; i < 3; ++i) in.m_calcSevenB[i] = "t" + std::to_string(56 + i);
    for (int i = 0; i < 3; ++i) in.m_calcSevenL[i] = "t" + std::to_string(59 + i);
    for (int i = 0; i < 3; ++i) in.m_calcSevenH[i] = 62 + i + 0.25;
    for (int i = 0; i < 3; ++i) in.m_calcSevenX[i] = 65 + i + 0.25;
    for (int i = 0; i < 3; ++i) in.m_calcSevenY[i] = 68 + i + 0.25;
    for (int i = 0; i < 3; ++i) in.m_calcSevenZ[i] = 71 + i + 0.25;
}

// A session whose every field differs from the defaults, also outside the file.
inline ConversionSession ChangedSession() {
    ConversionSession s;
    FillDistinctFileItems(s);
    s.m_sourceFiles = {"/data/a.txt"};
    s.m_outputFiles = {"/data/a.out"};
    s.m_sourceFileCount = 1;
    s.m_sourceDatum = 3;
    s.m_targetDatum = 1;
    s.m_useFour = 1;
    s.m_useSeven = 1;
    for (std::string& text : s.m_targetText) text = "target";
    s.m_params.m_projAfter.kind = ProjectionKind::Utm;
    s.m_params.m_sourceEllipsoid[0] = 1;
    s.m_params.m_targetEllipsoid[1] = 2;
    for (int& c : s.m_format.m_column) c = 5;
    s.m_format.m_formatName = "格式";
    s.m_format.m_formatExtension = "dat";
    s.m_format.m_formatSeparator = ",";
    s.m_format.m_formatIndex = 2;
    s.m_format.m_naming = 3;
    return s;
}

// Expected file bytes, written value by value.
class FileBytes {
public:
    FileBytes& D(double v) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        for (int i = 0; i < 8; ++i) m_bytes += static_cast<char>(bits >> (8 * i));
        return *this;
    }
    FileBytes& I(std::int32_t v) {
        for (int i = 0; i < 4; ++i) {
            m_bytes += static_cast<char>(static_cast<std::uint32_t>(v) >> (8 * i));
        }
        return *this;
    }
    // `bytes` as they stand on disk; short texts only (one-byte prefix).
    FileBytes& T(const std::string& bytes) {
        m_bytes += static_cast<char>(bytes.size());
        m_bytes += bytes;
        return *this;
    }
    const std::string& Str() const { return m_bytes; }

private:
    std::string m_bytes;
};
