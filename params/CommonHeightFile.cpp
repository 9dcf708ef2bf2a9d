#include "params/CommonHeightFile.h"

#include <cmath>

#include "geodesy/Constants.h"
#include "params/ValueText.h"

namespace {

bool English(TextLanguage language) { return language == TextLanguage::English; }

std::string Where(const CommonHeight& p, int index, TextLanguage language) {
    return PointPlace(p.id, p.line, index, language);
}

// A field quoted by its first 80 bytes, cut between characters.
std::string Shown(const std::string& text) {
    if (text.size() <= 80) return text;
    std::size_t cut = 80;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut) + "...";
}

const std::string& FieldText(const CommonHeight& row, int field) {
    return field < 2 ? row.position[field] : field == 2 ? row.h : row.H;
}

std::string FieldName(HeightPositions positions, int field, TextLanguage language) {
    static const char* const kEnglish[2][4] = {{"x", "y", "ellipsoidal height h", "normal height H"},
                                               {"latitude", "longitude", "ellipsoidal height h",
                                                "normal height H"}};
    static const char* const kChinese[2][4] = {{"x", "y", "大地高 h", "正常高 H"},
                                               {"纬度", "经度", "大地高 h", "正常高 H"}};
    const int form = positions == HeightPositions::Geodetic ? 1 : 0;
    return English(language) ? kEnglish[form][field] : kChinese[form][field];
}

}  // namespace

std::vector<std::string> CommonHeightColumns(HeightPositions positions, TextLanguage language) {
    const bool geodetic = positions == HeightPositions::Geodetic;
    if (English(language)) {
        return {"name", geodetic ? "B" : "x", geodetic ? "L" : "y", "h", "H", "used",
                "residual (mm)", "flag"};
    }
    return {"点名", geodetic ? "B" : "x", geodetic ? "L" : "y", "大地高 h", "正常高 H",
            "参与计算", "残差(mm)", "标记"};
}

HeightPositions PositionsOf(const CommonHeight& row) {
    return row.position[0].find(':') != std::string::npos ? HeightPositions::Geodetic
                                                           : HeightPositions::Plane;
}

bool ReadHeightRow(const CommonHeight& row, int index, HeightPositions positions,
                   TextLanguage language, HeightRowValues* values, int* field,
                   std::string* error) {
    const bool en = English(language);
    const bool geodetic = positions == HeightPositions::Geodetic;
    double v[4];
    for (int i = 0; i < 4; ++i) {
        const std::string& text = FieldText(row, i);
        const bool angle = geodetic && i < 2;
        const bool read = angle ? ReadAngleText(text, &v[i]) : ReadNumberText(text, &v[i]);
        std::string why;
        if (!read) {
            why = en ? std::string("is not ") +
                           (angle ? "an angle text DDD:MM:SS.ffff" : "a number")
                     : std::string("不是") + (angle ? "“度:分:秒”形式的角度（DDD:MM:SS.ffff）" : "数字");
        } else if (angle && i == 0 && v[i] > 90 * kDegToRad) {
            why = en ? "is beyond 90 degrees" : "超过 90 度";
        } else if (!angle) {
            const double limit = i >= 2 ? kHeightValueLimit
                                 : i == 0 ? kHeightNorthingLimit
                                          : kHeightEastingLimit;
            if (std::fabs(v[i]) > limit) {
                why = en ? (i >= 2 ? "is beyond 10 km, no height of a mark on the earth"
                                   : "is beyond the coordinates of any point of the earth")
                         : (i >= 2 ? "超过 10 公里，不可能是地面点的高" : "超出地球上点的坐标范围");
            }
        }
        if (why.empty()) continue;
        *field = i;
        const std::string name = FieldName(positions, i, language);
        *error = en ? Where(row, index, language) + ": the " + name + " '" + Shown(text) + "' " + why
                    : Where(row, index, language) + "：" + name + "“" + Shown(text) + "”" + why;
        return false;
    }
    values->position[0] = v[0], values->position[1] = v[1];
    values->h = v[2], values->H = v[3];
    return true;
}

bool ParseCommonHeights(std::string_view bytes, TextLanguage language,
                        std::vector<CommonHeight>* points, HeightPositions* positions,
                        std::string* error, TextEncoding encoding) {
    std::vector<CommonHeight> read;
    PointNameCheck names;
    HeightPositions form = HeightPositions::Plane;
    const bool ok = SplitPointFile(bytes, language, encoding, error, [&](PointFileLine& l) {
        std::vector<std::string>& fields = l.fields;
        if (fields.size() != 5) {
            const std::string n = std::to_string(fields.size());
            *error = PointLineError(
                language, l.line,
                "expected 5 fields (name, x y or B L, ellipsoidal height h, normal height H), "
                "found " + n,
                "应有 5 项（点名、x y 或 B L、大地高 h、正常高 H），实有 " + n + " 项");
            return false;
        }
        if (!names.Add(l, language, error)) return false;
        CommonHeight p;
        p.id = std::move(fields[0]);
        p.position[0] = std::move(fields[1]);
        p.position[1] = std::move(fields[2]);
        p.h = std::move(fields[3]);
        p.H = std::move(fields[4]);
        p.line = l.line;
        if (read.empty()) form = PositionsOf(p);
        HeightRowValues values;
        int field = 0;
        if (!ReadHeightRow(p, static_cast<int>(read.size()), form, language, &values, &field,
                           error)) {
            return false;
        }
        read.push_back(std::move(p));
        return true;
    });
    if (!ok) return false;
    *points = std::move(read);
    *positions = form;
    return true;
}

bool ReadCommonHeightFile(const std::string& path, TextLanguage language,
                          std::vector<CommonHeight>* points, HeightPositions* positions,
                          std::string* error, TextEncoding encoding) {
    std::string bytes;
    if (!ReadPointFileBytes(path, language, "无法读取公共高程点文件。", &bytes, error)) {
        return false;
    }
    std::string message;
    if (!ParseCommonHeights(bytes, language, points, positions, &message, encoding)) {
        *error = InFile(path, message, language);
        return false;
    }
    return true;
}

bool FormatCommonHeights(const std::vector<CommonHeight>& points, TextLanguage language,
                         std::string* text, std::string* error) {
    std::string out;
    for (std::size_t r = 0; r < points.size(); ++r) {
        const CommonHeight& p = points[r];
        const bool ok = PointNameCanBeRead(p.id) &&
                        PointFieldCanBeRead(p.position[0]) && PointFieldCanBeRead(p.position[1]) &&
                        PointFieldCanBeRead(p.h) && PointFieldCanBeRead(p.H);
        if (!ok) {
            *error = UnwritableRowError(r, language);
            return false;
        }
        out += p.id + ' ' + p.position[0] + ' ' + p.position[1] + ' ' + p.h + ' ' + p.H + '\n';
    }
    *text = std::move(out);
    return true;
}

bool WriteCommonHeightFile(const std::string& path, const std::vector<CommonHeight>& points,
                           TextLanguage language, std::string* error) {
    std::string text;
    if (!FormatCommonHeights(points, language, &text, error)) return false;
    return WritePointFileText(path, text, language, "无法保存公共高程点文件。", error);
}
