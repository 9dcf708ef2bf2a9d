// The parameter commands of the main window's menu "坐标转换(&C)", as free
// functions over the conversion session. Each opens its dialog modally with
// values copied from the session and copies them back only on OK; the
// computing commands store their results and then show them in the matching
// settings dialog.
#pragma once

#include "geodesy/ParameterFit.h"
#include "ui/params/ParamMessages.h"

class ConversionSession;
class SessionHistory;

namespace ParamCommands {

// IDM_PROJECTION 投影设置: edits m_projBefore.
void OnProjectionSettings(ConversionSession& s);
// IDM_SEVEN_PARAMS 七参数设置: edits m_seven.
void OnSevenParamSettings(ConversionSession& s);
// IDM_FOUR_PARAMS 四参数设置: edits m_local1 and m_local2 in one sheet.
void OnFourParamSettings(ConversionSession& s);
// IDM_CALC_FOUR 计算四参数: level 1 or level 2 from two common points.
void OnCalcFour(ConversionSession& s);
// IDM_DATUM_LIST 坐标系参数: edits the user's datum list; on 确定 takes the
// edited list over, saves it (telling the user when that fails) and maps the
// datum indices of the session and of `history` (when given) past removed
// entries. True when the list changed.
bool OnDatumList(ConversionSession& s, SessionHistory* history);
void OnDatumList(ConversionSession& s);
// IDM_CALC_THREE 计算三参数: the three shifts of m_seven from one common point.
void OnCalcThree(ConversionSession& s);
// IDM_CALC_SEVEN 计算七参数: m_seven from three common points.
void OnCalcSeven(ConversionSession& s);
// IDM_CALC_MULTI 多点计算参数: parameters from a table of common points, the
// datums starting as compute-seven's. "应用" stores the result as ApplyFit
// does and returns true, *applied saying which model it was.
bool OnCalcMulti(ConversionSession& s, FitModel* applied = nullptr);
// IDM_CALC_HEIGHTS 高程拟合: the height anomaly from common points with both
// heights, the table and choices kept in m_heightInputs. "应用" stores the
// model and its geoid in m_heights, turns the switch on and returns true.
bool OnCalcHeights(ConversionSession& s);
// IDM_ZONE_CHANGE 换带计算: m_projBefore and m_projAfter; arms m_zoneChange (2) only
// when both dialogs end with OK.
void OnZoneChange(ConversionSession& s);

}  // namespace ParamCommands
