// GeoidGrid: a grid of geoid heights or height anomalies (metres) over
// geodetic latitude and longitude, read from a .gtx file (the binary format
// of PROJ's vertical grids) or an ESRI ASCII grid (.asc), and interpolated
// bilinearly as PROJ's vgridshift does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Grids larger than this many nodes are refused (EGM96 at 1' has 140 million).
inline constexpr long long kMaxGeoidNodes = 200'000'000;

class GeoidGrid {
public:
    // Reads a grid from the bytes of a file; the format by its content (a
    // .asc grid starts with "ncols" or "nrows"). False with the reason in
    // *error (without the file's name), the grid then unchanged.
    bool Parse(std::string_view bytes, std::string* error);

    // The value at latitude B, longitude L (radians), bilinear between the
    // four nodes around the point; nodes without data are left out and the
    // others weighted up. False when the point lies outside the grid (or all
    // four nodes lack data); *value then untouched. A grid that spans the
    // whole world in longitude wraps around.
    bool Value(double B, double L, double* value) const;

    bool Empty() const { return m_values.empty(); }
    int Rows() const { return m_rows; }
    int Columns() const { return m_columns; }
    // Node of row 0, column 0 (south-west) and the spacing, degrees.
    double South() const { return m_south; }
    double West() const { return m_west; }
    double LatitudeStep() const { return m_dLat; }
    double LongitudeStep() const { return m_dLon; }

private:
    bool Node(int row, int column, double* value) const;

    double m_south = 0, m_west = 0, m_dLat = 0, m_dLon = 0;
    int m_rows = 0, m_columns = 0;
    bool m_wraps = false;
    std::vector<float> m_values;  // row-major from the south-west node
    std::vector<bool> m_missing;  // nodes without data
};

// File name of the EGM96 grid at 15' as PROJ's data package ships it.
inline constexpr const char kEgm96FileName[] = "egm96_15.gtx";
