#include "params/CommonPointFile.h"

#include <cerrno>
#include <cstring>
#include <unordered_map>

#include "io/AtomicFile.h"
#include "io/CodePage.h"
#include "io/File.h"

namespace {

bool English(TextLanguage language) { return language == TextLanguage::English; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Characters of the two-byte range of UTF-8 a common-point file may hold:
// ° ± µ · × and the Greek letters.
bool PlausibleTwoByte(unsigned cp) {
    return cp == 0xB0 || cp == 0xB1 || cp == 0xB5 || cp == 0xB7 || cp == 0xD7 ||
           (cp >= 0x391 && cp <= 0x3C9);
}

// True when the bytes are UTF-8 throughout (overlong forms and surrogates
// excluded); *implausible, when given, tells whether a character of the
// two-byte range is not PlausibleTwoByte.
bool IsUtf8(std::string_view s, bool* implausible = nullptr) {
    if (implausible) *implausible = false;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int extra;
        unsigned min;
        unsigned cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1, min = 0x80, cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, min = 0x800, cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, min = 0x10000, cp = c & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= s.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        if (implausible && extra == 1 && !PlausibleTwoByte(cp)) *implausible = true;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

// The fields of one line; false when two commas have nothing between them.
bool SplitLine(std::string_view line, std::vector<std::string>* fields) {
    fields->clear();
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    while (i < line.size()) {
        const std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i]) && line[i] != ',') ++i;
        if (i == start) return false;  // a comma where a field should be
        fields->emplace_back(line.substr(start, i - start));
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i < line.size() && line[i] == ',') {
            ++i;
            while (i < line.size() && IsBlank(line[i])) ++i;
        }
    }
    return true;
}

std::string LineError(TextLanguage language, int line, const std::string& english,
                      const std::string& chinese) {
    if (English(language)) return "line " + std::to_string(line) + ": " + english;
    return "第 " + std::to_string(line) + " 行：" + chinese;
}

std::string NameUsedError(TextLanguage language, int line, const std::string& name, int before) {
    const std::string other = std::to_string(before);
    return LineError(language, line, "the name " + name + " is already used on line " + other,
                     "点名 " + name + " 与第 " + other + " 行的点重名");
}

// A row of headings: `name` among its first two cells.
bool HeadingRow(const std::vector<std::string>& fields, const std::string& name) {
    for (std::size_t i = 0; i < fields.size() && i < 2; ++i) {
        if (fields[i] == name) return true;
    }
    return false;
}

bool IsBlankLine(std::string_view line) {
    std::size_t first = 0;
    while (first < line.size() && IsBlank(line[first])) ++first;
    return first == line.size() || line[first] == '#';
}

// Calls `each(line, lineNo)` for every line of `text` (LF or CR LF) that is
// not blank or a comment, the line without its break; stops, returning
// false, when `each` does.
template <class Each>
bool ForEachPointLine(std::string_view text, Each each) {
    int lineNo = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!IsBlankLine(line) && !each(line, lineNo)) return false;
    }
    return true;
}

bool FieldCanBeRead(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (IsBlank(c) || c == ',' || c == '\n' || c == '\r') return false;
    }
    return true;
}

}  // namespace

bool ParseCommonPointLine(std::string_view line, int lineNo, TextLanguage language,
                          CommonPoint* point, std::string* error) {
    std::vector<std::string> fields;
    if (!SplitLine(line, &fields)) {
        *error = LineError(language, lineNo, "an empty field between two commas",
                           "两个逗号之间缺少数据");
        return false;
    }
    if (fields.size() != 7) {
        const std::string n = std::to_string(fields.size());
        *error = LineError(language, lineNo,
                           "expected 7 fields (name, three source values, three target "
                           "values), found " +
                               n,
                           "应有 7 项（点名、源坐标三个值、目标坐标三个值），实有 " + n + " 项");
        return false;
    }
    CommonPoint p;
    p.id = fields[0];
    for (int i = 0; i < 3; ++i) {
        p.source[i] = fields[1 + i];
        p.target[i] = fields[4 + i];
    }
    p.line = lineNo;
    *point = std::move(p);
    return true;
}

bool ParsePastedCommonPoints(std::string_view text, const std::vector<std::string>& takenNames,
                             TextLanguage language, std::vector<CommonPoint>* points,
                             std::vector<std::string>* problems) {
    std::vector<CommonPoint> read;
    std::vector<std::string> found;
    std::unordered_map<std::string, int> lineOfName;
    for (const std::string& name : takenNames) lineOfName.emplace(name, 0);
    const std::string tableName = English(language) ? "name" : "点名";
    bool first = true;
    ForEachPointLine(text, [&](std::string_view line, int lineNo) {
        if (first) {
            first = false;
            std::vector<std::string> fields;
            if (SplitLine(line, &fields) && HeadingRow(fields, tableName)) return true;
        }
        if (!IsUtf8(line)) {
            found.push_back(
                LineError(language, lineNo, "not valid UTF-8", "不是有效的 UTF-8 文本"));
            return true;
        }
        CommonPoint p;
        std::string error;
        if (!ParseCommonPointLine(line, lineNo, language, &p, &error)) {
            found.push_back(error);
            return true;
        }
        const auto [known, fresh] = lineOfName.emplace(p.id, lineNo);
        if (!fresh) {
            found.push_back(known->second == 0
                                ? LineError(language, lineNo,
                                            "the name " + p.id + " is already in the table",
                                            "点名 " + p.id + " 已在表中")
                                : NameUsedError(language, lineNo, p.id, known->second));
            return true;
        }
        p.line = 0;  // typed, not read from a file
        read.push_back(std::move(p));
        return true;
    });
    *problems = std::move(found);
    if (!problems->empty()) return false;
    *points = std::move(read);
    return true;
}

TextEncoding DetectCommonPointEncoding(std::string_view bytes) {
    const bool bom = bytes.substr(0, 3) == "\xEF\xBB\xBF";
    if (bom) bytes.remove_prefix(3);
    bool implausible = false;
    if (!IsUtf8(bytes, &implausible)) return TextEncoding::Gb18030;
    return bom || !implausible ? TextEncoding::Utf8 : TextEncoding::Gb18030;
}

bool ParseCommonPoints(std::string_view bytes, TextLanguage language,
                       std::vector<CommonPoint>* points, std::string* error,
                       TextEncoding encoding) {
    if (!bytes.empty() && bytes.back() == '\x1A') bytes.remove_suffix(1);
    if (encoding == TextEncoding::Detect) encoding = DetectCommonPointEncoding(bytes);
    // A byte-order mark is no text in either encoding.
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    std::string converted;
    if (encoding == TextEncoding::Gb18030) {
        converted = Gb18030ToUtf8(std::string(bytes));
        bytes = converted;
    }
    std::vector<CommonPoint> read;
    std::unordered_map<std::string, int> lineOfName;
    const bool complete = ForEachPointLine(bytes, [&](std::string_view line, int lineNo) {
        if (encoding == TextEncoding::Utf8 && !IsUtf8(line)) {
            *error = LineError(language, lineNo, "not valid UTF-8", "不是有效的 UTF-8 文本");
            return false;
        }
        CommonPoint p;
        if (!ParseCommonPointLine(line, lineNo, language, &p, error)) return false;
        const auto [known, fresh] = lineOfName.emplace(p.id, lineNo);
        if (!fresh) {
            *error = NameUsedError(language, lineNo, p.id, known->second);
            return false;
        }
        read.push_back(std::move(p));
        return true;
    });
    if (!complete) return false;
    *points = std::move(read);
    return true;
}

bool ReadCommonPointFile(const std::string& path, TextLanguage language,
                         std::vector<CommonPoint>* points, std::string* error,
                         TextEncoding encoding) {
    std::string bytes;
    try {
        CFile file(path, CFile::modeRead | CFile::typeBinary);
        char buf[65536];
        for (std::size_t n; (n = file.Read(buf, sizeof buf)) > 0;) bytes.append(buf, n);
        file.Close();
    } catch (const CFileException& e) {
        if (English(language)) {
            *error = "cannot read '" + path + "': " +
                     (e.m_cause == CFileException::isDirectory
                          ? std::string("it is a directory")
                          : std::string(std::strerror(e.m_lOsError != 0 ? e.m_lOsError : EIO)));
        } else {
            *error = "无法读取公共点文件。" + e.GetErrorMessage();
        }
        return false;
    }
    std::string message;
    if (!ParseCommonPoints(bytes, language, points, &message, encoding)) {
        *error = (English(language) ? "'" + path + "', " : "“" + path + "”") + message;
        return false;
    }
    return true;
}

bool FormatCommonPoints(const std::vector<CommonPoint>& points, TextLanguage language,
                        std::string* text, std::string* error) {
    std::string out;
    for (std::size_t r = 0; r < points.size(); ++r) {
        const CommonPoint& p = points[r];
        bool ok = FieldCanBeRead(p.id) && p.id[0] != '#';
        for (int i = 0; i < 3; ++i)
            ok = ok && FieldCanBeRead(p.source[i]) && FieldCanBeRead(p.target[i]);
        if (!ok) {
            const std::string row = std::to_string(r + 1);
            *error = English(language)
                         ? "row " + row +
                               ": a name or value is empty, contains a blank, tab or comma, or "
                               "the name starts with '#'"
                         : "第 " + row +
                               " 行的点名或坐标为空，或含有空格、制表符、逗号，"
                               "或点名以“#”开头，写入后无法读回";
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
    try {
        CAtomicFile::WriteWhole(path, text);
    } catch (const CFileException& e) {
        if (English(language)) {
            *error = "cannot write '" + path +
                     "': " + std::strerror(e.m_lOsError != 0 ? e.m_lOsError : EIO);
        } else {
            *error = "无法保存公共点文件。" + e.GetErrorMessage();
        }
        return false;
    }
    return true;
}
