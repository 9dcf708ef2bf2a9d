// The texts of one point as typed in the main window, checked before they
// are converted: angles in the angle form, everything else a number. The
// conversion itself reads them as it always has.
#pragma once

#include <string>

#include "geodesy/GeoCore.h"

enum class PointTextProblem {
    None,
    Empty,           // nothing typed
    NotNumber,       // a number was expected
    NotAngle,        // an angle was expected and the text is no number either
    DecimalDegrees,  // an angle was expected and the text is a plain number
};

struct PointTextCheck {
    PointTextProblem problem = PointTextProblem::None;
    int field = -1;       // 0..2, the first field with a problem
    double degrees = 0;  // the value of a DecimalDegrees text
};

// Blanks cut at both ends of each text.
void TrimPointTexts(std::string (&texts)[3]);

// The first field of a point of `kind` that does not read: geodetic B and L
// must be angle texts (ReadAngleText), the rest numbers (ReadNumberText).
PointTextCheck CheckPointTexts(CoordinateKind kind, const std::string (&texts)[3]);

// Decimal degrees (0 up to 360) as the angle text "DDD:MM:SS.ffffff",
// rounded to the millionth of a second.
std::string AngleTextOfDegrees(double degrees);
