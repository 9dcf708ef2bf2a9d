// CGeoCore: the stateless geodetic computation core.
//
// Units everywhere: angles in radians (except the two decimal-degree fields
// of ProjectionRecord), lengths in metres. An ellipsoid is passed as its
// semi-major axis a (m) and inverse flattening rf. Results are written
// through pointers; no operation throws or reports an error.
#pragma once

#include <string>

// The three kinds of coordinates, in the order of the main window's radio
// buttons and with the numbers project files store.
enum class CoordinateKind : int { Space = 0, Geodetic = 1, Plane = 2 };

// The projections of a plane system, with the numbers project files store.
// A project file may bring any other number: it projects by Gauss-Krueger.
enum class ProjectionKind : int { Gauss3 = 0, Gauss6 = 1, GaussCustom = 2, Mercator = 3, Utm = 4 };

// Projection settings of one plane system.
struct ProjectionRecord {
    ProjectionKind kind = ProjectionKind::Gauss3;
    double centralMeridian = 114.0;  // decimal degrees
    int xConstant = 0;             // whole metres added to the northing
    int yConstant = 500000;        // whole metres added to the easting
    int zoneNumber = 0;            // stored in project files, read by no computation
    double scale = 1.0;            // applied to projected coordinates
    double baseLatitude = 0.0;     // Mercator base latitude, decimal degrees
    bool operator==(const ProjectionRecord&) const = default;
};

// The settings a conversion chain reads: the seven parameters, the two local
// levels, the datums and switches of the last preparation, the projections
// before and after the zone change and the two ellipsoids. Copied by value
// into every chain.
struct ConversionParams {
    double m_seven[7] = {};   // dX, dY, dZ (m), rX, rY, rZ (rad), m (scale change)
    double m_local1[4] = {};  // Xo, Yo (m), T (rad), K (factor; 0 = unset)
    double m_local2[4] = {};
    int m_savedSourceDatum = 0;
    int m_savedTargetDatum = 0;
    int m_savedUseFour = 0;
    int m_savedUseSeven = 0;
    ProjectionRecord m_projBefore;
    ProjectionRecord m_projAfter;
    double m_sourceEllipsoid[2] = {6378245.0, 298.3};  // a, rf
    double m_targetEllipsoid[2] = {6378245.0, 298.3};
    bool operator==(const ConversionParams&) const = default;
};

// Number of datums in every datum list.
constexpr int kDatumCount = 5;
// Index of the CGCS2000 datum, the last of the lists.
constexpr int kDatumCgcs2000 = 4;

// Reads the C library's atof rules in the C locale whatever the process
// locale is: leading white space skipped, the longest valid prefix read,
// 0 when there is none.
double AsciiToDouble(const char* text);
inline double AsciiToDouble(const std::string& text) { return AsciiToDouble(text.c_str()); }

// printf("%.*f", decimals, value) in the C locale.
std::string FormatFixed(double value, int decimals);
// Writes the same characters into buf (at least 350 + decimals bytes); returns the length.
int FormatFixedTo(char* buf, int size, double value, int decimals);

class CGeoCore {
public:
    virtual ~CGeoCore() = default;

    // --- Angle texts "DDD:MM:SS.ffffff" ---
    // Text to radians; a sign applies to the degree field only.
    double ParseDmsText(const std::string& text) const;
    // Text to radians; a leading "-" negates the whole angle.
    double ParseSignedDmsText(const std::string& text) const;
    // Radians to text with a six-digit fraction, "-" for negatives; truncates.
    std::string FormatDmsSigned(double r) const;
    // Radians to unsigned text; a negative value is first increased by 3.1415926535898.
    std::string FormatDmsPositive(double r) const;
    // Radians to whole-second text "DDD:MM:SS".
    std::string FormatDmsWhole(double r) const;

    // --- Ellipsoids ---
    // a and rf of datum index 0..4 (Beijing-54, National-80, WGS-84, WGS-72,
    // CGCS2000); returns false (a, rf untouched) outside.
    static bool DatumTable(int index, double* a, double* rf);
    void GeodeticToSpace(double a, double rf, double B, double L, double H, double* X, double* Y,
                         double* Z) const;
    // Closed-form series, no iteration. L is the principal arctangent in (-pi/2, pi/2).
    void SpaceToGeodetic(double a, double rf, double X, double Y, double Z, double* B, double* L,
                         double* H) const;

    // --- Projections (bare: no scale, no false offsets) ---
    void GaussForward(double a, double rf, double B, double L, double L0, double* x,
                      double* y) const;
    void GaussInverse(double a, double rf, double x, double y, double L0, double* B,
                      double* L) const;
    void MercatorForward(double a, double rf, double B, double L, double B0, double L0, double* x,
                         double* y) const;
    // Searches latitudes 0..pi/2; where no root is found, B is set to 0.
    void MercatorInverse(double a, double rf, double x, double y, double L0, double B0, double* B,
                         double* L) const;
    void UtmForward(double a, double rf, double B, double L, double L0, double* x,
                    double* y) const;
    void UtmInverse(double a, double rf, double x, double y, double L0, double* B,
                    double* L) const;
    double MercatorResidual(double e, double target, double B) const;
    // Scan-and-bisect root finder over MercatorResidual(e, target, .); returns the count found.
    int FindRootsInInterval(double e, double target, double lo, double hi, double step, double tol,
                            double* roots, int capacity) const;
    double FootpointSeries(double mu, double c2, double c4, double c6, double B) const;
    // Steffensen iteration for B = FootpointSeries(B); returns limit minus iterations used.
    int SolveFixedPoint(double* start, double tol, int limit, double mu, double c2, double c4,
                        double c6) const;

    // --- Transformations and chains ---
    void ApplySevenParameters(double dX, double dY, double dZ, double rX, double rY, double rZ,
                              double m, ConversionParams params, double* X, double* Y,
                              double* Z) const;
    void ApplyFourParameters(double Xo, double Yo, double T, double K, double* x,
                             double* y) const;
    void GeodeticToPlaneChain(double B, double L, double H, ConversionParams params, double* x,
                              double* y, double* h) const;
    void PlaneToGeodeticChain(double x, double y, double h, ConversionParams params, double* B,
                              double* L, double* H) const;
    void PlaneToGeodetic(double a, double rf, double x, double y, double h,
                         ConversionParams params, double* B, double* L, double* H) const;
    void ShiftGeodetic(double* B, double* L, ConversionParams params) const;

    // --- Estimation numerics (row-major matrices owned by the caller) ---
    int SolveLinearSystem(double* A, int n, double* b, int* pivot) const;
    int QrDecompose(double* A, int m, int n, double* Q) const;
    int SolveLeastSquares(double* A, int m, int n, double* l, double* Q) const;
    // points: three pairs, each source X, Y, Z then target X, Y, Z (18 values).
    // Returns false and leaves the outputs untouched when the points do not
    // determine the parameters.
    bool EstimateSevenParameters(const double points[18], double* dX, double* dY, double* dZ,
                                 double* rX, double* rY, double* rZ, double* m) const;
    // points: two pairs, each target x, y, h then source x, y, h (12 values).
    void EstimateFourParameters(const double points[12], double* Xo, double* Yo, double* T,
                                double* K) const;
};
