// Constants and small helpers of the computation core, each defined once.
// The results depend on their exact values.
#pragma once

// Degrees to radians as every angle of the program is converted:
// 0.017453292519943334, which is not the double nearest pi/180 (see
// kDegToRadExact) but the factor the stored results were computed with.
inline constexpr double kDegToRad = 0.017453292519943334;
// The double nearest pi/180, used by the projections where their series
// take the central meridian and the base latitude to radians.
inline constexpr double kDegToRadExact = 0.017453292519943295;
// Radians to degrees.
inline constexpr double kRadToDeg = 57.295779513082195;
// One arc-second in degrees.
inline constexpr double kArcSecondInDegrees = 0.0002777777777777778;
// The half turn added to a negative longitude or angle text: pi rounded to
// thirteen decimals.
inline constexpr double kHalfTurn = 3.1415926535898;

inline constexpr double Sq(double v) { return v * v; }

// First eccentricity squared of an ellipsoid with inverse flattening rf.
inline constexpr double EccentricitySq(double rf) { return 1.0 - Sq(1.0 - 1.0 / rf); }
