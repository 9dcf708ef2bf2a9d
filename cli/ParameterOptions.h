// Options that set the parameters and the projection of the session over
// the project file, so that scripts need no project: --seven-params,
// --local1, --local2, --projection, --central-meridian, --scale,
// --false-northing, --false-easting, --base-latitude, --zone.
#pragma once

#include <array>
#include <optional>
#include <string>

class ConversionSession;

struct ParameterOptions {
    std::optional<std::array<double, 7>> seven;   // as m_seven: m, radians, scale change
    std::optional<std::array<double, 4>> local1;  // as m_local1: Xo, Yo (m), T (rad), K
    std::optional<std::array<double, 4>> local2;
    std::optional<int> projection;          // kind 0..4
    std::optional<double> centralMeridian;  // decimal degrees
    std::optional<double> scale;
    std::optional<int> falseNorthing;    // X constant, whole metres
    std::optional<int> falseEasting;     // Y constant, whole metres
    std::optional<double> baseLatitude;  // decimal degrees
    std::optional<int> zone;             // zone number, recorded only
};

// True for the names above; each takes one value.
bool IsParameterOption(const std::string& name);

// Reads the value of option `name` into *options; false with a message for
// the user when the value is bad.
bool ReadParameterOption(const std::string& name, const std::string& value,
                         ParameterOptions* options, std::string* error);

// Lays the given options over the session's record (m_projBefore for the
// projection). Seven parameters turn the seven switch on, a local level the
// four switch; an explicit --seven or --four applied afterwards decides.
void ApplyParameterOptions(const ParameterOptions& options, ConversionSession& session);
