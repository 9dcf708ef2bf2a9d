#include "session/UserDatums.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "io/AtomicFile.h"
#include "io/CodePage.h"
#include "io/File.h"
#include "io/FileException.h"
#include "platform/Platform.h"
#include "session/AppPaths.h"

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

bool HasControlCharacter(std::string_view text) {
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return true;
    }
    return false;
}

// Valid UTF-8 is what comes back unchanged through GB18030.
bool ValidUtf8(const std::string& text) { return Gb18030ToUtf8(Utf8ToGb18030(text)) == text; }

DatumProblem Problem(DatumField field, std::string message) { return {field, std::move(message)}; }

const char kAxisField[] = "长半轴 a（米）";
const char kFlatteningField[] = "扁率倒数 1/f";

struct ListFile {
    std::string path;
    bool damaged = false;
    std::string damage;  // the message of the damage
};

ListFile& TheFile() {
    static ListFile file;
    return file;
}

}  // namespace

int BuiltInDatumIndex(const std::string& name) {
    static constexpr struct {
        const char* text;
        int index;
    } kNames[] = {
        {"beijing54", 0},     {"beijing-54", 0},    {"北京-54坐标系", 0}, {"北京-54", 0},
        {"北京54", 0},        {"national80", 1},    {"national-80", 1},   {"国家-80坐标系", 1},
        {"国家-80", 1},       {"国家80", 1},        {"wgs84", 2},         {"wgs-84", 2},
        {"wgs-84坐标系", 2},  {"wgs72", 3},         {"wgs-72", 3},        {"wgs-72坐标系", 3},
        {"cgcs2000", 4},      {"cgcs2000坐标系", 4},
    };
    const std::string lower = AsciiLower(Trim(name));
    for (const auto& n : kNames) {
        if (lower == n.text) return n.index;
    }
    return -1;
}

bool ReadDatumNumber(const std::string& text, double* value) {
    const std::string_view t = Trim(text);
    if (t.empty()) return false;
    const char* first = t.data();
    if (*first == '+') ++first;  // from_chars takes no plus sign
    double v = 0;
    const auto [end, ec] = std::from_chars(first, t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size() || !std::isfinite(v)) return false;
    *value = v;
    return true;
}

std::string DatumNumberText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

const UserDatum* UserDatumList::At(int index) const {
    // Any int a project file brings, INT_MIN included.
    if (index < kDatumCount || index - kDatumCount >= Count()) return nullptr;
    return &m_datums[static_cast<std::size_t>(index - kDatumCount)];
}

int UserDatumList::IndexOf(const std::string& name) const {
    const std::string key = AsciiLower(Trim(name));
    for (int i = 0; i < Count(); ++i) {
        if (AsciiLower(m_datums[static_cast<std::size_t>(i)].name) == key) return kDatumCount + i;
    }
    return -1;
}

std::optional<DatumProblem> UserDatumList::Check(const UserDatum& d) const {
    const std::string_view name = Trim(d.name);
    if (name.empty()) return Problem(DatumField::Name, "请输入坐标系名称。");
    if (name.size() != d.name.size() || HasControlCharacter(name) || !ValidUtf8(d.name)) {
        return Problem(DatumField::Name,
                       "坐标系名称不能以空格开头或结尾，也不能含有制表符、换行等控制字符。");
    }
    if (AllDigits(name)) {
        return Problem(DatumField::Name,
                       "坐标系名称不能只由数字组成（命令行以数字选择坐标系的序号）。");
    }
    if (BuiltInDatumIndex(d.name) >= 0) {
        return Problem(DatumField::Name, "坐标系名称“" + d.name + "”是内置坐标系的名称，请另取一个。");
    }
    if (IndexOf(d.name) >= 0) {
        return Problem(DatumField::Name, "坐标系名称“" + d.name + "”已经在列表中，请另取一个。");
    }
    if (!(d.a >= kMinSemiMajorAxis && d.a <= kMaxSemiMajorAxis)) {
        return Problem(DatumField::SemiMajorAxis,
                       std::string(kAxisField) + "须在 6300000 与 6400000 米之间。");
    }
    if (!(d.rf >= kMinInverseFlattening && d.rf <= kMaxInverseFlattening)) {
        return Problem(DatumField::InverseFlattening,
                       std::string(kFlatteningField) + "须在 250 与 350 之间。");
    }
    return std::nullopt;
}

std::optional<DatumProblem> UserDatumList::CheckTexts(const std::string& name,
                                                      const std::string& aText,
                                                      const std::string& rfText,
                                                      UserDatum* datum) const {
    UserDatum d;
    d.name = std::string(Trim(name));
    // The name first, so that the message names the first field in the dialog.
    d.a = kMinSemiMajorAxis;
    d.rf = kMinInverseFlattening;
    if (auto problem = Check(d)) return problem;
    if (!ReadDatumNumber(aText, &d.a)) {
        return Problem(DatumField::SemiMajorAxis,
                       std::string(kAxisField) + "须是一个数，例如 6378245。");
    }
    if (!ReadDatumNumber(rfText, &d.rf)) {
        return Problem(DatumField::InverseFlattening,
                       std::string(kFlatteningField) + "须是一个数，例如 298.3。");
    }
    if (auto problem = Check(d)) return problem;
    *datum = d;
    return std::nullopt;
}

int UserDatumList::Add(const UserDatum& datum, DatumProblem* problem) {
    if (auto p = Check(datum)) {
        if (problem) *problem = *p;
        return -1;
    }
    m_datums.push_back(datum);
    return kDatumCount + Count() - 1;
}

bool UserDatumList::Remove(int index) {
    if (At(index) == nullptr) return false;
    m_datums.erase(m_datums.begin() + (index - kDatumCount));
    return true;
}

std::string UserDatumList::ToText() const {
    std::string text = std::string(kUserDatumsHeader) + "\n";
    text += "# 坐标系参数：名称<TAB>长半轴 a（米）<TAB>扁率倒数 1/f\n";
    for (const UserDatum& d : m_datums) {
        text += d.name + "\t" + DatumNumberText(d.a) + "\t" + DatumNumberText(d.rf) + "\n";
    }
    return text;
}

bool UserDatumList::FromText(const std::string& text, std::string* error) {
    UserDatumList read;
    std::string_view rest = text;
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);
    int lineNumber = 0;
    auto fail = [&](const std::string& cause) {
        if (error) *error = "第 " + std::to_string(lineNumber) + " 行" + cause;
        return false;
    };
    while (!rest.empty()) {
        const std::size_t lf = rest.find('\n');
        std::string_view line = rest.substr(0, lf);
        rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++lineNumber;
        if (lineNumber == 1) {
            if (line != kUserDatumsHeader) {
                return fail(std::string("不是“") + kUserDatumsHeader + "”");
            }
            continue;
        }
        if (Trim(line).empty() || line.front() == '#') continue;
        const std::size_t tab1 = line.find('\t');
        const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string_view::npos || line.find('\t', tab2 + 1) != std::string_view::npos) {
            return fail("不是“名称<TAB>a<TAB>1/f”三项");
        }
        UserDatum d;
        d.name = std::string(line.substr(0, tab1));
        if (!ReadDatumNumber(std::string(line.substr(tab1 + 1, tab2 - tab1 - 1)), &d.a)) {
            return fail("的长半轴 a 不是数");
        }
        if (!ReadDatumNumber(std::string(line.substr(tab2 + 1)), &d.rf)) {
            return fail("的扁率倒数 1/f 不是数");
        }
        DatumProblem problem;
        if (read.Add(d, &problem) < 0) return fail("：" + problem.message);
    }
    if (lineNumber == 0) return fail(std::string("不是“") + kUserDatumsHeader + "”");
    *this = std::move(read);
    return true;
}

std::string UserDatumsPath(const std::string& appDir, const std::string& configFolder) {
    const std::string store = FormatStorePath(appDir, configFolder);
    return store.substr(0, store.rfind('/') + 1) + kUserDatumsFileName;
}

std::string UserDatumsPath(const std::string& appDir) {
    return UserDatumsPath(appDir, Platform::UserConfigFolder());
}

UserDatumList& UserDatums() {
    static UserDatumList list;
    return list;
}

const std::string& UserDatumsFile() { return TheFile().path; }

bool LoadUserDatums(const std::string& path, std::string* error) {
    ListFile& file = TheFile();
    file = ListFile{path, false, {}};
    UserDatums() = UserDatumList();
    CFile in;
    CFileException openError;
    std::string cause;
    bool opened = true;
    if (!in.Open(path, CFile::modeRead, &openError)) {
        if (openError.m_cause == CFileException::fileNotFound) return true;
        cause = openError.GetErrorMessage();
        opened = false;
    } else {
        try {
            std::string bytes;
            char buffer[8192];
            for (std::size_t n; (n = in.Read(buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
            in.Close();
            UserDatumList read;
            if (read.FromText(bytes, &cause)) {
                UserDatums() = std::move(read);
                return true;
            }
        } catch (const CFileException& e) {
            cause = e.GetErrorMessage();
        }
    }
    file.damaged = true;
    file.damage = "自定义坐标系文件“" + path + "”无法读取（" + cause +
                  "）。坐标系参数列表暂为空；在修正或移走该文件之前，程序不会改写它。";
    // A file (or settings folder) this user may not open is no news at every
    // start, as the program's other settings are not; saving over it says so.
    if (!opened) return true;
    if (error) *error = file.damage;
    return false;
}

bool SaveUserDatums(std::string* error) {
    const ListFile& file = TheFile();
    if (file.damaged) {
        if (error) *error = file.damage;
        return false;
    }
    if (file.path.empty()) {
        if (error) *error = "没有保存自定义坐标系的位置。";
        return false;
    }
    std::string folderError;
    if (!CreateFoldersFor(file.path, &folderError)) {
        if (error) *error = "无法保存自定义坐标系。" + folderError;
        return false;
    }
    try {
        CAtomicFile::WriteWhole(file.path, UserDatums().ToText());
    } catch (const CFileException& e) {
        if (error) *error = "无法保存自定义坐标系。" + e.GetErrorMessage();
        return false;
    }
    return true;
}

int DatumCount() { return kDatumCount + UserDatums().Count(); }

bool DatumEllipsoid(int index, double* a, double* rf) {
    if (CGeoCore::DatumTable(index, a, rf)) return true;
    const UserDatum* d = UserDatums().At(index);
    if (d == nullptr) return false;
    *a = d->a;
    *rf = d->rf;
    return true;
}

std::string DatumListName(int index) {
    static const char* const kNames[] = {"北京-54坐标系", "国家-80坐标系", "WGS-84坐标系",
                                         "WGS-72坐标系", "CGCS2000坐标系"};
    if (index >= 0 && index < kDatumCount) return kNames[index];
    const UserDatum* d = UserDatums().At(index);
    return d ? d->name : "?";
}
