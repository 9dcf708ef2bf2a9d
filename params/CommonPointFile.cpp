#include "params/CommonPointFile.h"

bool ParseCommonPoints(std::string_view bytes, TextLanguage language,
                       std::vector<CommonPoint>* points, std::string* error,
                       TextEncoding encoding) {
    std::vector<CommonPoint> read;
    PointNameCheck names;
    const bool ok = SplitPointFile(bytes, language, encoding, error, [&](PointFileLine& l) {
        std::vector<std::string>& fields = l.fields;
        if (fields.size() != 7) {
            const std::string n = std::to_string(fields.size());
            *error = PointLineError(
                language, l.line,
                "expected 7 fields (name, three source values, three target values), found " + n,
                "应有 7 项（点名、源坐标三个值、目标坐标三个值），实有 " + n + " 项");
            return false;
        }
        if (!names.Add(l, language, error)) return false;
        CommonPoint p;
        p.id = std::move(fields[0]);
        for (int i = 0; i < 3; ++i) {
            p.source[i] = std::move(fields[1 + i]);
            p.target[i] = std::move(fields[4 + i]);
        }
        p.line = l.line;
        read.push_back(std::move(p));
        return true;
    });
    if (!ok) return false;
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
