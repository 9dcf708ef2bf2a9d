// A strict reader of the XML the residual plots write, for tests: a
// declaration, elements with quoted attributes, text, the five entities.
#pragma once

#include <cctype>
#include <map>
#include <string>
#include <vector>

struct XmlElement {
    std::string name;
    std::map<std::string, std::string> attributes;
};

// The elements of a document in order; false, with the offset, when it is
// not well-formed.
inline bool ReadXml(const std::string& s, std::vector<XmlElement>* elements, std::string* why) {
    std::vector<std::string> open;
    std::size_t i = 0;
    auto fail = [&](const std::string& what) {
        *why = what + " at " + std::to_string(i);
        return false;
    };
    if (s.compare(0, 5, "<?xml") == 0) {
        i = s.find("?>");
        if (i == std::string::npos) return fail("declaration");
        i += 2;
    }
    auto nameChar = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == ':' || c == '_';
    };
    bool root = false;
    while (i < s.size()) {
        if (s[i] != '<') {
            if (s[i] == '&') {
                const std::size_t end = s.find(';', i);
                const std::string entity = s.substr(i, end - i + 1);
                if (entity != "&lt;" && entity != "&gt;" && entity != "&amp;" &&
                    entity != "&quot;" && entity != "&apos;")
                    return fail("entity");
            }
            if (open.empty() && !std::isspace(static_cast<unsigned char>(s[i])))
                return fail("text outside the root");
            ++i;
            continue;
        }
        ++i;
        if (s[i] == '/') {
            ++i;
            const std::size_t start = i;
            while (i < s.size() && nameChar(s[i])) ++i;
            if (open.empty() || open.back() != s.substr(start, i - start) || s[i] != '>')
                return fail("end tag");
            open.pop_back();
            ++i;
            continue;
        }
        if (open.empty() && root) return fail("second root");
        XmlElement e;
        const std::size_t start = i;
        while (i < s.size() && nameChar(s[i])) ++i;
        e.name = s.substr(start, i - start);
        if (e.name.empty()) return fail("element name");
        while (true) {
            while (i < s.size() && s[i] == ' ') ++i;
            if (i >= s.size()) return fail("end of document in a tag");
            if (s[i] == '>' || (s[i] == '/' && s[i + 1] == '>')) break;
            const std::size_t a = i;
            while (i < s.size() && nameChar(s[i])) ++i;
            const std::string key = s.substr(a, i - a);
            if (key.empty() || s[i] != '=' || s[i + 1] != '"') return fail("attribute");
            const std::size_t end = s.find('"', i + 2);
            if (end == std::string::npos) return fail("attribute value");
            const std::string value = s.substr(i + 2, end - i - 2);
            if (value.find('<') != std::string::npos || e.attributes.count(key))
                return fail("attribute value");
            e.attributes[key] = value;
            i = end + 1;
        }
        root = true;
        if (s[i] == '/') {
            i += 2;
        } else {
            open.push_back(e.name);
            ++i;
        }
        elements->push_back(std::move(e));
    }
    if (!open.empty()) return fail("unclosed " + open.back());
    return root || fail("no root");
}
