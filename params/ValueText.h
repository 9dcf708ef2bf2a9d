// Strict readers of the values in common-point tables and script options:
// a text is either entirely a value or refused, never read as far as it goes.
#pragma once

#include <string_view>

// A decimal number ("-12.5", "3.2e6", "+7"), finite. The value is the one
// atof gives, as everywhere in the program.
bool ReadNumberText(std::string_view text, double* value);

// An angle text "DDD:MM:SS" or "DDD:MM:SS.ffff" without sign: digits only,
// two colons, minutes and seconds below 60. The value in radians is the one
// CGeoCore::ParseDmsText gives.
bool ReadAngleText(std::string_view text, double* radians);

// The same text as decimal degrees, D + M / 60 + S / 3600, so that whole
// degrees and minutes come out exact ("117:30:00" is 117.5).
bool ReadAngleDegrees(std::string_view text, double* degrees);
