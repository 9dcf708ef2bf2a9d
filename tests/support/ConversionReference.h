// Reads tests/data/session/conversion_reference.txt: blocks of one setting
// each, followed by rows of single-point conversions and chain calls with
// their expected results, computed independently of the program by
// make_conversion_reference.py (which describes the format).
#pragma once

#include <fstream>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "session/ConversionSession.h"

struct ReferenceRow {
    int line = 0;
    std::string op;                   // convert, g2p, p2g, p2g_on, shift, apply_seven
    std::vector<std::string> fields;  // the words after op
};

struct ReferenceBlock {
    int line = 0;
    std::string name;
    int sourceDatum = 0, targetDatum = 0;
    int useSeven = 0, useFour = 0, zoneChange = 0;
    double seven[7] = {}, local1[4] = {}, local2[4] = {};
    ProjectionRecord before, after;
    double lengthTolerance = 0;  // metres
    double angleTolerance = 0;   // radians
    std::vector<ReferenceRow> rows;

    // The record a chain is given: the switches as they stand and the
    // ellipsoids of the two datums.
    ConversionParams Params() const {
        ConversionParams p;
        for (int i = 0; i < 7; ++i) p.m_seven[i] = seven[i];
        for (int i = 0; i < 4; ++i) {
            p.m_local1[i] = local1[i];
            p.m_local2[i] = local2[i];
        }
        p.m_savedSourceDatum = sourceDatum;
        p.m_savedTargetDatum = targetDatum;
        p.m_savedUseSeven = useSeven;
        p.m_savedUseFour = useFour;
        p.m_projBefore = before;
        p.m_projAfter = after;
        CGeoCore::DatumTable(sourceDatum, &p.m_sourceEllipsoid[0], &p.m_sourceEllipsoid[1]);
        CGeoCore::DatumTable(targetDatum, &p.m_targetEllipsoid[0], &p.m_targetEllipsoid[1]);
        return p;
    }

    // The setting in a session, as the user would make it: datums, check
    // boxes, parameters, projections and the zone change.
    void SetUp(ConversionSession& s) const {
        s.m_params = Params();
        s.m_sourceDatum = sourceDatum;
        s.m_targetDatum = targetDatum;
        s.m_useSeven = useSeven;
        s.m_useFour = useFour;
        s.m_zoneChange = zoneChange;
    }
};

// A number of the data file, read in the C locale.
inline bool ReadReferenceNumber(const std::string& word, double* v) {
    std::istringstream in(word);
    in.imbue(std::locale::classic());
    return static_cast<bool>(in >> *v) && in.peek() == std::char_traits<char>::eof();
}

// Every block of the file. On a line it cannot read, returns what it has
// read so far and says where in *error.
inline std::vector<ReferenceBlock> ReadConversionReference(std::string* error) {
    const std::string path = std::string(TERRAX_TEST_DATA) + "/session/conversion_reference.txt";
    std::vector<ReferenceBlock> blocks;
    std::ifstream file(path);
    if (!file) {
        *error = path + ": cannot be read";
        return blocks;
    }
    std::string text;
    for (int lineNo = 1; std::getline(file, text); ++lineNo) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        std::istringstream in(text);
        std::string op, word;
        if (!(in >> op) || op[0] == '#') continue;
        std::vector<std::string> words;
        while (in >> word) words.push_back(word);
        std::vector<double> v(words.size());
        bool numbers = true;
        for (std::size_t i = 0; i < words.size(); ++i)
            numbers = numbers && ReadReferenceNumber(words[i], &v[i]);
        const auto bad = [&] {
            *error = path + ":" + std::to_string(lineNo) + ": " + text;
            return blocks;
        };
        if (op == "block") {
            if (words.size() != 1) return bad();
            blocks.emplace_back();
            blocks.back().line = lineNo;
            blocks.back().name = words[0];
            continue;
        }
        if (blocks.empty()) return bad();
        ReferenceBlock& b = blocks.back();
        const auto setting = [&](std::size_t count) { return numbers && words.size() == count; };
        const auto projection = [&](ProjectionRecord& p) {
            p.kind = static_cast<ProjectionKind>(static_cast<int>(v[0]));
            p.centralMeridian = v[1];
            p.xConstant = static_cast<int>(v[2]);
            p.yConstant = static_cast<int>(v[3]);
            p.scale = v[4];
            p.baseLatitude = v[5];
        };
        if (op == "datums" && setting(2)) {
            b.sourceDatum = static_cast<int>(v[0]);
            b.targetDatum = static_cast<int>(v[1]);
        } else if (op == "switches" && setting(3)) {
            b.useSeven = static_cast<int>(v[0]);
            b.useFour = static_cast<int>(v[1]);
            b.zoneChange = static_cast<int>(v[2]);
        } else if (op == "seven" && setting(7)) {
            for (int i = 0; i < 7; ++i) b.seven[i] = v[static_cast<std::size_t>(i)];
        } else if ((op == "local1" || op == "local2") && setting(4)) {
            for (int i = 0; i < 4; ++i)
                (op == "local1" ? b.local1 : b.local2)[i] = v[static_cast<std::size_t>(i)];
        } else if ((op == "before" || op == "after") && setting(6)) {
            projection(op == "before" ? b.before : b.after);
        } else if (op == "tolerance" && words.size() == 4 && words[1] == "m" && words[3] == "rad" &&
                   ReadReferenceNumber(words[0], &b.lengthTolerance) &&
                   ReadReferenceNumber(words[2], &b.angleTolerance)) {
        } else if (op == "convert" || op == "g2p" || op == "p2g" || op == "p2g_on" ||
                   op == "shift" || op == "apply_seven") {
            b.rows.push_back({lineNo, op, words});
        } else {
            return bad();
        }
    }
    return blocks;
}
