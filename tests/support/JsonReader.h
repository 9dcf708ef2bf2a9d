// A strict reader of JSON documents for tests of the program's JSON output:
// the whole grammar of RFC 8259 (objects, arrays, strings with escapes,
// numbers, true, false, null), duplicate keys refused. Written here so that
// the tests do not read the output with the code that writes it.
#pragma once

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/Utf8Encode.h"

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string string;
    std::vector<JsonValue> items;                             // of an array
    std::vector<std::pair<std::string, JsonValue>> members;  // of an object, in order

    bool Is(Kind k) const { return kind == k; }
    // The member `key` of an object; null when there is none (Has tells).
    bool Has(const std::string& key) const {
        for (const auto& m : members) {
            if (m.first == key) return true;
        }
        return false;
    }
    const JsonValue& operator[](const std::string& key) const {
        static const JsonValue none;
        for (const auto& m : members) {
            if (m.first == key) return m.second;
        }
        return none;
    }
    const JsonValue& operator[](std::size_t i) const {
        static const JsonValue none;
        return i < items.size() ? items[i] : none;
    }
};

class JsonReader {
public:
    explicit JsonReader(const std::string& text) : s_(text) {}

    // The document; false with the reason and offset in *why.
    bool Read(JsonValue* out, std::string* why) {
        *out = JsonValue();
        Space();
        if (!Value(out, 0)) {
            *why = why_ + " at " + std::to_string(i_);
            return false;
        }
        Space();
        if (i_ != s_.size()) {
            *why = "text after the document at " + std::to_string(i_);
            return false;
        }
        return true;
    }

private:
    bool Fail(const char* what) {
        why_ = what;
        return false;
    }
    void Space() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r'))
            ++i_;
    }
    bool Literal(const char* word) {
        const std::string w = word;
        if (s_.compare(i_, w.size(), w) != 0) return Fail("bad literal");
        i_ += w.size();
        return true;
    }
    bool Hex4(unsigned* v) {
        if (i_ + 4 > s_.size()) return Fail("short \\u escape");
        *v = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = s_[i_++];
            *v <<= 4;
            if (c >= '0' && c <= '9') *v |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f') *v |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') *v |= static_cast<unsigned>(c - 'A' + 10);
            else return Fail("bad hex digit");
        }
        return true;
    }
    bool String(std::string* out) {
        if (s_[i_] != '"') return Fail("string expected");
        ++i_;
        while (true) {
            if (i_ >= s_.size()) return Fail("unterminated string");
            const char c = s_[i_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return Fail("control character in string");
            if (c != '\\') {
                *out += c;
                continue;
            }
            if (i_ >= s_.size()) return Fail("unterminated escape");
            const char e = s_[i_++];
            switch (e) {
                case '"': *out += '"'; break;
                case '\\': *out += '\\'; break;
                case '/': *out += '/'; break;
                case 'b': *out += '\b'; break;
                case 'f': *out += '\f'; break;
                case 'n': *out += '\n'; break;
                case 'r': *out += '\r'; break;
                case 't': *out += '\t'; break;
                case 'u': {
                    unsigned v;
                    if (!Hex4(&v)) return false;
                    if (v >= 0xD800 && v <= 0xDBFF) {
                        unsigned low;
                        if (s_.compare(i_, 2, "\\u") != 0) return Fail("lone surrogate");
                        i_ += 2;
                        if (!Hex4(&low) || low < 0xDC00 || low > 0xDFFF) return Fail("bad surrogate");
                        v = 0x10000 + ((v - 0xD800) << 10) + (low - 0xDC00);
                    }
                    AppendUtf8(*out, static_cast<char32_t>(v));
                    break;
                }
                default:
                    return Fail("bad escape");
            }
        }
    }
    bool Number(double* out) {
        const std::size_t start = i_;
        auto digits = [&] {
            const std::size_t from = i_;
            while (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9') ++i_;
            return i_ > from;
        };
        if (i_ < s_.size() && s_[i_] == '-') ++i_;
        if (i_ < s_.size() && s_[i_] == '0') {
            ++i_;
        } else if (!digits()) {
            return Fail("bad number");
        }
        if (i_ < s_.size() && s_[i_] == '.') {
            ++i_;
            if (!digits()) return Fail("bad fraction");
        }
        if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
            ++i_;
            if (i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '-')) ++i_;
            if (!digits()) return Fail("bad exponent");
        }
        *out = std::strtod(s_.substr(start, i_ - start).c_str(), nullptr);
        return true;
    }
    bool Value(JsonValue* v, int depth) {
        if (depth > 64) return Fail("too deep");
        if (i_ >= s_.size()) return Fail("value expected");
        const char c = s_[i_];
        if (c == '{') {
            v->kind = JsonValue::Kind::Object;
            ++i_;
            Space();
            if (i_ < s_.size() && s_[i_] == '}') {
                ++i_;
                return true;
            }
            while (true) {
                Space();
                std::string key;
                if (i_ >= s_.size() || !String(&key)) return Fail("key expected");
                if (v->Has(key)) return Fail("duplicate key");
                Space();
                if (i_ >= s_.size() || s_[i_] != ':') return Fail("':' expected");
                ++i_;
                Space();
                JsonValue member;
                if (!Value(&member, depth + 1)) return false;
                v->members.emplace_back(std::move(key), std::move(member));
                Space();
                if (i_ < s_.size() && s_[i_] == ',') {
                    ++i_;
                    continue;
                }
                if (i_ < s_.size() && s_[i_] == '}') {
                    ++i_;
                    return true;
                }
                return Fail("',' or '}' expected");
            }
        }
        if (c == '[') {
            v->kind = JsonValue::Kind::Array;
            ++i_;
            Space();
            if (i_ < s_.size() && s_[i_] == ']') {
                ++i_;
                return true;
            }
            while (true) {
                Space();
                JsonValue item;
                if (!Value(&item, depth + 1)) return false;
                v->items.push_back(std::move(item));
                Space();
                if (i_ < s_.size() && s_[i_] == ',') {
                    ++i_;
                    continue;
                }
                if (i_ < s_.size() && s_[i_] == ']') {
                    ++i_;
                    return true;
                }
                return Fail("',' or ']' expected");
            }
        }
        if (c == '"') {
            v->kind = JsonValue::Kind::String;
            return String(&v->string);
        }
        if (c == 't' || c == 'f') {
            v->kind = JsonValue::Kind::Bool;
            v->boolean = c == 't';
            return Literal(c == 't' ? "true" : "false");
        }
        if (c == 'n') {
            v->kind = JsonValue::Kind::Null;
            return Literal("null");
        }
        v->kind = JsonValue::Kind::Number;
        return Number(&v->number);
    }

    const std::string& s_;
    std::size_t i_ = 0;
    std::string why_;
};

// Reads `text` as one JSON document.
inline bool ParseJson(const std::string& text, JsonValue* out, std::string* why) {
    return JsonReader(text).Read(out, why);
}
