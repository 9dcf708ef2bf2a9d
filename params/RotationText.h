// Rotation angles (radians) as the signed angle texts of their edits, for
// the seven-parameter dialog and the local-transform pages.
#pragma once

#include <string>

class CGeoCore;

// The text of the nearest millionth of an arc-second. The core's text
// truncates, which would show -1.5" as -000:00:01.499999.
std::string FormatRotation(const CGeoCore& geo, double radians);

// The radians of an edited rotation text. The text shown for `shown`, left
// as it was, gives `shown` itself: it holds only millionths of an arc-second.
double ParseRotation(const CGeoCore& geo, const std::string& text, double shown);
