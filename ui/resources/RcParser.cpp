#include "ui/resources/RcParser.h"

#include <cctype>
#include <cstring>
#include <set>
#include <stdexcept>

namespace {

struct ParseError {
    int line;
    std::string what;
    std::string file = {};  // empty: the script itself
};

enum class Tok { End, Number, String, Ident, Comma, Pipe, Directive };

struct Token {
    Tok kind = Tok::End;
    std::string text;  // identifier, string contents or number digits
    long long number = 0;
    int line = 0;
};

const char* TokName(Tok kind) {
    switch (kind) {
        case Tok::End:
            return "end of file";
        case Tok::Number:
            return "a number";
        case Tok::String:
            return "a string";
        case Tok::Ident:
            return "a keyword";
        case Tok::Comma:
            return "\",\"";
        case Tok::Pipe:
            return "\"|\"";
        case Tok::Directive:
            return "a # line";
    }
    return "?";
}

// Line of the first byte that is not part of valid UTF-8, 0 when all is valid.
int FirstInvalidUtf8Line(std::string_view text) {
    int line = 1;
    size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n') ++line;
        size_t length = c < 0x80           ? 1
                        : (c >> 5) == 0x6  ? 2
                        : (c >> 4) == 0xE  ? 3
                        : (c >> 3) == 0x1E ? 4
                                           : 0;
        if (length == 0 || (length == 2 && c < 0xC2) || i + length > text.size()) return line;
        unsigned codePoint = length == 1 ? c : c & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return line;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        if ((length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000) ||
            codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
            return line;
        }
        i += length;
    }
    return 0;
}

class Lexer {
public:
    explicit Lexer(std::string_view text) : m_text(text) {
        if (m_text.substr(0, 3) == "\xEF\xBB\xBF") m_pos = 3;
    }

    Token Next() {
        SkipBlanks();
        Token token;
        token.line = m_line;
        if (m_pos >= m_text.size()) return token;
        char c = m_text[m_pos];
        if (c == ',') {
            ++m_pos;
            token.kind = Tok::Comma;
        } else if (c == '|') {
            ++m_pos;
            token.kind = Tok::Pipe;
        } else if (c == '#') {
            // The rest of the line, comment and all; the parser reads it.
            token.kind = Tok::Directive;
            size_t start = ++m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] != '\n') ++m_pos;
            token.text = std::string(m_text.substr(start, m_pos - start));
        } else if (c == '"') {
            token.kind = Tok::String;
            token.text = ReadString();
        } else if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) {
            token.kind = Tok::Number;
            ReadNumber(&token);
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            token.kind = Tok::Ident;
            size_t start = m_pos;
            while (
                m_pos < m_text.size() &&
                (std::isalnum(static_cast<unsigned char>(m_text[m_pos])) || m_text[m_pos] == '_')) {
                ++m_pos;
            }
            token.text = std::string(m_text.substr(start, m_pos - start));
        } else {
            throw ParseError{m_line, "unexpected character \"" + std::string(1, c) + "\""};
        }
        return token;
    }

private:
    void SkipBlanks() {
        while (m_pos < m_text.size()) {
            char c = m_text[m_pos];
            if (c == '\n') {
                ++m_line;
                ++m_pos;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++m_pos;
            } else if (c == '/' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '/') {
                while (m_pos < m_text.size() && m_text[m_pos] != '\n') ++m_pos;
            } else {
                break;
            }
        }
    }

    std::string ReadString() {
        std::string out;
        ++m_pos;  // opening quote
        for (;;) {
            if (m_pos >= m_text.size() || m_text[m_pos] == '\n' || m_text[m_pos] == '\r') {
                throw ParseError{m_line, "string not closed on its line"};
            }
            char c = m_text[m_pos++];
            if (c == '"') {
                if (m_pos < m_text.size() && m_text[m_pos] == '"') {
                    out += '"';
                    ++m_pos;
                } else {
                    return out;
                }
            } else if (c == '\\' && m_pos < m_text.size() && m_text[m_pos] == 't') {
                out += '\t';  // the tab before a menu item's key
                ++m_pos;
            } else {
                out += c;
            }
        }
    }

    void ReadNumber(Token* token) {
        size_t start = m_pos;
        bool negative = m_text[m_pos] == '-';
        if (negative) ++m_pos;
        size_t digits = m_pos;
        while (m_pos < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
        bool trailing =
            m_pos < m_text.size() &&
            (std::isalnum(static_cast<unsigned char>(m_text[m_pos])) || m_text[m_pos] == '_');
        std::string text(m_text.substr(start, m_pos - start));
        if (m_pos == digits || trailing) {
            while (m_pos < m_text.size() && std::isalnum(static_cast<unsigned char>(m_text[m_pos])))
                ++m_pos;
            throw ParseError{m_line, "\"" + std::string(m_text.substr(start, m_pos - start)) +
                                         "\" is not a decimal number"};
        }
        if (m_pos - digits > 9) throw ParseError{m_line, "number " + text + " is too large"};
        token->text = text;
        token->number = std::stoll(text);
    }

    std::string_view m_text;
    size_t m_pos = 0;
    int m_line = 1;
};

// Where a style name may be used.
enum StyleContext : unsigned {
    kDialog = 1u << 0,
    kDialogEx = 1u << 1,
    kButton = 1u << 2,
    kStatic = 1u << 3,
    kEdit = 1u << 4,
    kCombo = 1u << 5,
    kList = 1u << 6,
    kTab = 1u << 7,
    kListView = 1u << 8,
    kProgress = 1u << 9,
    kPane = 1u << 10,
    kAnyControl =
        kButton | kStatic | kEdit | kCombo | kList | kTab | kListView | kProgress | kPane,
};

struct StyleName {
    const char* name;
    DWORD value;
    unsigned contexts;
    DWORD typeMask;  // nonzero: the style is a value of this field, not a flag
};

constexpr DWORD kEditAlignMask = 0x3;

const StyleName kStyles[] = {
    {"WS_VISIBLE", WS_VISIBLE, kDialog | kAnyControl, 0},
    {"WS_DISABLED", WS_DISABLED, kDialog | kAnyControl, 0},
    {"WS_CHILD", WS_CHILD, kDialog | kAnyControl, 0},
    {"WS_BORDER", WS_BORDER, kDialog | kAnyControl, 0},
    {"WS_GROUP", WS_GROUP, kAnyControl, 0},
    {"WS_TABSTOP", WS_TABSTOP, kAnyControl, 0},
    {"WS_VSCROLL", WS_VSCROLL, kAnyControl, 0},
    {"WS_HSCROLL", WS_HSCROLL, kAnyControl, 0},
    {"WS_POPUP", WS_POPUP, kDialog, 0},
    {"WS_CAPTION", WS_CAPTION, kDialog, 0},
    {"WS_SYSMENU", WS_SYSMENU, kDialog, 0},
    {"WS_MINIMIZEBOX", WS_MINIMIZEBOX, kDialog, 0},
    {"WS_THICKFRAME", WS_THICKFRAME, kDialog, 0},
    {"DS_MODALFRAME", DS_MODALFRAME, kDialog, 0},
    {"DS_SETFONT", DS_SETFONT, kDialog, 0},
    {"DS_3DLOOK", DS_3DLOOK, kDialog, 0},
    {"DS_CENTER", DS_CENTER, kDialog, 0},
    {"WS_EX_APPWINDOW", WS_EX_APPWINDOW, kDialogEx, 0},
    {"ES_LEFT", ES_LEFT, kEdit, kEditAlignMask},
    {"ES_CENTER", ES_CENTER, kEdit, kEditAlignMask},
    {"ES_RIGHT", ES_RIGHT, kEdit, kEditAlignMask},
    {"ES_MULTILINE", ES_MULTILINE, kEdit, 0},
    {"ES_AUTOVSCROLL", ES_AUTOVSCROLL, kEdit, 0},
    {"ES_AUTOHSCROLL", ES_AUTOHSCROLL, kEdit, 0},
    {"ES_READONLY", ES_READONLY, kEdit, 0},
    {"ES_WANTRETURN", ES_WANTRETURN, kEdit, 0},
    {"SS_LEFT", SS_LEFT, kStatic, SS_TYPEMASK},
    {"SS_CENTER", SS_CENTER, kStatic, SS_TYPEMASK},
    {"SS_RIGHT", SS_RIGHT, kStatic, SS_TYPEMASK},
    {"SS_SUNKEN", SS_SUNKEN, kStatic, 0},
    {"BS_PUSHBUTTON", BS_PUSHBUTTON, kButton, BS_TYPEMASK},
    {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON, kButton, BS_TYPEMASK},
    {"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX, kButton, BS_TYPEMASK},
    {"BS_AUTORADIOBUTTON", BS_AUTORADIOBUTTON, kButton, BS_TYPEMASK},
    {"BS_GROUPBOX", BS_GROUPBOX, kButton, BS_TYPEMASK},
    {"LBS_NOTIFY", LBS_NOTIFY, kList, 0},
    {"LBS_SORT", LBS_SORT, kList, 0},
    {"CBS_SIMPLE", CBS_SIMPLE, kCombo, CBS_TYPEMASK},
    {"CBS_DROPDOWN", CBS_DROPDOWN, kCombo, CBS_TYPEMASK},
    {"CBS_DROPDOWNLIST", CBS_DROPDOWNLIST, kCombo, CBS_TYPEMASK},
    {"CBS_AUTOHSCROLL", CBS_AUTOHSCROLL, kCombo, 0},
    {"CBS_SORT", CBS_SORT, kCombo, 0},
    {"TCS_TABS", TCS_TABS, kTab, 0},
    {"TCS_SINGLELINE", TCS_SINGLELINE, kTab, 0},
    {"TCS_BOTTOM", TCS_BOTTOM, kTab, 0},
    {"TCS_BUTTONS", TCS_BUTTONS, kTab, 0},
    {"TCS_MULTILINE", TCS_MULTILINE, kTab, 0},
    {"TCS_FIXEDWIDTH", TCS_FIXEDWIDTH, kTab, 0},
    {"TCS_RAGGEDRIGHT", TCS_RAGGEDRIGHT, kTab, 0},
    {"TCS_FOCUSNEVER", TCS_FOCUSNEVER, kTab, 0},
    {"LVS_REPORT", LVS_REPORT, kListView, LVS_TYPEMASK},
    {"LVS_SINGLESEL", LVS_SINGLESEL, kListView, 0},
    {"LVS_SHOWSELALWAYS", LVS_SHOWSELALWAYS, kListView, 0},
    {"LVS_EDITLABELS", LVS_EDITLABELS, kListView, 0},
    {"LVS_NOSORTHEADER", LVS_NOSORTHEADER, kListView, 0},
};

unsigned ContextOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Button:
            return kButton;
        case ControlKind::Static:
            return kStatic;
        case ControlKind::Edit:
            return kEdit;
        case ControlKind::ComboBox:
            return kCombo;
        case ControlKind::ListBox:
            return kList;
        case ControlKind::TabControl:
            return kTab;
        case ControlKind::ListView:
            return kListView;
        case ControlKind::Progress:
            return kProgress;
        case ControlKind::Pane:
            return kPane;
    }
    return 0;
}

const char* ContextName(unsigned context) {
    switch (context) {
        case kDialog:
            return "a dialog's STYLE";
        case kDialogEx:
            return "EXSTYLE";
        case kButton:
            return "a Button control";
        case kStatic:
            return "a Static control";
        case kEdit:
            return "an Edit control";
        case kCombo:
            return "a ComboBox control";
        case kList:
            return "a ListBox control";
        case kTab:
            return "a SysTabControl32 control";
        case kListView:
            return "a SysListView32 control";
        case kProgress:
            return "a msctls_progress32 control";
        case kPane:
            return "a ViewPane control";
    }
    return "this place";
}

const StyleName* FindStyle(const std::string& name) {
    for (const StyleName& style : kStyles) {
        if (name == style.name) return &style;
    }
    return nullptr;
}

bool EqualsNoCase(const std::string& a, const char* b) {
    size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// Words of the script language; never names of IDs.
bool IsReservedWord(const std::string& word) {
    static const std::set<std::string> kWords = {
        "DIALOG",  "MENU",     "DLGINIT",  "BEGIN",   "END",        "STYLE",
        "EXSTYLE", "CAPTION",  "FONT",     "POPUP",   "MENUITEM",   "SEPARATOR",
        "NOT",     "CONTROL",  "LTEXT",    "RTEXT",   "CTEXT",      "GROUPBOX",
        "ICON",    "EDITTEXT", "COMBOBOX", "LISTBOX", "PUSHBUTTON", "DEFPUSHBUTTON",
    };
    return kWords.count(word) != 0 || FindStyle(word) != nullptr;
}

// The framework's own names, known to every script without a header.
const std::pair<const char*, long long> kFrameworkNames[] = {
    {"IDC_STATIC", IDC_STATIC},
    {"IDOK", IDOK},
    {"IDCANCEL", IDCANCEL},
    {"ID_FILE_NEW", ID_FILE_NEW},
    {"ID_FILE_OPEN", ID_FILE_OPEN},
    {"ID_FILE_SAVE", ID_FILE_SAVE},
    {"ID_FILE_SAVE_AS", ID_FILE_SAVE_AS},
    {"ID_FILE_MRU_FILE1", ID_FILE_MRU_FILE1},
    {"ID_EDIT_UNDO", ID_EDIT_UNDO},
    {"ID_EDIT_REDO", ID_EDIT_REDO},
    {"ID_APP_ABOUT", ID_APP_ABOUT},
    {"ID_APP_EXIT", ID_APP_EXIT},
    {"ID_HELP", ID_HELP},
};

bool IsName(std::string_view word) {
    if (word.empty() || std::isdigit(static_cast<unsigned char>(word[0]))) return false;
    for (char c : word) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    }
    return true;
}

// The words of a # line: names, numbers and one quoted string, after the
// comment is cut off.
std::vector<std::string> DirectiveWords(std::string_view text) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            break;
        } else if (c == '"') {
            size_t close = text.find('"', i + 1);
            if (close == std::string_view::npos) close = text.size() - 1;
            words.emplace_back(text.substr(i, close + 1 - i));
            i = close + 1;
        } else {
            size_t start = i;
            while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r' &&
                   text[i] != '"' && !(text[i] == '/' && i + 1 < text.size() && text[i + 1] == '/'))
                ++i;
            words.emplace_back(text.substr(start, i - start));
        }
    }
    return words;
}

// Named IDs: the framework's, then those of the #define lines read so far.
class Symbols {
public:
    Symbols() {
        for (const auto& [name, value] : kFrameworkNames) m_names[name] = {value, "the framework"};
    }

    void Define(const std::string& name, long long value, const std::string& where, int line,
                const std::string& file) {
        if (IsReservedWord(name))
            throw ParseError{line, name + " is a word of the script language", file};
        auto found = m_names.find(name);
        if (found != m_names.end()) {
            throw ParseError{
                line, name + " is defined twice (first in " + found->second.where + ")", file};
        }
        m_names[name] = {value, where};
        m_defined[name] = static_cast<int>(value);
    }

    const long long* Find(const std::string& name) const {
        auto found = m_names.find(name);
        return found == m_names.end() ? nullptr : &found->second.value;
    }

    const std::map<std::string, int>& Defined() const { return m_defined; }

private:
    struct Entry {
        long long value;
        std::string where;
    };
    std::map<std::string, Entry> m_names;
    std::map<std::string, int> m_defined;  // without the framework's
};

class Parser {
public:
    Parser(std::string_view text, const std::string& fileName, const ResourceHeaders* headers)
        : m_lexer(text), m_file(fileName), m_headers(headers) {
        Advance();
    }

    void ParseScript(ResourceScript* out) {
        while (m_tok.kind != Tok::End) {
            if (m_tok.kind == Tok::Directive) {
                Token directive = m_tok;
                Advance();
                ReadDirective(directive.text, directive.line, {}, true);
                continue;
            }
            int line = m_tok.line;
            int id = ExpectId("a resource ID", 1);
            Token type = Expect(Tok::Ident, "a resource type");
            if (type.text == "DIALOG") {
                out->dialogs.push_back(ParseDialog(id, line));
            } else if (type.text == "MENU") {
                out->menus.push_back(ParseMenu(id, line));
            } else if (type.text == "DLGINIT") {
                out->dlgInits.push_back(ParseDlgInit(id, line));
            } else {
                Fail(type.line, "unknown resource type " + type.text);
            }
        }
        out->names = m_symbols.Defined();
    }

private:
    [[noreturn]] void Fail(int line, const std::string& what) { throw ParseError{line, what}; }

    void Advance() { m_tok = m_lexer.Next(); }

    Token Expect(Tok kind, const char* what) {
        if (m_tok.kind != kind) {
            std::string found = m_tok.kind == Tok::Ident    ? "\"" + m_tok.text + "\""
                                : m_tok.kind == Tok::Number ? m_tok.text
                                                            : TokName(m_tok.kind);
            Fail(m_tok.line, std::string("expected ") + what + ", found " + found);
        }
        Token token = m_tok;
        Advance();
        return token;
    }

    bool IsKeyword(const char* word) const {
        return m_tok.kind == Tok::Ident && m_tok.text == word;
    }

    void ExpectKeyword(const char* word) {
        if (!IsKeyword(word)) {
            Fail(m_tok.line,
                 std::string("expected ") + word + ", found " +
                     (m_tok.kind == Tok::Ident ? "\"" + m_tok.text + "\"" : TokName(m_tok.kind)));
        }
        Advance();
    }

    void ExpectComma() { Expect(Tok::Comma, "\",\""); }

    int ExpectNumber(const char* what, long long low, long long high) {
        Token token = Expect(Tok::Number, what);
        if (token.number < low || token.number > high) {
            Fail(token.line, std::string(what) + " " + token.text + " is out of range " +
                                 std::to_string(low) + ".." + std::to_string(high));
        }
        return static_cast<int>(token.number);
    }

    // A control or resource ID, a number or a defined name: -1 only where
    // allowed (low == -1).
    int ExpectId(const char* what, int low) {
        if (m_tok.kind == Tok::Ident && !IsReservedWord(m_tok.text)) {
            Token name = m_tok;
            const long long* value = m_symbols.Find(name.text);
            if (value == nullptr) Fail(name.line, "unknown name " + name.text);
            if (*value < low || *value > 65535) {
                Fail(name.line, std::string(what) + " " + name.text + " (" +
                                    std::to_string(*value) + ") is out of range " +
                                    std::to_string(low) + "..65535");
            }
            Advance();
            return static_cast<int>(*value);
        }
        if (m_tok.kind == Tok::Number && m_tok.number < 0 && m_tok.number != -1) {
            Fail(m_tok.line, std::string(what) + " " + m_tok.text + " is negative");
        }
        return ExpectNumber(what, low, 65535);
    }

    // One # line: "define NAME number", "include "file"" (in a script only)
    // or "pragma once". `file` is the header being read, empty in the script.
    void ReadDirective(const std::string& text, int line, const std::string& file, bool inScript) {
        auto fail = [&](const std::string& what) { throw ParseError{line, what, file}; };
        const std::vector<std::string> words = DirectiveWords(text);
        const std::string keyword = words.empty() ? std::string() : words[0];
        if (keyword == "define") {
            if (words.size() != 3 || !IsName(words[1])) fail("expected #define NAME number");
            const std::string& value = words[2];
            const size_t digits = value[0] == '-' ? 1 : 0;
            if (value.size() == digits ||
                value.find_first_not_of("0123456789", digits) != std::string::npos) {
                fail("\"" + value + "\" is not a decimal number");
            }
            if (value.size() - digits > 9) fail("number " + value + " is too large");
            const std::string where = (file.empty() ? m_file : file) + ":" + std::to_string(line);
            m_symbols.Define(words[1], std::stoll(value), where, line, file);
        } else if (keyword == "include" && inScript) {
            if (words.size() != 2 || words[1].size() < 2 || words[1].front() != '"' ||
                words[1].back() != '"') {
                fail("expected #include \"file\"");
            }
            Include(words[1].substr(1, words[1].size() - 2), line);
        } else if (keyword == "pragma" && words.size() == 2 && words[1] == "once") {
            // A header is read once per script in any case.
        } else {
            fail("unknown directive #" + keyword);
        }
    }

    // Reads a header's #define lines; its path is taken beside the script's.
    void Include(const std::string& name, int line) {
        const size_t slash = m_file.rfind('/');
        const std::string path =
            (slash == std::string::npos ? std::string() : m_file.substr(0, slash + 1)) + name;
        if (m_included.count(path) != 0) return;
        const bool known = m_headers != nullptr && m_headers->count(path) != 0;
        if (!known) Fail(line, "cannot find \"" + name + "\" to include (no " + path + ")");
        m_included.insert(path);
        const std::string& text = m_headers->at(path);
        if (int bad = FirstInvalidUtf8Line(text))
            throw ParseError{bad, "the text is not valid UTF-8", path};
        size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        for (int number = 1; pos <= text.size(); ++number) {
            size_t end = text.find('\n', pos);
            if (end == std::string::npos) end = text.size();
            std::string_view lineText(text.data() + pos, end - pos);
            const size_t first = lineText.find_first_not_of(" \t\r");
            if (first != std::string_view::npos && lineText.substr(first, 2) != "//") {
                if (lineText[first] != '#') {
                    throw ParseError{number, "expected a # line or a comment", path};
                }
                ReadDirective(std::string(lineText.substr(first + 1)), number, path, false);
            }
            pos = end + 1;
        }
    }

    int ExpectCoordinate() { return ExpectNumber("a coordinate", -32768, 32767); }

    void ExpectRect(int* x, int* y, int* cx, int* cy) {
        *x = ExpectCoordinate();
        ExpectComma();
        *y = ExpectCoordinate();
        ExpectComma();
        *cx = ExpectCoordinate();
        ExpectComma();
        *cy = ExpectCoordinate();
    }

    // styles := ["NOT"] NAME { "|" ["NOT"] NAME }
    DWORD ParseStyles(DWORD style, unsigned context) {
        DWORD typeSet = 0;  // fields already given a value in this list
        for (;;) {
            bool negate = false;
            if (IsKeyword("NOT")) {
                negate = true;
                Advance();
            }
            Token name = Expect(Tok::Ident, "a style name");
            const StyleName* entry = FindStyle(name.text);
            if (entry == nullptr) Fail(name.line, "unknown style " + name.text);
            if ((entry->contexts & context) == 0) {
                Fail(name.line, name.text + " does not apply to " + ContextName(context));
            }
            if (entry->typeMask != 0) {
                if (negate) Fail(name.line, "NOT " + name.text + ": a type cannot be removed");
                if (typeSet & entry->typeMask)
                    Fail(name.line, name.text + ": a second type in one list");
                typeSet |= entry->typeMask;
                style = (style & ~entry->typeMask) | entry->value;
            } else if (negate) {
                style &= ~entry->value;
            } else {
                style |= entry->value;
            }
            if (m_tok.kind != Tok::Pipe) return style;
            Advance();
        }
    }

    std::string ExpectText() { return Expect(Tok::String, "a string").text; }

    DialogTemplate ParseDialog(int id, int line) {
        DialogTemplate dlg;
        dlg.id = id;
        dlg.file = m_file;
        dlg.line = line;
        ExpectRect(&dlg.x, &dlg.y, &dlg.cx, &dlg.cy);
        bool haveStyle = false, haveExStyle = false, haveCaption = false, haveFont = false;
        dlg.style = WS_POPUP | WS_BORDER | WS_SYSMENU;
        while (!IsKeyword("BEGIN")) {
            Token statement = Expect(Tok::Ident, "BEGIN or a dialog statement");
            const std::string& word = statement.text;
            bool* seen = word == "STYLE"     ? &haveStyle
                         : word == "EXSTYLE" ? &haveExStyle
                         : word == "CAPTION" ? &haveCaption
                         : word == "FONT"    ? &haveFont
                                             : nullptr;
            if (seen == nullptr) Fail(statement.line, "unknown dialog statement " + word);
            if (*seen) Fail(statement.line, word + " given twice");
            *seen = true;
            if (word == "STYLE") {
                dlg.style = ParseStyles(0, kDialog);
            } else if (word == "EXSTYLE") {
                dlg.exStyle = ParseStyles(0, kDialogEx);
            } else if (word == "CAPTION") {
                dlg.caption = ExpectText();
            } else {
                dlg.fontSize = ExpectNumber("a point size", 1, 72);
                ExpectComma();
                dlg.fontName = ExpectText();
            }
        }
        // As the resource compiler does: a caption needs a title bar, a font
        // is carried by DS_SETFONT.
        if (haveCaption) dlg.style |= WS_CAPTION;
        if (haveFont) dlg.style |= DS_SETFONT;
        Advance();  // BEGIN
        while (!IsKeyword("END")) {
            if (m_tok.kind == Tok::End)
                Fail(m_tok.line, "dialog " + std::to_string(id) + " has no END");
            ControlTemplate control = ParseControl();
            if (control.id != IDC_STATIC && dlg.FindControl(control.id) != nullptr) {
                Fail(control.line, "control ID " + std::to_string(control.id) +
                                       " appears twice in dialog " + std::to_string(id));
            }
            dlg.controls.push_back(std::move(control));
        }
        Advance();  // END
        return dlg;
    }

    ControlTemplate ParseControl() {
        Token keyword = Expect(Tok::Ident, "a control statement or END");
        const std::string& word = keyword.text;
        ControlTemplate c;
        c.line = keyword.line;
        constexpr DWORD base = WS_CHILD | WS_VISIBLE;
        struct Simple {
            const char* word;
            ControlKind kind;
            DWORD style;
            bool hasText;
        };
        static const Simple kSimple[] = {
            {"LTEXT", ControlKind::Static, base | SS_LEFT | WS_GROUP, true},
            {"RTEXT", ControlKind::Static, base | SS_RIGHT | WS_GROUP, true},
            {"CTEXT", ControlKind::Static, base | SS_CENTER | WS_GROUP, true},
            {"GROUPBOX", ControlKind::Button, base | BS_GROUPBOX, true},
            {"PUSHBUTTON", ControlKind::Button, base | BS_PUSHBUTTON | WS_TABSTOP, true},
            {"DEFPUSHBUTTON", ControlKind::Button, base | BS_DEFPUSHBUTTON | WS_TABSTOP, true},
            {"EDITTEXT", ControlKind::Edit, base | ES_LEFT | WS_BORDER | WS_TABSTOP, false},
            {"COMBOBOX", ControlKind::ComboBox, base | CBS_SIMPLE | WS_TABSTOP, false},
            {"LISTBOX", ControlKind::ListBox, base | LBS_NOTIFY | WS_BORDER, false},
        };
        for (const Simple& simple : kSimple) {
            if (word != simple.word) continue;
            c.kind = simple.kind;
            c.style = simple.style;
            if (simple.hasText) {
                c.text = ExpectText();
                ExpectComma();
            }
            c.id = ExpectId("a control ID", -1);
            ExpectComma();
            ExpectRect(&c.x, &c.y, &c.cx, &c.cy);
            if (m_tok.kind == Tok::Comma) {
                Advance();
                c.style = ParseStyles(c.style, ContextOf(c.kind));
            }
            return c;
        }
        if (word == "ICON") {
            c.kind = ControlKind::Static;
            c.style = base | SS_ICON;
            if (m_tok.kind == Tok::String) {
                c.text = ExpectText();
            } else {
                c.iconId = ExpectId("an icon ID", 1);
                c.text = std::to_string(c.iconId);
            }
            ExpectComma();
            c.id = ExpectId("a control ID", -1);
            ExpectComma();
            ExpectRect(&c.x, &c.y, &c.cx, &c.cy);
            if (m_tok.kind == Tok::Comma) {
                Advance();
                c.style = ParseStyles(c.style, kStatic);
            }
            return c;
        }
        if (word == "CONTROL") {
            c.text = ExpectText();
            ExpectComma();
            c.id = ExpectId("a control ID", -1);
            ExpectComma();
            Token cls = Expect(Tok::String, "a control class");
            static const std::pair<const char*, ControlKind> kClasses[] = {
                {"Button", ControlKind::Button},
                {"Static", ControlKind::Static},
                {"Edit", ControlKind::Edit},
                {"ComboBox", ControlKind::ComboBox},
                {"ListBox", ControlKind::ListBox},
                {"SysTabControl32", ControlKind::TabControl},
                {"SysListView32", ControlKind::ListView},
                {"msctls_progress32", ControlKind::Progress},
                {"ViewPane", ControlKind::Pane},
            };
            bool known = false;
            for (const auto& [name, kind] : kClasses) {
                if (EqualsNoCase(cls.text, name)) {
                    c.kind = kind;
                    known = true;
                }
            }
            if (!known) Fail(cls.line, "unknown control class \"" + cls.text + "\"");
            ExpectComma();
            c.style = ParseStyles(base, ContextOf(c.kind));
            if (c.kind == ControlKind::ListView && (c.style & LVS_TYPEMASK) != LVS_REPORT)
                Fail(cls.line,
                     "a SysListView32 control needs LVS_REPORT (only the report view is "
                     "supported)");
            ExpectComma();
            ExpectRect(&c.x, &c.y, &c.cx, &c.cy);
            return c;
        }
        Fail(keyword.line, "unknown control statement " + word);
    }

    MenuTemplate ParseMenu(int id, int line) {
        MenuTemplate menu;
        menu.id = id;
        menu.file = m_file;
        menu.line = line;
        menu.items = ParseMenuBlock("menu " + std::to_string(id));
        return menu;
    }

    std::vector<MenuItemTemplate> ParseMenuBlock(const std::string& owner) {
        ExpectKeyword("BEGIN");
        std::vector<MenuItemTemplate> items;
        while (!IsKeyword("END")) {
            if (m_tok.kind == Tok::End) Fail(m_tok.line, owner + " has no END");
            Token keyword = Expect(Tok::Ident, "POPUP, MENUITEM or END");
            MenuItemTemplate item;
            if (keyword.text == "POPUP") {
                item.type = MenuItemTemplate::Type::Popup;
                item.text = ExpectText();
                item.items = ParseMenuBlock("popup \"" + item.text + "\"");
            } else if (keyword.text == "MENUITEM") {
                if (IsKeyword("SEPARATOR")) {
                    Advance();
                    item.type = MenuItemTemplate::Type::Separator;
                } else {
                    item.text = ExpectText();
                    ExpectComma();
                    item.id = static_cast<UINT>(ExpectId("a command ID", 1));
                }
            } else {
                Fail(keyword.line, "unknown menu statement " + keyword.text);
            }
            items.push_back(std::move(item));
        }
        Advance();  // END
        return items;
    }

    DlgInitTemplate ParseDlgInit(int id, int line) {
        DlgInitTemplate init;
        init.dialogId = id;
        init.file = m_file;
        init.line = line;
        ExpectKeyword("BEGIN");
        while (!IsKeyword("END")) {
            if (m_tok.kind == Tok::End)
                Fail(m_tok.line, "DLGINIT " + std::to_string(id) + " has no END");
            DlgInitTemplate::Entry entry;
            entry.line = m_tok.line;
            entry.controlId = ExpectId("a control ID", 0);
            ExpectComma();
            entry.text = ExpectText();
            init.entries.push_back(std::move(entry));
        }
        Advance();  // END
        return init;
    }

    Lexer m_lexer;
    std::string m_file;
    const ResourceHeaders* m_headers;
    Symbols m_symbols;
    std::set<std::string> m_included;
    Token m_tok;
};

}  // namespace

bool CRcParser::Parse(std::string_view text, const std::string& fileName, ResourceScript* out,
                      std::string* error, const ResourceHeaders* headers) {
    *out = ResourceScript{};
    if (int line = FirstInvalidUtf8Line(text)) {
        *error = fileName + ":" + std::to_string(line) + ": the text is not valid UTF-8";
        return false;
    }
    try {
        Parser parser(text, fileName, headers);
        parser.ParseScript(out);
    } catch (const ParseError& e) {
        *error =
            (e.file.empty() ? fileName : e.file) + ":" + std::to_string(e.line) + ": " + e.what;
        return false;
    }
    return true;
}
