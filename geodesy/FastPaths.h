// Forms of CGeoCore operations for loops over many points: they read the
// settings by reference and write texts into caller buffers, and give exactly
// the results of the operations they stand for.
#pragma once

#include <string_view>

#include "geodesy/GeoCore.h"

// AsciiToDouble of the text [begin, end); a NUL byte ends the text early, as
// it ends a C string.
double AsciiToDouble(const char* begin, const char* end);

// AsciiToDouble of a field's text. *whole, when asked for, tells whether the
// text is a decimal number and nothing else: blanks, an optional sign,
// digits with an optional point (at least one digit), an optional exponent,
// blanks. Empty texts, "0x1p3", "inf", "3512345 512345" and "12m" are not.
double ReadNumberField(std::string_view text, bool* whole);

// Room for any angle text of FormatDmsPositiveTo, terminator included.
inline constexpr int kDmsTextSize = 400;

// CGeoCore::FormatDmsPositive into `buf` (kDmsTextSize bytes); returns the length.
int FormatDmsPositiveTo(double r, char* buf);

// CGeoCore::ParseDmsText of a text given as a view.
double ParseDmsView(std::string_view text);
// The same; *whole tells whether the text is "D:M:S" with exactly two colons
// and each part a whole number (ReadNumberField).
double ParseDmsField(std::string_view text, bool* whole);

// The chains of CGeoCore, with the settings read in place instead of copied.
void ApplySevenParametersRef(const CGeoCore& core, const double seven[7],
                             const ConversionParams& params, double* X, double* Y, double* Z);
void GeodeticToPlaneChainRef(const CGeoCore& core, double B, double L, double H,
                             const ConversionParams& params, double* x, double* y, double* h);
void PlaneToGeodeticChainRef(const CGeoCore& core, double x, double y, double h,
                             const ConversionParams& params, double* B, double* L, double* H);
void PlaneToGeodeticRef(const CGeoCore& core, double a, double rf, double x, double y, double h,
                        const ConversionParams& params, double* B, double* L, double* H);
void ShiftGeodeticRef(const CGeoCore& core, double* B, double* L, const ConversionParams& params);
