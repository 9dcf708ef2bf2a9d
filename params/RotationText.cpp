#include "params/RotationText.h"

#include "geodesy/Constants.h"
#include "geodesy/GeoCore.h"

namespace {
// Half a millionth of an arc-second, in radians.
constexpr double kHalfLastDigit = 0.5e-6 * kArcSecondInDegrees * kDegToRad;
}  // namespace

std::string FormatRotation(const CGeoCore& geo, double radians) {
    return geo.FormatDmsSigned(radians < 0 ? radians - kHalfLastDigit : radians + kHalfLastDigit);
}

double ParseRotation(const CGeoCore& geo, const std::string& text, double shown) {
    if (text == FormatRotation(geo, shown)) return shown;
    return geo.ParseSignedDmsText(text);
}
