// Geoid grids: .gtx and ESRI ASCII readers, bilinear interpolation.
#include "geodesy/GeoidGrid.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#include "geodesy/Constants.h"
#include "geodesy/GeoCore.h"

namespace {

double BigEndianDouble(const unsigned char* p) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits = bits << 8 | p[i];
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

std::uint32_t BigEndianWord(const unsigned char* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// The .gtx no-data value.
bool GtxMissing(float v) { return v > -88.88881f && v < -88.88879f; }

bool GoodLayout(double south, double west, double dLat, double dLon, std::int64_t rows,
                std::int64_t columns) {
    return std::isfinite(south) && std::isfinite(west) && dLat > 0 && dLon > 0 &&
           std::isfinite(dLat) && std::isfinite(dLon) && rows >= 2 && columns >= 2 &&
           rows * columns <= kMaxGeoidNodes && south >= -90.0001 &&
           south + dLat * static_cast<double>(rows - 1) <= 90.0001 && std::fabs(west) <= 360 &&
           dLon * static_cast<double>(columns - 1) <= 360.0001;
}

// One blank-separated word of an ASCII grid, advancing `pos`; empty at the end.
std::string_view NextWord(std::string_view text, std::size_t* pos) {
    std::size_t i = *pos;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' ||
                               text[i] == '\n')) {
        ++i;
    }
    const std::size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r' &&
           text[i] != '\n') {
        ++i;
    }
    *pos = i;
    return text.substr(start, i - start);
}

bool ReadNumber(std::string_view word, double* value) {
    if (word.empty() || word.size() > 64) return false;
    const std::string text(word);
    // Only digits, signs, points and exponents reach strtod: no locale, no hex.
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E')) {
            return false;
        }
    }
    *value = AsciiToDouble(text);
    return std::isfinite(*value);
}

bool SameKey(std::string_view word, const char* key) {
    const std::size_t n = std::strlen(key);
    if (word.size() != n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        char c = word[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != key[i]) return false;
    }
    return true;
}

}  // namespace

bool GeoidGrid::Parse(std::string_view bytes, std::string* error) {
    GeoidGrid grid;
    std::size_t start = 0;
    while (start < bytes.size() && (bytes[start] == ' ' || bytes[start] == '\t')) ++start;
    const std::string_view head = bytes.substr(start, 5);
    if (SameKey(head, "ncols") || SameKey(head, "nrows")) {
        // ESRI ASCII: six header lines in any order, then the rows from the north.
        double ncols = -1, nrows = -1, xll = NAN, yll = NAN, cell = -1, nodata = NAN;
        bool corner = false;
        std::size_t pos = 0;
        for (int k = 0; k < 6; ++k) {
            const std::string_view key = NextWord(bytes, &pos);
            double v;
            if (!ReadNumber(NextWord(bytes, &pos), &v)) {
                if (SameKey(key, "nodata_value")) {
                    *error = "NODATA_value 不是数";
                } else {
                    *error = "格网文件头不完整";
                }
                return false;
            }
            if (SameKey(key, "ncols")) {
                ncols = v;
            } else if (SameKey(key, "nrows")) {
                nrows = v;
            } else if (SameKey(key, "xllcorner")) {
                xll = v, corner = true;
            } else if (SameKey(key, "xllcenter")) {
                xll = v;
            } else if (SameKey(key, "yllcorner")) {
                yll = v, corner = true;
            } else if (SameKey(key, "yllcenter")) {
                yll = v;
            } else if (SameKey(key, "cellsize")) {
                cell = v;
            } else if (SameKey(key, "nodata_value")) {
                nodata = v;
            } else {
                *error = "格网文件头不完整";
                return false;
            }
        }
        if (ncols != std::floor(ncols) || nrows != std::floor(nrows) || std::isnan(xll) ||
            std::isnan(yll) || ncols > 1e9 || nrows > 1e9) {
            *error = "格网文件头不完整";
            return false;
        }
        // A corner origin is the outer corner of the first cell; its node is the cell's centre.
        const double half = corner ? cell / 2 : 0;
        const auto rows = static_cast<std::int64_t>(nrows), columns = static_cast<std::int64_t>(ncols);
        if (!GoodLayout(yll + half, xll + half, cell, cell, rows, columns)) {
            *error = "格网的范围或间隔不合理";
            return false;
        }
        grid.m_south = yll + half, grid.m_west = xll + half;
        grid.m_dLat = grid.m_dLon = cell;
        grid.m_rows = static_cast<int>(rows), grid.m_columns = static_cast<int>(columns);
        const std::size_t count = static_cast<std::size_t>(rows * columns);
        grid.m_values.assign(count, 0.0f);
        grid.m_missing.assign(count, false);
        for (std::int64_t r = rows - 1; r >= 0; --r) {
            for (std::int64_t c = 0; c < columns; ++c) {
                double v;
                if (!ReadNumber(NextWord(bytes, &pos), &v)) {
                    *error = "格网数据不足或含非数值";
                    return false;
                }
                const std::size_t i = static_cast<std::size_t>(r * columns + c);
                grid.m_values[i] = static_cast<float>(v);
                grid.m_missing[i] = !std::isnan(nodata) && v == nodata;
            }
        }
        if (!NextWord(bytes, &pos).empty()) {
            *error = "格网数据多于文件头所说";
            return false;
        }
    } else {
        if (bytes.size() < 40) {
            *error = "不是 .gtx 或 .asc 格网文件";
            return false;
        }
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        const double south = BigEndianDouble(p), west = BigEndianDouble(p + 8);
        const double dLat = BigEndianDouble(p + 16), dLon = BigEndianDouble(p + 24);
        const std::int64_t rows = static_cast<std::int32_t>(BigEndianWord(p + 32));
        const std::int64_t columns = static_cast<std::int32_t>(BigEndianWord(p + 36));
        if (!GoodLayout(south, west, dLat, dLon, rows, columns)) {
            *error = "不是 .gtx 或 .asc 格网文件";
            return false;
        }
        const std::size_t count = static_cast<std::size_t>(rows * columns);
        if (bytes.size() != 40 + 4 * count) {
            *error = "格网文件的长度与文件头不符";
            return false;
        }
        grid.m_south = south, grid.m_west = west > 180 ? west - 360 : west;
        grid.m_dLat = dLat, grid.m_dLon = dLon;
        grid.m_rows = static_cast<int>(rows), grid.m_columns = static_cast<int>(columns);
        grid.m_values.resize(count);
        grid.m_missing.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t bits = BigEndianWord(p + 40 + 4 * i);
            float v;
            std::memcpy(&v, &bits, 4);
            grid.m_values[i] = v;
            grid.m_missing[i] = !std::isfinite(v) || GtxMissing(v);
        }
    }
    grid.m_wraps = grid.m_dLon * grid.m_columns >= 360 - 1e-9;
    *this = std::move(grid);
    return true;
}

bool GeoidGrid::Node(int row, int column, double* value) const {
    const std::size_t i = static_cast<std::size_t>(row) * static_cast<std::size_t>(m_columns) +
                          static_cast<std::size_t>(column);
    if (m_missing[i]) return false;
    *value = m_values[i];
    return true;
}

bool GeoidGrid::Value(double B, double L, double* value) const {
    if (m_values.empty() || !std::isfinite(B) || !std::isfinite(L)) return false;
    const double lat = B * kRadToDeg;
    double lon = L * kRadToDeg;
    double gy = (lat - m_south) / m_dLat;
    const double north = m_rows - 1;
    if (gy < -1e-9 || gy > north + 1e-9) return false;
    double gx = (lon - m_west) / m_dLon;
    if (m_wraps) {
        const double period = 360 / m_dLon;
        gx = std::fmod(gx, period);
        if (gx < 0) gx += period;
    } else {
        // The grid's longitudes may be counted from 0 to 360 or from -180.
        if (gx < -1e-9) gx += 360 / m_dLon;
        if (gx > m_columns - 1 + 1e-9) gx -= 360 / m_dLon;
        if (gx < -1e-9 || gx > m_columns - 1 + 1e-9) return false;
    }
    gy = std::fmin(std::fmax(gy, 0.0), north);
    if (!m_wraps) gx = std::fmin(std::fmax(gx, 0.0), m_columns - 1.0);
    int ix = static_cast<int>(std::floor(gx));
    int iy = static_cast<int>(std::floor(gy));
    if (ix >= m_columns) ix = m_columns - 1;
    const double fx = gx - ix, fy = gy - iy;
    int ix2 = ix + 1;
    if (ix2 >= m_columns) ix2 = m_wraps ? 0 : m_columns - 1;
    const int iy2 = iy + 1 >= m_rows ? m_rows - 1 : iy + 1;
    const int rows[4] = {iy, iy, iy2, iy2};
    const int columns[4] = {ix, ix2, ix, ix2};
    const double weights[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
    double sum = 0, total = 0;
    int found = 0;
    for (int k = 0; k < 4; ++k) {
        double v;
        if (!Node(rows[k], columns[k], &v)) continue;
        sum += v * weights[k];
        total += weights[k];
        ++found;
    }
    if (found == 0 || !(total > 0)) return false;
    *value = found == 4 ? sum : sum / total;
    return true;
}
