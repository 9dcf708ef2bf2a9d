#include "session/ConversionSession.h"

#include <cmath>
#include <limits>
#include <string_view>
#include <utility>

#include "geodesy/Constants.h"
#include "geodesy/FastPaths.h"
#include "geodesy/GeoidGrid.h"
#include "io/Archive.h"
#include "io/ArchiveException.h"
#include "io/AtomicFile.h"
#include "io/File.h"
#include "io/FileException.h"
#include "session/GeoidFiles.h"

namespace {

const char kEmptyAngle[] = "000:00:00.000";

// The source fields' labels by coordinate kind, for messages naming a point.
constexpr const char* kSourceFieldNames[3][2] = {{"X=", "Y="}, {"B=", "L="}, {"x=", "y="}};

void ResetProjection(ProjectionRecord& p) {
    p.kind = ProjectionKind::Gauss3;
    p.centralMeridian = 114.0;
    p.xConstant = 0;
    p.yConstant = 500000;
    p.zoneNumber = 0;
    p.scale = 1.0;
    p.baseLatitude = 0.0;
}

// One value in the archive's direction.
template <class T>
void Exchange(CArchive& ar, T& value) {
    if (ar.IsStoring()) {
        ar << value;
    } else {
        ar >> value;
    }
}

// A projection kind as the number it is stored as.
void Exchange(CArchive& ar, ProjectionKind& kind) {
    int number = static_cast<int>(kind);
    Exchange(ar, number);
    kind = static_cast<ProjectionKind>(number);
}

template <class T, std::size_t N>
void Exchange(CArchive& ar, T (&values)[N]) {
    for (T& v : values) Exchange(ar, v);
}

// Takes ζ at B, L into the height *h: H = h − ζ towards plane coordinates
// (`toNormal`), h = H + ζ from them. Without ζ the height is not a number.
void ApplyZeta(const SessionHeights& heights, const GeoidGrid* grid, double B, double L,
               bool toNormal, double* h, PointHeight* height) {
    double zeta = 0;
    const unsigned notes = HeightAnomalyAt(heights, grid, B, L, &zeta);
    if (notes & kHeightOutsideGeoid) {
        *h = std::numeric_limits<double>::quiet_NaN();
    } else if (toNormal) {
        *h = *h - zeta;
    } else {
        *h = *h + zeta;
    }
    if (height != nullptr) {
        height->notes = notes;
        height->applied = (notes & kHeightOutsideGeoid) == 0;
        height->B = B;
        height->L = L;
        height->zeta = zeta;
    }
}

// Degrees of an angle in radians for a message, six decimals.
std::string DegreesText(double radians) { return FormatFixed(radians / kDegToRad, 6) + "°"; }

}  // namespace

ConversionSession::ConversionSession() {
    ResetSession();
    m_zoneChange = 0;
}

void ConversionSession::ResetSession() {
    ConversionParams& p = m_params;
    RememberedInputs& in = m_inputs;
    FormatChoice& fmt = m_format;
    for (double& v : p.m_seven) v = 0;
    for (int i = 0; i < 3; ++i) {
        in.m_calcSevenB[i] = kEmptyAngle;
        in.m_calcSevenL[i] = kEmptyAngle;
        in.m_calcSevenH[i] = 0;
        in.m_calcSevenX[i] = 0;
        in.m_calcSevenY[i] = 0;
        in.m_calcSevenZ[i] = 0;
    }
    for (double& v : in.m_calcFour) v = 0;
    in.m_calcFourLevel = 0;
    in.m_calcThreeB = kEmptyAngle;
    in.m_calcThreeL = kEmptyAngle;
    in.m_calcThreeH = "0";
    in.m_calcThreeX = 0;
    in.m_calcThreeY = 0;
    in.m_calcThreeZ = 0;
    in.m_calcDatumGeo = 2;
    in.m_calcDatumPlane = 0;
    for (int i = 0; i < 4; ++i) {
        p.m_local1[i] = 0;
        p.m_local2[i] = 0;
    }
    p.m_savedSourceDatum = 0;
    p.m_savedTargetDatum = 0;
    p.m_savedUseFour = 0;
    p.m_savedUseSeven = 0;
    ResetProjection(p.m_projBefore);
    ResetProjection(p.m_projAfter);
    for (int i = 0; i < 3; ++i) {
        m_sourceText[i].clear();
        m_targetText[i].clear();
    }
    m_targetKind = static_cast<int>(CoordinateKind::Plane);
    m_sourceKind = static_cast<int>(CoordinateKind::Plane);
    m_useSeven = 0;
    m_useFour = 0;
    for (int& c : fmt.m_column) c = -1;
    fmt.m_formatName.clear();
    fmt.m_formatExtension.clear();
    fmt.m_formatSeparator.clear();
    fmt.m_formatIndex = 0;
    fmt.m_naming = 1;
}

void ConversionSession::NewProject() {
    ConversionSession fresh;
    fresh.m_format = m_format;
    fresh.m_sourceFiles = m_sourceFiles;
    fresh.m_outputFiles = m_outputFiles;
    fresh.m_sourceFileCount = m_sourceFileCount;
    *this = std::move(fresh);
}

void ConversionSession::PrepareConversion() {
    m_params.m_savedUseFour = m_useFour;
    m_params.m_savedUseSeven = m_useSeven;
    m_params.m_savedSourceDatum = m_sourceDatum;
    m_params.m_savedTargetDatum = m_targetDatum;
    CGeoCore::DatumTable(m_sourceDatum, &m_params.m_sourceEllipsoid[0],
                         &m_params.m_sourceEllipsoid[1]);
    CGeoCore::DatumTable(m_targetDatum, &m_params.m_targetEllipsoid[0],
                         &m_params.m_targetEllipsoid[1]);
}

void ConversionSession::ConvertFromPlane(const std::string& xText, const std::string& yText,
                                         const std::string& hText, double* out1, double* out2,
                                         double* out3, PointHeight* height) const {
    ConvertPlanePoint(AsciiToDouble(xText), AsciiToDouble(yText), AsciiToDouble(hText), out1, out2,
                      out3, height);
}

void ConversionSession::ConvertPlanePoint(double x, double y, double h, double* out1,
                                          double* out2, double* out3, PointHeight* height) const {
    const ConversionParams& p = m_params;
    *out1 = *out2 = *out3 = 0;
    if (height != nullptr) *height = PointHeight();
    const bool heights = HeightsChange();
    if (TargetKind() == CoordinateKind::Plane) {
        double B, L, H;
        if (m_zoneChange == 2) {
            PlaneToGeodeticRef(m_geo, p.m_sourceEllipsoid[0], p.m_sourceEllipsoid[1], x, y, h, p,
                               &B, &L, &H);
            m_geo.GaussForward(p.m_targetEllipsoid[0], p.m_targetEllipsoid[1], B, L,
                               p.m_projAfter.centralMeridian * kDegToRad, &x, &y);
            x = x * p.m_projAfter.scale + p.m_projAfter.xConstant;
            y = y * p.m_projAfter.scale + p.m_projAfter.yConstant;
        } else {
            if (p.m_savedUseSeven) {
                PlaneToGeodeticRef(m_geo, p.m_sourceEllipsoid[0], p.m_sourceEllipsoid[1], x, y, h,
                                   p, &B, &L, &H);
                m_geo.GaussForward(p.m_targetEllipsoid[0], p.m_targetEllipsoid[1], B, L,
                                   p.m_projBefore.centralMeridian * kDegToRad, &x, &y);
            }
            // Level 1 always, whatever the four switch and K say.
            m_geo.ApplyFourParameters(p.m_local1[0], p.m_local1[1], p.m_local1[2], p.m_local1[3],
                                      &x, &y);
        }
        *out1 = x;
        *out2 = y;
        *out3 = h;
    } else if (TargetKind() == CoordinateKind::Geodetic) {
        PlaneToGeodeticChainRef(m_geo, x, y, h, p, out1, out2, out3);
        if (heights) ApplyZeta(m_heights, Grid(), *out1, *out2, false, out3, height);
    } else if (TargetKind() == CoordinateKind::Space) {
        double B, L, H;
        PlaneToGeodeticChainRef(m_geo, x, y, h, p, &B, &L, &H);
        if (heights) ApplyZeta(m_heights, Grid(), B, L, false, &H, height);
        m_geo.GeodeticToSpace(p.m_targetEllipsoid[0], p.m_targetEllipsoid[1], B, L, H, out1, out2,
                              out3);
    }
}

void ConversionSession::ConvertFromGeodetic(const std::string& bText, const std::string& lText,
                                            const std::string& hText, double* out1, double* out2,
                                            double* out3, PointHeight* height) const {
    ConvertGeodeticPoint(m_geo.ParseDmsText(bText), m_geo.ParseDmsText(lText), AsciiToDouble(hText),
                         out1, out2, out3, height);
}

void ConversionSession::ConvertGeodeticPoint(double B, double L, double H, double* out1,
                                             double* out2, double* out3,
                                             PointHeight* height) const {
    const ConversionParams& p = m_params;
    *out1 = *out2 = *out3 = 0;
    if (height != nullptr) *height = PointHeight();
    if (TargetKind() == CoordinateKind::Geodetic) {
        ShiftGeodeticRef(m_geo, &B, &L, p);
        *out1 = B;
        *out2 = L;
        *out3 = H;
    } else if (TargetKind() == CoordinateKind::Plane) {
        GeodeticToPlaneChainRef(m_geo, B, L, H, p, out1, out2, out3);
        if (HeightsChange()) ApplyZeta(m_heights, Grid(), B, L, true, out3, height);
    } else if (TargetKind() == CoordinateKind::Space) {
        ShiftGeodeticRef(m_geo, &B, &L, p);
        m_geo.GeodeticToSpace(p.m_targetEllipsoid[0], p.m_targetEllipsoid[1], B, L, H, out1, out2,
                              out3);
    }
}

void ConversionSession::ConvertFromSpace(const std::string& xText, const std::string& yText,
                                         const std::string& zText, double* out1, double* out2,
                                         double* out3, PointHeight* height) const {
    ConvertSpacePoint(AsciiToDouble(xText), AsciiToDouble(yText), AsciiToDouble(zText), out1, out2,
                      out3, height);
}

void ConversionSession::ConvertSpacePoint(double X, double Y, double Z, double* out1,
                                          double* out2, double* out3, PointHeight* height) const {
    const ConversionParams& p = m_params;
    *out1 = *out2 = *out3 = 0;
    if (height != nullptr) *height = PointHeight();
    if (TargetKind() == CoordinateKind::Space) {
        *out1 = X;
        *out2 = Y;
        *out3 = Z;
        ApplySevenParametersRef(m_geo, p.m_seven, p, out1, out2, out3);
    } else if (TargetKind() == CoordinateKind::Geodetic) {
        // From the untransformed point: this path applies no seven parameters.
        m_geo.SpaceToGeodetic(p.m_targetEllipsoid[0], p.m_targetEllipsoid[1], X, Y, Z, out1, out2,
                              out3);
    } else if (TargetKind() == CoordinateKind::Plane) {
        double B, L, H;
        m_geo.SpaceToGeodetic(p.m_sourceEllipsoid[0], p.m_sourceEllipsoid[1], X, Y, Z, &B, &L, &H);
        // Through the angle text: repairs a negative longitude and cuts both
        // angles to whole millionths of a second.
        char text[kDmsTextSize];
        B = ParseDmsView(
            std::string_view(text, static_cast<std::size_t>(FormatDmsPositiveTo(B, text))));
        L = ParseDmsView(
            std::string_view(text, static_cast<std::size_t>(FormatDmsPositiveTo(L, text))));
        GeodeticToPlaneChainRef(m_geo, B, L, H, p, out1, out2, out3);
        if (HeightsChange()) ApplyZeta(m_heights, Grid(), B, L, true, out3, height);
    }
}

bool ConversionSession::HeightsChange() const {
    if (!m_heights.enabled) return false;
    const bool fromPlane = SourceKind() == CoordinateKind::Plane;
    const bool toPlane = TargetKind() == CoordinateKind::Plane;
    return fromPlane != toPlane;
}

ConversionSession::HeightsProblem ConversionSession::CheckHeights() const {
    if (!m_heights.enabled) return HeightsProblem::None;
    if (!m_heights.model && m_heights.geoid.empty()) return HeightsProblem::NothingGivesZeta;
    if (m_heights.NeedsGrid() && Grid() == nullptr) return HeightsProblem::GridNotOpen;
    return HeightsProblem::None;
}

bool ConversionSession::OpenGeoidGrid(const std::string& appDir, std::string* error) {
    if (m_heights.geoid.empty()) {
        m_geoidGrid.reset();
        m_geoidGridName.clear();
        return true;
    }
    if (Grid() != nullptr) return true;
    m_geoidGrid = OpenGeoid(m_heights.geoid, appDir, error);
    m_geoidGridName = m_geoidGrid ? m_heights.geoid : std::string();
    return m_geoidGrid != nullptr;
}

const GeoidGrid* ConversionSession::Grid() const {
    return m_geoidGrid && m_geoidGridName == m_heights.geoid ? m_geoidGrid.get() : nullptr;
}

bool ConversionSession::CanConvert() const {
    auto kindOk = [](int k) { return k >= 0 && k <= 2; };
    auto datumOk = [](int d) { return d >= 0 && d < kDatumCount; };
    return kindOk(m_sourceKind) && kindOk(m_targetKind) && datumOk(m_sourceDatum) &&
           datumOk(m_targetDatum);
}

bool ConversionSession::LevelOneMissing() const {
    return SourceKind() == CoordinateKind::Plane && TargetKind() == CoordinateKind::Plane &&
           m_zoneChange != 2 && m_params.m_local1[3] == 0;
}

bool ConversionSession::Convert(std::string* heightMessage) {
    std::string unused;
    std::string& message = heightMessage != nullptr ? *heightMessage : unused;
    message.clear();
    PrepareConversion();
    if (m_sourceDatum == m_targetDatum) m_params.m_savedUseSeven = 0;
    if (!CanConvert()) {
        for (std::string& t : m_targetText) t.clear();
        return false;
    }
    if (HeightsChange()) {
        switch (CheckHeights()) {
            case HeightsProblem::NothingGivesZeta:
                message = "高程拟合已打开，但既没有高程拟合模型，也没有大地水准面，无法换算高程。";
                break;
            case HeightsProblem::GridNotOpen:
                message = "高程拟合所用的大地水准面 " + m_heights.geoid + " 没有打开，无法换算高程。";
                break;
            case HeightsProblem::None:
                break;
        }
        if (!message.empty()) {
            for (std::string& t : m_targetText) t.clear();
            return false;
        }
    }
    double out1 = 0, out2 = 0, out3 = 0;
    PointHeight height;
    if (SourceKind() == CoordinateKind::Plane) {
        ConvertFromPlane(m_sourceText[0], m_sourceText[1], m_sourceText[2], &out1, &out2, &out3,
                         &height);
    } else if (SourceKind() == CoordinateKind::Geodetic) {
        ConvertFromGeodetic(m_sourceText[0], m_sourceText[1], m_sourceText[2], &out1, &out2, &out3,
                            &height);
    } else {
        ConvertFromSpace(m_sourceText[0], m_sourceText[1], m_sourceText[2], &out1, &out2, &out3,
                         &height);
    }
    const std::string where = "（B " + DegreesText(height.B) + "，L " + DegreesText(height.L) + "）";
    if (height.notes & kHeightOutsideGeoid) {
        const char* const* labels = kSourceFieldNames[m_sourceKind];
        message = std::string("点 ") + labels[0] + m_sourceText[0] + ", " + labels[1] +
                  m_sourceText[1] + " 在大地水准面格网之外" + where + "，无法求高程异常，没有转换。";
        for (std::string& t : m_targetText) t.clear();
        return false;
    }
    if (height.notes & kHeightExtrapolated) {
        message = "注意：该点" + where + "在高程拟合公共点的范围之外，高程异常是外推的。";
    }
    if (TargetKind() == CoordinateKind::Geodetic) {
        m_targetText[0] = m_geo.FormatDmsPositive(out1);
        m_targetText[1] = m_geo.FormatDmsPositive(out2);
    } else {
        m_targetText[0] = FormatFixed(out1, 6);
        m_targetText[1] = FormatFixed(out2, 6);
    }
    m_targetText[2] = FormatFixed(out3, 6);
    return true;
}

void ConversionSession::Serialize(CArchive& ar) {
    ConversionParams& p = m_params;
    RememberedInputs& in = m_inputs;
    Exchange(ar, p.m_seven);                       // 1-7
    Exchange(ar, in.m_calcFour);                   // 8-15
    Exchange(ar, in.m_calcFourLevel);              // 16
    Exchange(ar, p.m_local1);                      // 17-20
    Exchange(ar, p.m_local2);                      // 21-24
    Exchange(ar, p.m_savedSourceDatum);            // 25
    Exchange(ar, p.m_savedTargetDatum);            // 26
    Exchange(ar, p.m_projBefore.kind);             // 27
    Exchange(ar, p.m_savedUseFour);                // 28
    Exchange(ar, p.m_savedUseSeven);               // 29
    Exchange(ar, p.m_projBefore.centralMeridian);  // 30
    Exchange(ar, p.m_projBefore.xConstant);        // 31
    Exchange(ar, p.m_projBefore.yConstant);        // 32
    Exchange(ar, p.m_projBefore.zoneNumber);       // 33
    Exchange(ar, p.m_projAfter.centralMeridian);   // 34
    Exchange(ar, p.m_projAfter.xConstant);         // 35
    Exchange(ar, p.m_projAfter.yConstant);         // 36
    Exchange(ar, p.m_projAfter.zoneNumber);        // 37
    Exchange(ar, p.m_projAfter.scale);             // 38
    Exchange(ar, p.m_projAfter.baseLatitude);      // 39
    Exchange(ar, m_zoneChange);                    // 40
    Exchange(ar, p.m_projBefore.scale);            // 41
    Exchange(ar, p.m_projBefore.baseLatitude);     // 42
    Exchange(ar, in.m_calcDatumGeo);               // 43
    Exchange(ar, in.m_calcDatumPlane);             // 44
    Exchange(ar, in.m_calcThreeB);                 // 45
    Exchange(ar, in.m_calcThreeH);                 // 46
    Exchange(ar, in.m_calcThreeL);                 // 47
    Exchange(ar, in.m_calcThreeZ);                 // 48
    Exchange(ar, in.m_calcThreeX);                 // 49
    Exchange(ar, in.m_calcThreeY);                 // 50
    Exchange(ar, m_sourceText);                    // 51-53
    Exchange(ar, m_sourceKind);                    // 54
    Exchange(ar, m_targetKind);                    // 55
    Exchange(ar, in.m_calcSevenB);                 // 56-58
    Exchange(ar, in.m_calcSevenL);                 // 59-61
    Exchange(ar, in.m_calcSevenH);                 // 62-64
    Exchange(ar, in.m_calcSevenX);                 // 65-67
    Exchange(ar, in.m_calcSevenY);                 // 68-70
    Exchange(ar, in.m_calcSevenZ);                 // 71-73
}

void ConversionSession::SerializeExtension(CArchive& ar) {
    if (ar.IsStoring()) {
        std::vector<ProjectSection> sections;
        if (m_heights.Any()) sections.push_back(WriteHeightsSection(m_heights));
        sections.insert(sections.end(), m_otherSections.begin(), m_otherSections.end());
        WriteExtension(ar, sections);
        return;
    }
    std::vector<ProjectSection> others;
    SessionHeights heights;
    bool heightsRead = false;
    for (ProjectSection& section : ReadExtension(ar)) {
        if (section.tag == kHeightsTag) {
            // One section of the heights; a second one is damage too.
            if (heightsRead || !ReadHeightsSection(section.bytes, &heights)) {
                ThrowDamagedExtension(ar);
            }
            heightsRead = true;
        } else {
            others.push_back(std::move(section));
        }
    }
    m_heights = std::move(heights);
    m_otherSections = std::move(others);
}

void ConversionSession::WriteProject(const std::string& path) {
    CAtomicFile out;
    out.Open(path);
    CArchive ar(&out.GetFile(), CArchive::store, 1024);
    Serialize(ar);
    SerializeExtension(ar);
    ar.Close();
    out.Commit();
}

bool ConversionSession::SaveProject(const std::string& path, std::string* error) {
    try {
        WriteProject(path);
        return true;
    } catch (const CException& e) {
        if (error) *error = "无法保存坐标转换文件。" + e.GetErrorMessage();
        return false;
    }
}

void ConversionSession::ReadProject(const std::string& path) {
    CFile file(path, CFile::modeRead | CFile::typeBinary);
    CArchive ar(&file, CArchive::load, 1024);
    ConversionSession loaded = *this;
    loaded.Serialize(ar);
    loaded.SerializeExtension(ar);
    ar.Close();
    file.Close();
    *this = std::move(loaded);
}

bool ConversionSession::LoadProject(const std::string& path, std::string* error) {
    try {
        ReadProject(path);
        return true;
    } catch (const CException& e) {
        if (error) *error = "无法打开坐标转换文件。" + e.GetErrorMessage();
        return false;
    }
}
