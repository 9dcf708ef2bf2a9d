// The one-line summary of the session that the main window shows at its
// bottom: datums, projection, switches and zone change.
#pragma once

#include <string>

#include "session/ConversionSession.h"

// Short name of a datum index ("北京-54", ... "CGCS2000", then the user's
// names); "?" outside the lists.
std::string DatumShortName(int datum);

// The zone of a projection with its central meridian: 3° zones at multiples
// of 3, 6° and UTM zones at the middle of theirs; 0 for none.
int ProjectionZone(const ProjectionRecord& p);

// "北京-54 → WGS-84 | 高斯投影3度带 中央子午线 114° 第38带 | 七参数 关 | 四参数 开",
// with "| 换带 114° → 117°" at the end while the zone change is active.
std::string SessionStatusText(const ConversionSession& s);
