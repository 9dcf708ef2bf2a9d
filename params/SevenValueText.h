// The seven parameters as the seven-parameter dialog shows and reads them,
// in the units of the report of many common points: the shifts in metres,
// the rotations in arc-seconds, the scale change in ppm, each fixed-point
// with six decimals. Index i is that of ConversionParams::m_seven: dX dY dZ,
// rX rY rZ (radians), m (the factor is 1 + m).
#pragma once

#include <string>

class CGeoCore;

inline constexpr int kSevenValues = 7;

// "米", "秒" or "ppm".
const char* SevenValueUnit(int index);

// The value's text in its unit ("-15.500000", "1.709750" for 1.70975e-06).
std::string FormatSevenValue(int index, double value);

// The value of a text typed in the value's unit: a decimal number; a
// rotation may also be a signed angle text ("-000:00:01.5"). False, *value
// untouched, for anything else.
bool ReadSevenValue(const CGeoCore& geo, int index, const std::string& text, double* value);

// The message for a text ReadSevenValue refuses; `field` names the edit.
std::string SevenValueError(int index, const std::string& field);
