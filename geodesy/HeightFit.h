// HeightFit: the height anomaly ζ = h − H (ellipsoidal minus normal height)
// as a surface over the horizontal position, fitted by least squares to
// common points that have both heights, alone or on top of a geoid grid
// (remove–restore: the surface is fitted to ζ − N and N added back).
//
// Surfaces, in the point's offsets from the centroid of the used points:
//   constant  a0                                   at least 1 point
//   plane     a0 + a1 Δx + a2 Δy                   at least 3 points, not on a line
//   quadric   plane + a3 Δx² + a4 Δx Δy + a5 Δy²   at least 6 points
// Δx (north) and Δy (east) are metres on a sphere of radius kHeightFrameRadius
// through the centroid, Δx = R (B − B0), Δy = R cos B0 (L − L0), divided by
// the scale: the largest distance of a used point from the centroid, so that
// every used point has |Δ| ≤ 1. Standard library and crmath only.
//
// Each point is tested as the seven- and four-parameter fits test theirs:
// Pope's τ-test with σ0 of the fit, one component a point, τ² = v² / (σ0² r)
// against the (1 − α) quantile of τ² (r the point's redundancy number, the
// diagonal of Q_vv P, from its own design row: nothing of size n × n is
// formed); a check point by its prediction error, v² / (σ0² (1 + q)) against
// the quantile of F(1, f).
#pragma once

#include <optional>
#include <vector>

#include "geodesy/ParameterFit.h"

class GeoidGrid;

enum class HeightSurface : int { Constant = 0, Plane = 1, Quadric = 2 };

// Unknowns of a surface (1, 3, 6), which is also the fewest points it takes.
int SurfaceUnknowns(HeightSurface surface);

// The radius of the horizontal frame of the surfaces, metres.
inline constexpr double kHeightFrameRadius = 6371000.0;
// A converted point farther than this fraction of the used points' extent
// (the larger side of their bounding box in the frame) outside that box is
// an extrapolation of a plane or quadric surface.
inline constexpr double kExtrapolationMargin = 0.1;

// A fitted height model: what conversions need to compute ζ at a point.
struct HeightModel {
    HeightSurface surface = HeightSurface::Constant;
    bool onGeoid = false;  // ζ = N(B, L) + surface
    double centroidB = 0;  // radians
    double centroidL = 0;
    double scale = 1;  // metres, > 0
    double coefficients[6] = {};  // a0 (m), a1..a5 (m per scale unit, squared)
    // Bounding box of the used points in scaled offsets: min Δx, max Δx, min Δy, max Δy.
    double extent[4] = {};

    // The scaled offsets of B, L (radians).
    void Offsets(double B, double L, double* dx, double* dy) const;
    // The surface's value at B, L: ζ, or ζ − N on a geoid.
    double Surface(double B, double L) const;
    // True when the surface extrapolates at B, L (plane and quadric only).
    bool Extrapolates(double B, double L) const;
    // ζ at B, L; false when the model is on a geoid and the point lies outside it.
    bool Anomaly(const GeoidGrid* geoid, double B, double L, double* zeta) const;

    bool operator==(const HeightModel&) const = default;
};

// A common point: geodetic position (radians), ellipsoidal height h and
// normal height H (metres).
struct HeightPoint {
    double B = 0, L = 0;
    double h = 0, H = 0;
    bool used = true;  // false: a check point, given a residual but left out
};

enum class HeightStatus {
    Solved,
    TooFewPoints,      // fewer used points than the surface's unknowns
    SingularGeometry,  // the points do not fix the surface (on one line for the plane)
    OutOfRange,        // a value not a number or beyond reason (point in `first`)
    OutsideGeoid,      // a point outside the geoid grid (point in `first`)
    NoGeoid,           // on a geoid asked, none given
};

struct HeightResidual {
    double v = 0;  // observed ζ minus the model's ζ, metres
    // Metres north and east of the centroid in the frame (unscaled): where
    // the point lies on the map.
    double north = 0, east = 0;
    // Redundancy number r = 1 − aᵀ (AᵀA)⁻¹ a of a used point (0 for a check
    // point); the redundancy numbers of the used points add up to the
    // redundancy of the fit.
    double redundancy = 0;
    // v / (σ0 √r) of a used point; 0 where r or σ0 is 0 and for check points.
    double standardized = 0;
    // τ² of a used point, v² / (σ0² (1 + q)) of a check point (q = aᵀ (AᵀA)⁻¹ a);
    // none when the fit has no test.
    std::optional<double> statistic;
    bool poorlyChecked = false;    // used, r below kPoorlyChecked
    bool failsTest = false;        // statistic above its critical value
    bool beyondTolerance = false;  // |v| above a given tolerance
    bool flagged = false;          // failsTest or beyondTolerance
};

struct HeightFit {
    HeightStatus status = HeightStatus::TooFewPoints;
    int first = -1;
    HeightModel model;
    int usedPoints = 0;
    int unknowns = 0;
    int redundancy = 0;
    // √(Σv² / redundancy) over the used points, metres; none at redundancy 0.
    std::optional<double> sigma0;
    // The tolerance given (metres); points beyond it are flagged besides the test.
    std::optional<double> tolerance;
    // The test (see the top): `testable` is false when σ0 is 0 or the
    // redundancy is not above 1 (τ² of one point is then always the
    // redundancy): no blunder can be found.
    double alpha = kDefaultAlpha;
    bool testable = false;
    double criticalUsed = 0;   // of τ² of the used points
    double criticalCheck = 0;  // of the check points' statistic
    int poorlyChecked = 0;     // used points so marked
    double deviations[6] = {};  // σ of the coefficients; set with sigma0
    std::vector<HeightResidual> residuals;  // one per input point, in order

    bool Solved() const { return status == HeightStatus::Solved; }
};

// Fits `surface` to the used points; with onGeoid the geoid's N is taken
// from every point first. tolerance: metres, > 0; alpha: the significance of
// the test of each point, 0 < alpha < 0.5. On failure only status and first
// are set.
HeightFit FitHeights(HeightSurface surface, bool onGeoid, const std::vector<HeightPoint>& points,
                     const GeoidGrid* geoid, std::optional<double> tolerance = std::nullopt,
                     double alpha = kDefaultAlpha);
