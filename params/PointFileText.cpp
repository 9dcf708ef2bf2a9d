#include "params/PointFileText.h"

#include <cerrno>
#include <cstring>

#include "io/AtomicFile.h"
#include "io/CodePage.h"
#include "io/File.h"

namespace {

bool English(TextLanguage language) { return language == TextLanguage::English; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Characters of the two-byte range of UTF-8 a point file may hold:
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

std::string OsMessage(int error) { return std::strerror(error != 0 ? error : EIO); }

}  // namespace

TextEncoding DetectPointFileEncoding(std::string_view bytes) {
    const bool bom = bytes.substr(0, 3) == "\xEF\xBB\xBF";
    if (bom) bytes.remove_prefix(3);
    bool implausible = false;
    if (!IsUtf8(bytes, &implausible)) return TextEncoding::Gb18030;
    return bom || !implausible ? TextEncoding::Utf8 : TextEncoding::Gb18030;
}

std::string PointLineError(TextLanguage language, int line, const std::string& english,
                           const std::string& chinese) {
    if (English(language)) return "line " + std::to_string(line) + ": " + english;
    return "第 " + std::to_string(line) + " 行：" + chinese;
}

bool SplitPointFile(std::string_view bytes, TextLanguage language, TextEncoding encoding,
                    std::string* error, const std::function<bool(PointFileLine&)>& take) {
    if (!bytes.empty() && bytes.back() == '\x1A') bytes.remove_suffix(1);
    if (encoding == TextEncoding::Detect) encoding = DetectPointFileEncoding(bytes);
    // A byte-order mark is no text in either encoding.
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    std::string converted;
    if (encoding == TextEncoding::Gb18030) {
        converted = Gb18030ToUtf8(std::string(bytes));
        bytes = converted;
    }
    PointFileLine l;
    int lineNo = 0;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::size_t first = 0;
        while (first < line.size() && IsBlank(line[first])) ++first;
        if (first == line.size() || line[first] == '#') continue;
        if (encoding == TextEncoding::Utf8 && !IsUtf8(line)) {
            *error = PointLineError(language, lineNo, "not valid UTF-8", "不是有效的 UTF-8 文本");
            return false;
        }
        l.line = lineNo;
        if (!SplitLine(line, &l.fields)) {
            *error = PointLineError(language, lineNo, "an empty field between two commas",
                                    "两个逗号之间缺少数据");
            return false;
        }
        if (!take(l)) return false;
    }
    return true;
}

bool PointNameCheck::Add(const PointFileLine& l, TextLanguage language, std::string* error) {
    if (l.fields.empty()) return true;
    const std::string& name = l.fields[0];
    const auto [known, fresh] = m_lineOfName.emplace(name, l.line);
    if (fresh) return true;
    const std::string before = std::to_string(known->second);
    *error = PointLineError(language, l.line,
                            "the name " + name + " is already used on line " + before,
                            "点名 " + name + " 与第 " + before + " 行的点重名");
    return false;
}

std::string PointPlace(const std::string& id, int line, int row, TextLanguage language) {
    if (English(language)) {
        return (line > 0 ? "line " + std::to_string(line) : "row " + std::to_string(row + 1)) +
               " (point " + id + ")";
    }
    return (line > 0 ? "第 " + std::to_string(line) + " 行"
                     : "表中第 " + std::to_string(row + 1) + " 行") +
           "（点 " + id + "）";
}

bool PointFieldCanBeRead(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (IsBlank(c) || c == ',' || c == '\n' || c == '\r') return false;
    }
    return true;
}

bool PointNameCanBeRead(const std::string& name) {
    return PointFieldCanBeRead(name) && name[0] != '#' && name.compare(0, 3, "\xEF\xBB\xBF") != 0;
}

std::string UnwritableRowError(std::size_t row, TextLanguage language) {
    const std::string n = std::to_string(row + 1);
    return English(language) ? "row " + n +
                                   ": a name or value is empty, contains a blank, tab or comma, "
                                   "or the name starts with '#'"
                             : "第 " + n +
                                   " 行的点名或数据为空，或含有空格、制表符、逗号，"
                                   "或点名以“#”开头，写入后无法读回";
}

std::string InFile(const std::string& path, const std::string& message, TextLanguage language) {
    return (English(language) ? "'" + path + "', " : "“" + path + "”") + message;
}

bool ReadPointFileBytes(const std::string& path, TextLanguage language, const char* chinese,
                        std::string* bytes, std::string* error) {
    std::string read;
    try {
        CFile file(path, CFile::modeRead | CFile::typeBinary);
        char buf[65536];
        for (std::size_t n; (n = file.Read(buf, sizeof buf)) > 0;) read.append(buf, n);
        file.Close();
    } catch (const CFileException& e) {
        if (English(language)) {
            *error = "cannot read '" + path + "': " +
                     (e.m_cause == CFileException::isDirectory ? std::string("it is a directory")
                                                               : OsMessage(e.m_lOsError));
        } else {
            *error = chinese + e.GetErrorMessage();
        }
        return false;
    }
    *bytes = std::move(read);
    return true;
}

bool WritePointFileText(const std::string& path, const std::string& text, TextLanguage language,
                        const char* chinese, std::string* error) {
    try {
        CAtomicFile::WriteWhole(path, text);
    } catch (const CFileException& e) {
        if (English(language)) {
            *error = "cannot write '" + path + "': " + OsMessage(e.m_lOsError);
        } else {
            *error = chinese + e.GetErrorMessage();
        }
        return false;
    }
    return true;
}
