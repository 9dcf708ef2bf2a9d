#include "ui/params/ParamCommands.h"

#include <cmath>

#include "params/CommonPointFit.h"
#include "params/RotationText.h"
#include "session/ConversionSession.h"
#include "session/SessionHistory.h"
#include "session/UserDatums.h"
#include "ui/framework/MessageBox.h"
#include "ui/framework/PropertySheet.h"
#include "ui/params/CalcFourDlg.h"
#include "ui/params/CalcHeightsDlg.h"
#include "ui/params/CalcMultiDlg.h"
#include "ui/params/CalcSevenDlg.h"
#include "ui/params/CalcThreeDlg.h"
#include "ui/params/Change.h"
#include "ui/params/Change1.h"
#include "ui/params/DatumListDlg.h"
#include "ui/params/ProjectionDlg.h"
#include "ui/params/SevenParamDlg.h"
#include "ui/params/SheetSpecial.h"

namespace ParamCommands {

namespace {

void ToDialog(const ProjectionRecord& p, CProjectionDlg& dlg) {
    dlg.m_kind = static_cast<int>(p.kind);
    dlg.m_centralMeridian = p.centralMeridian;
    dlg.m_xConstant = p.xConstant;
    dlg.m_yConstant = p.yConstant;
    dlg.m_scale = p.scale;
    dlg.m_baseLatitude = p.baseLatitude;
}

// zoneNumber is neither read nor written.
void FromDialog(const CProjectionDlg& dlg, ProjectionRecord& p) {
    p.kind = static_cast<ProjectionKind>(dlg.m_kind);
    p.centralMeridian = dlg.m_centralMeridian;
    p.xConstant = dlg.m_xConstant;
    p.yConstant = dlg.m_yConstant;
    p.scale = dlg.m_scale;
    p.baseLatitude = dlg.m_baseLatitude;
}

// Runs the projection dialog on one record; true when it ended with OK.
bool EditProjection(ProjectionRecord& p, int titleMode) {
    CProjectionDlg dlg;
    dlg.m_titleMode = titleMode;
    ToDialog(p, dlg);
    if (dlg.DoModal() != IDOK) return false;
    FromDialog(dlg, p);
    return true;
}

// A local level (Xo, Yo, T, K) into a page and back.
template <class Page>
void ToPage(const double (&level)[4], Page& page, const CGeoCore& geo) {
    page.m_scaleK = level[3];
    page.m_rotation = level[2];
    page.m_shiftX = level[0];
    page.m_shiftY = level[1];
    // Also right for a page that is never shown.
    page.m_rotationText = FormatRotation(geo, page.m_rotation);
}

template <class Page>
void FromPage(const Page& page, double (&level)[4]) {
    level[3] = page.m_scaleK;
    level[2] = page.RotationFromText();
    level[0] = page.m_shiftX;
    level[1] = page.m_shiftY;
}

// A coordinate difference cut to whole millimetres toward zero.
double TruncateToMillimetre(double metres) { return std::trunc(metres * 1000.0) * 0.001; }

// Space rectangular coordinates of a plane point read through m_projBefore
// on the ellipsoid of `datum`; the same as the common-point tables use.
void PlaneToSpace(const ConversionSession& s, int datum, double x, double y, double h, double* X,
                  double* Y, double* Z) {
    double xyz[3];
    PlaneSideToSpace(s.m_params, datum, x, y, h, xyz);
    *X = xyz[0], *Y = xyz[1], *Z = xyz[2];
}

void GeodeticToSpace(const ConversionSession& s, int datum, const std::string& bText,
                     const std::string& lText, double H, double* X, double* Y, double* Z) {
    double xyz[3];
    GeodeticSideToSpace(datum, s.m_geo.ParseDmsText(bText), s.m_geo.ParseDmsText(lText), H, xyz);
    *X = xyz[0], *Y = xyz[1], *Z = xyz[2];
}

}  // namespace

void OnProjectionSettings(ConversionSession& s) { EditProjection(s.m_params.m_projBefore, 0); }

void OnSevenParamSettings(ConversionSession& s) {
    double* seven = s.m_params.m_seven;
    CSevenParamDlg dlg;
    dlg.m_dX = seven[0];
    dlg.m_dY = seven[1];
    dlg.m_dZ = seven[2];
    dlg.m_rotX = seven[3];
    dlg.m_rotY = seven[4];
    dlg.m_rotZ = seven[5];
    dlg.m_scale = seven[6];
    if (dlg.DoModal() != IDOK) return;
    seven[0] = dlg.m_dX;
    seven[1] = dlg.m_dY;
    seven[2] = dlg.m_dZ;
    seven[3] = dlg.m_rotX;
    seven[4] = dlg.m_rotY;
    seven[5] = dlg.m_rotZ;
    seven[6] = dlg.m_scale;
}

void OnFourParamSettings(ConversionSession& s) {
    CSheetSpecial sheet("地方坐标转换参数", nullptr, 0);
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    CChange level1;
    CChange1 level2;
    sheet.AddPage(&level1);
    sheet.AddPage(&level2);
    ToPage(s.m_params.m_local1, level1, s.m_geo);
    ToPage(s.m_params.m_local2, level2, s.m_geo);
    if (sheet.DoModal() != IDOK) return;
    FromPage(level1, s.m_params.m_local1);
    FromPage(level2, s.m_params.m_local2);
}

void OnCalcFour(ConversionSession& s) {
    ConversionParams& p = s.m_params;
    RememberedInputs& in = s.m_inputs;
    CCalcFourDlg dlg;
    dlg.m_srcX1 = in.m_calcFour[0];
    dlg.m_srcX2 = in.m_calcFour[1];
    dlg.m_srcY1 = in.m_calcFour[2];
    dlg.m_srcY2 = in.m_calcFour[3];
    dlg.m_dstX1 = in.m_calcFour[4];
    dlg.m_dstX2 = in.m_calcFour[5];
    dlg.m_dstY1 = in.m_calcFour[6];
    dlg.m_dstY2 = in.m_calcFour[7];
    dlg.m_level = in.m_calcFourLevel;
    if (dlg.DoModal() != IDOK) return;

    double* level = dlg.m_level == 0 ? p.m_local1 : p.m_local2;
    level[0] = dlg.m_shiftX;
    level[1] = dlg.m_shiftY;
    level[2] = dlg.m_rotationT;
    level[3] = dlg.m_scaleK;

    in.m_calcFour[0] = dlg.m_srcX1;
    in.m_calcFour[1] = dlg.m_srcX2;
    in.m_calcFour[2] = dlg.m_srcY1;
    in.m_calcFour[3] = dlg.m_srcY2;
    in.m_calcFour[4] = dlg.m_dstX1;
    in.m_calcFour[5] = dlg.m_dstX2;
    in.m_calcFour[6] = dlg.m_dstY1;
    in.m_calcFour[7] = dlg.m_dstY2;
    in.m_calcFourLevel = dlg.m_level;

    OnFourParamSettings(s);
}

bool OnDatumList(ConversionSession& s, SessionHistory* history) {
    CDatumListDlg dlg(UserDatums(), SessionDatums(s));
    if (dlg.DoModal() != IDOK || dlg.m_list == UserDatums()) return false;
    // Old list index to new; -1 for a removed entry, which the session does not use.
    std::vector<int> moved(static_cast<std::size_t>(UserDatums().Count()), -1);
    for (std::size_t i = 0; i < dlg.m_origin.size(); ++i) {
        if (dlg.m_origin[i] >= 0)
            moved[static_cast<std::size_t>(dlg.m_origin[i] - kDatumCount)] = kDatumCount + static_cast<int>(i);
    }
    const auto map = [&moved](int d) {
        if (d < kDatumCount || d - kDatumCount >= static_cast<int>(moved.size())) return d;
        return moved[static_cast<std::size_t>(d - kDatumCount)];
    };
    MapSessionDatums(s, map);
    if (history != nullptr) history->MapDatums(map);
    UserDatums() = dlg.m_list;
    std::string error;
    if (!SaveUserDatums(&error)) AfxMessageBox(error, MB_OK | MB_ICONWARNING);
    return true;
}

void OnDatumList(ConversionSession& s) { OnDatumList(s, nullptr); }

void OnCalcThree(ConversionSession& s) {
    ConversionParams& p = s.m_params;
    RememberedInputs& in = s.m_inputs;
    CCalcThreeDlg dlg;
    dlg.m_bText = in.m_calcThreeB;
    dlg.m_hText = in.m_calcThreeH;
    dlg.m_lText = in.m_calcThreeL;
    dlg.m_x = in.m_calcThreeX;
    dlg.m_y = in.m_calcThreeY;
    dlg.m_hPlane = in.m_calcThreeZ;
    dlg.m_datumGeo = in.m_calcDatumGeo;
    dlg.m_datumPlane = in.m_calcDatumPlane;
    if (dlg.DoModal() != IDOK) return;

    in.m_calcThreeB = dlg.m_bText;
    in.m_calcThreeH = dlg.m_hText;
    in.m_calcThreeL = dlg.m_lText;
    in.m_calcThreeX = dlg.m_x;
    in.m_calcThreeY = dlg.m_y;
    in.m_calcThreeZ = dlg.m_hPlane;
    in.m_calcDatumGeo = dlg.m_datumGeo;
    in.m_calcDatumPlane = dlg.m_datumPlane;

    double X1, Y1, Z1;
    GeodeticToSpace(s, in.m_calcDatumGeo, dlg.m_bText, dlg.m_lText, AsciiToDouble(dlg.m_hText), &X1,
                    &Y1, &Z1);
    double X2, Y2, Z2;
    PlaneToSpace(s, in.m_calcDatumPlane, dlg.m_x, dlg.m_y, dlg.m_hPlane, &X2, &Y2, &Z2);

    // The plane side minus the geodetic side; rotations and scale stay.
    p.m_seven[0] = TruncateToMillimetre(X2 - X1);
    p.m_seven[1] = TruncateToMillimetre(Y2 - Y1);
    p.m_seven[2] = TruncateToMillimetre(Z2 - Z1);

    OnSevenParamSettings(s);
}

void OnCalcSeven(ConversionSession& s) {
    ConversionParams& p = s.m_params;
    RememberedInputs& in = s.m_inputs;
    CCalcSevenDlg dlg;
    for (int i = 0; i < 3; ++i) {
        dlg.m_bText[i] = in.m_calcSevenB[i];
        dlg.m_lText[i] = in.m_calcSevenL[i];
        dlg.m_hGeo[i] = in.m_calcSevenH[i];
        dlg.m_x[i] = in.m_calcSevenX[i];
        dlg.m_y[i] = in.m_calcSevenY[i];
        dlg.m_hPlane[i] = in.m_calcSevenZ[i];
    }
    dlg.m_datumGeo = in.m_calcDatumGeo;
    dlg.m_datumPlane = in.m_calcDatumPlane;
    if (dlg.DoModal() != IDOK) return;

    for (int i = 0; i < 3; ++i) {
        in.m_calcSevenB[i] = dlg.m_bText[i];
        in.m_calcSevenL[i] = dlg.m_lText[i];
        in.m_calcSevenH[i] = dlg.m_hGeo[i];
        in.m_calcSevenX[i] = dlg.m_x[i];
        in.m_calcSevenY[i] = dlg.m_y[i];
        in.m_calcSevenZ[i] = dlg.m_hPlane[i];
    }
    in.m_calcDatumGeo = dlg.m_datumGeo;
    in.m_calcDatumPlane = dlg.m_datumPlane;

    // Each pair: the geodetic point (source), then the plane point (target).
    double points[18];
    for (int i = 0; i < 3; ++i) {
        double* pair = points + 6 * i;
        GeodeticToSpace(s, in.m_calcDatumGeo, in.m_calcSevenB[i], in.m_calcSevenL[i],
                        in.m_calcSevenH[i], &pair[0], &pair[1], &pair[2]);
    }
    for (int i = 0; i < 3; ++i) {
        double* pair = points + 6 * i;
        PlaneToSpace(s, in.m_calcDatumPlane, in.m_calcSevenX[i], in.m_calcSevenY[i],
                     in.m_calcSevenZ[i], &pair[3], &pair[4], &pair[5]);
    }
    double* seven = p.m_seven;
    if (!s.m_geo.EstimateSevenParameters(points, &seven[0], &seven[1], &seven[2], &seven[3],
                                         &seven[4], &seven[5], &seven[6])) {
        // The previous parameters stay; they are not shown as a result.
        AfxMessageBox(kSevenNotDetermined, MB_OK | MB_ICONWARNING);
        return;
    }
    OnSevenParamSettings(s);
}

bool OnCalcMulti(ConversionSession& s, FitModel* applied) {
    CCalcMultiDlg dlg(s.m_params);
    dlg.m_sourceDatum = s.m_inputs.m_calcDatumGeo;
    dlg.m_targetDatum = s.m_inputs.m_calcDatumPlane;
    if (dlg.DoModal() != IDOK || !dlg.m_result) return false;
    ApplyFit(*dlg.m_result, dlg.m_level + 1, s);
    if (applied != nullptr) *applied = dlg.m_result->request.model;
    return true;
}

bool OnCalcHeights(ConversionSession& s) {
    CCalcHeightsDlg dlg(s.m_params);
    dlg.m_inputs = s.m_heightInputs;
    const bool applied = dlg.DoModal() == IDOK && dlg.m_result;
    s.m_heightInputs = dlg.m_inputs;
    if (!applied) return false;
    ApplyHeightFit(*dlg.m_result, s);
    return true;
}

void OnZoneChange(ConversionSession& s) {
    s.m_zoneChange = 0;
    if (EditProjection(s.m_params.m_projBefore, -1)) ++s.m_zoneChange;
    // The second dialog opens whatever the first one's answer.
    if (EditProjection(s.m_params.m_projAfter, 1)) ++s.m_zoneChange;
    if (s.m_zoneChange != 2) s.m_zoneChange = 0;
}

}  // namespace ParamCommands
