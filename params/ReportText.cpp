#include "params/ReportText.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "geodesy/GeoCore.h"

namespace report {

int DisplayWidth(std::string_view s) {
    int width = 0;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        unsigned cp = c;
        int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : 3;
        if (extra > 0) cp = c & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < s.size(); ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        i += static_cast<std::size_t>(extra) + 1;
        const bool wide = (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
                          (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
                          (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
                          (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x20000 && cp <= 0x3FFFD);
        width += wide ? 2 : 1;
    }
    return width;
}

std::string PadRight(const std::string& s, int width) {
    return s + std::string(static_cast<std::size_t>(std::max(0, width - DisplayWidth(s))), ' ');
}

std::string PadLeft(const std::string& s, int width) {
    return std::string(static_cast<std::size_t>(std::max(0, width - DisplayWidth(s))), ' ') + s;
}

std::string Fixed(double v, int decimals) {
    // No "-0.0000": a residual that rounds to zero shows unsigned.
    std::string out = FormatFixed(v + 0.0, decimals);
    if (out[0] == '-' && out.find_first_not_of("-0.") == std::string::npos) out.erase(0, 1);
    return out;
}

std::string JsonNumber(double v) {
    char text[64];
    const auto r = std::to_chars(text, text + sizeof text, v + 0.0);
    return std::string(text, r.ptr);
}

std::string JsonString(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned>(c));
            out += esc;
        } else {
            out += c;
        }
    }
    return out + "\"";
}


std::vector<int> ColumnWidths(const std::vector<std::vector<std::string>>& rows,
                              const std::vector<int>& minimum) {
    std::vector<int> w;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::vector<std::string>& r = rows[i];
        if (w.size() < r.size()) w.resize(r.size(), 0);
        for (std::size_t c = 0; c < r.size(); ++c) {
            w[c] = std::max(w[c], DisplayWidth(r[c]) + (i == 0 ? 1 : 2));
        }
    }
    for (std::size_t c = 0; c < w.size() && c < minimum.size(); ++c) {
        w[c] = std::max(w[c], minimum[c]);
    }
    return w;
}

std::string Row(const std::vector<std::string>& cells, const std::vector<int>& widths) {
    std::string out;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        out += c == 0 ? PadRight(cells[c], widths[c]) : PadLeft(cells[c], widths[c]);
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string Percent(double alpha) { return JsonNumber(alpha * 100) + " %"; }

std::string TestLine(const TestFacts& t, TextLanguage language) {
    const bool en = language == TextLanguage::English;
    const std::string d = std::to_string(t.dimension), f = std::to_string(t.redundancy);
    if (!t.testable) {
        if (t.sigma0 && *t.sigma0 == 0) {
            return en ? "Test: none (σ0 is 0: the points fit exactly)"
                      : "检验：无（σ0 为 0，各点完全符合）";
        }
        if (t.dimension == 1) {
            return en ? "Test: none. The redundancy " + f +
                            " is not above 1: no blunder can be found; add common points"
                      : "检验：无。多余观测数 " + f + " 不大于 1，无法发现粗差，请增加公共点";
        }
        return en ? "Test: none. The redundancy " + f + " is not above the " + d +
                        " components of a point: no blunder can be found; add common points"
                  : "检验：无。多余观测数 " + f + " 不大于每点的分量数 " + d +
                        "，无法发现粗差，请增加公共点";
    }
    std::string out =
        en ? "Test: τ-test of each used point (Pope, with σ0 of this fit), α = " +
                 Percent(t.alpha) + ", critical τ² = " + Fixed(t.criticalUsed, 2)
           : "检验：逐点 τ 检验（Pope 法，σ0 取自本次平差），α = " + Percent(t.alpha) +
                 "，临界值 τ² = " + Fixed(t.criticalUsed, 2);
    if (t.checkPoints) {
        out += en ? "; check points: F-test, critical " + Fixed(t.criticalCheck, 2)
                  : "；检查点 F 检验，临界值 " + Fixed(t.criticalCheck, 2);
    }
    return out;
}

std::string PoorlyCheckedLine(const std::vector<std::string>& names, TextLanguage language) {
    const bool en = language == TextLanguage::English;
    if (names.empty()) return {};
    std::string list;
    for (const std::string& n : names) {
        if (!list.empty()) list += en ? ", " : "、";
        list += n;
    }
    return en ? "Poorly checked (a redundancy number below 0.1): " + list
              : "检核不足（多余观测分量小于 0.1）：" + list;
}

std::string Marks(bool failsTest, bool beyondTolerance, bool poorlyChecked) {
    return std::string(failsTest ? "*" : "") + (beyondTolerance ? "!" : "") +
           (poorlyChecked ? "?" : "");
}

std::string ResidualSection(const std::vector<std::vector<std::string>>& table,
                            const std::vector<bool>& used, const std::vector<int>& minimum,
                            TextLanguage language) {
    const bool en = language == TextLanguage::English;
    std::string out;
    auto line = [&out](const std::string& text) { out += text + "\n"; };
    const std::vector<int> w = ColumnWidths(table, minimum);
    line(Row(table[0], w));
    std::string shown;  // the marks that appear
    for (int pass = 0; pass < 2; ++pass) {
        const bool wantUsed = pass == 0;
        int count = 0;
        for (bool u : used) count += u == wantUsed ? 1 : 0;
        if (count == 0) continue;
        const std::string n = std::to_string(count);
        line(wantUsed ? (en ? "Used points (" + n + ")" : "参与计算的点（" + n + " 个）")
                      : (en ? "Check points (" + n + ")" : "检查点（" + n + " 个）"));
        for (std::size_t i = 0; i < used.size(); ++i) {
            if (used[i] != wantUsed) continue;
            const std::vector<std::string>& row = table[1 + i];
            const std::string& flags = row.back();
            shown += flags;
            std::string text = Row(std::vector<std::string>(row.begin(), row.end() - 1), w);
            if (!flags.empty()) text += "  " + flags;
            line(text);
        }
    }
    if (shown.find('*') != std::string::npos) {
        line(en ? "* fails the test: probably a blunder" : "* 未通过检验，可能含有粗差");
    }
    if (shown.find('!') != std::string::npos) {
        line(en ? "! residual beyond the tolerance" : "! 残差超出限差");
    }
    if (shown.find('?') != std::string::npos) {
        line(en ? "? poorly checked (a redundancy number below 0.1): a blunder there hardly "
                  "shows"
                : "? 检核不足（多余观测分量小于 0.1），此处粗差难以发现");
    }
    return out;
}

}  // namespace report
