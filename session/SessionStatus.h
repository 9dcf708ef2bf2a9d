// The one-line summary of the session that the main window shows at its
// bottom: datums, projection, switches and zone change.
#pragma once

#include <string>

#include "session/ConversionSession.h"

// Short name of a datum index ("北京-54", ... "CGCS2000"); "?" outside 0..4.
std::string DatumShortName(int datum);

// The zone of a projection with its central meridian: 3° zones at multiples
// of 3, 6° and UTM zones at the middle of theirs; 0 for none.
int ProjectionZone(const ProjectionRecord& p);

// What gives ζ: "平面 (EGM96)", "二次曲面", "常数 (grid.gtx)" for a model
// (on its geoid), "大地水准面 (EGM96)" for a geoid alone, "" for nothing.
std::string HeightsModelText(const SessionHeights& heights);

// "北京-54 → WGS-84 | 高斯投影3度带 中央子午线 114° 第38带 | 七参数 关 | 四参数 开",
// with "| 换带 114° → 117°" at the end while the zone change is active and
// "| 高程拟合: 平面 (EGM96)" while the switch 高程拟合 is on.
std::string SessionStatusText(const ConversionSession& s);
