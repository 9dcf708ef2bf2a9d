#include "params/CommonPointFile.h"

#include <unordered_map>

namespace {

// The point of a line of seven fields; false with the message otherwise.
bool PointOf(const PointFileLine& l, TextLanguage language, CommonPoint* point,
             std::string* error) {
    const std::vector<std::string>& fields = l.fields;
    if (fields.size() != 7) {
        const std::string n = std::to_string(fields.size());
        *error = PointLineError(
            language, l.line,
            "expected 7 fields (name, three source values, three target values), found " + n,
            "应有 7 项（点名、源坐标三个值、目标坐标三个值），实有 " + n + " 项");
        return false;
    }
    CommonPoint p;
    p.id = fields[0];
    for (int i = 0; i < 3; ++i) {
        p.source[i] = fields[1 + i];
        p.target[i] = fields[4 + i];
    }
    p.line = l.line;
    *point = std::move(p);
    return true;
}

// A row of headings: `name` among its first two cells.
bool HeadingRow(const std::vector<std::string>& fields, const std::string& name) {
    for (std::size_t i = 0; i < fields.size() && i < 2; ++i) {
        if (fields[i] == name) return true;
    }
    return false;
}

}  // namespace

bool ParseCommonPoints(std::string_view bytes, TextLanguage language,
                       std::vector<CommonPoint>* points, std::string* error,
                       TextEncoding encoding) {
    std::vector<CommonPoint> read;
    PointNameCheck names;
    const bool ok = SplitPointFile(bytes, language, encoding, error, [&](PointFileLine& l) {
        CommonPoint p;
        if (!PointOf(l, language, &p, error) || !names.Add(l, language, error)) return false;
        read.push_back(std::move(p));
        return true;
    });
    if (!ok) return false;
    *points = std::move(read);
    return true;
}

bool ParsePastedCommonPoints(std::string_view text, const std::vector<std::string>& takenNames,
                             TextLanguage language, std::vector<CommonPoint>* points,
                             std::vector<std::string>* problems) {
    std::vector<CommonPoint> read;
    std::vector<std::string> found;
    PointNameCheck names;
    std::unordered_map<std::string, bool> inTable;
    for (const std::string& name : takenNames) inTable.emplace(name, true);
    const std::string tableName = language == TextLanguage::English ? "name" : "点名";
    bool first = true;
    std::string unused;
    SplitPointFile(
        text, language, TextEncoding::Utf8, &unused,
        [&](PointFileLine& l) {
            const bool heading = first && HeadingRow(l.fields, tableName);
            first = false;
            if (heading) return true;
            std::string error;
            CommonPoint p;
            if (!PointOf(l, language, &p, &error)) {
                found.push_back(std::move(error));
            } else if (inTable.count(p.id) != 0) {
                found.push_back(PointLineError(language, l.line,
                                               "the name " + p.id + " is already in the table",
                                               "点名 " + p.id + " 已在表中"));
            } else if (!names.Add(l, language, &error)) {
                found.push_back(std::move(error));
            } else {
                p.line = 0;  // typed, not read from a file
                read.push_back(std::move(p));
            }
            return true;
        },
        &found);
    *problems = std::move(found);
    if (!problems->empty()) return false;
    *points = std::move(read);
    return true;
}

bool ReadCommonPointFile(const std::string& path, TextLanguage language,
                         std::vector<CommonPoint>* points, std::string* error,
                         TextEncoding encoding) {
    std::string bytes;
    if (!ReadPointFileBytes(path, language, "无法读取公共点文件。", &bytes, error)) return false;
    std::string message;
    if (!ParseCommonPoints(bytes, language, points, &message, encoding)) {
        *error = InFile(path, message, language);
        return false;
    }
    return true;
}

bool FormatCommonPoints(const std::vector<CommonPoint>& points, TextLanguage language,
                        std::string* text, std::string* error) {
    std::string out;
    for (std::size_t r = 0; r < points.size(); ++r) {
        const CommonPoint& p = points[r];
        bool ok = PointNameCanBeRead(p.id);
        for (int i = 0; i < 3; ++i)
            ok = ok && PointFieldCanBeRead(p.source[i]) && PointFieldCanBeRead(p.target[i]);
        if (!ok) {
            *error = UnwritableRowError(r, language);
            return false;
        }
        out += p.id;
        for (const std::string& v : p.source) out += ' ' + v;
        for (const std::string& v : p.target) out += ' ' + v;
        out += '\n';
    }
    *text = std::move(out);
    return true;
}

bool WriteCommonPointFile(const std::string& path, const std::vector<CommonPoint>& points,
                          TextLanguage language, std::string* error) {
    std::string text;
    if (!FormatCommonPoints(points, language, &text, error)) return false;
    return WritePointFileText(path, text, language, "无法保存公共点文件。", error);
}
