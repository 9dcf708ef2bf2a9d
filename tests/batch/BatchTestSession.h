// Sessions for the batch tests: a set-up in which every step of every
// conversion chain changes the numbers, and the expected output line built
// from the single-point conversion.
#pragma once

#include <string>
#include <vector>

#include "session/ConversionSession.h"
#include "tests/support/SevenParameterSession.h"

// The seven-parameter session of the given kinds with a format of these
// columns; prepared.
inline ConversionSession MakeTestSession(int sourceKind, int targetKind,
                                         const std::string& separator = ",",
                                         std::vector<int> column = {1, 2, 3}) {
    ConversionSession s = SevenParameterSession(sourceKind, targetKind);
    s.m_format.m_formatSeparator = separator;
    for (int k = 0; k < 3; ++k) s.m_format.m_column[k] = column[k];
    s.PrepareConversion();
    return s;
}

// Three texts of a point of each source kind, in slot order.
inline std::vector<std::vector<std::string>> TestPoints(int sourceKind) {
    switch (sourceKind) {
        case 0:
            return {{"-2248582.352", "5050398.652", "3170430.097"},
                    {"-2172312.5", "4983455.25", "3296105.125"},
                    {"  -2300000", "5000000.0e0", "3200000xyz"}};
        case 1:
            return {{"030:00:00.000", "114:00:00.000", "0"},
                    {"031:45:12.345678", "114:07:50.5", "45.25"},
                    {"029:59:59.999999", "113:30:00", "-12.5"}};
        default:
            return {{"3512345.000", "512345.000", "45.0"},
                    {"3321234.5678", "487654.321", "12.25"},
                    {"3400000", "500000", ""}};
    }
}

// The output line the batch must write for `line`, built with the
// single-point conversion of the session: the fields up to the last
// separator, the coordinate fields replaced by the converted texts, each
// followed by the separator, then CR LF.
inline std::string ExpectedLine(ConversionSession session, const std::string& line) {
    const char sep =
        session.m_format.m_formatSeparator.empty() ? ',' : session.m_format.m_formatSeparator[0];
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == sep) {
            fields.push_back(line.substr(start, i - start));
            start = i + 1;
        }
    }
    const int* column = session.m_format.m_column;
    for (int k = 0; k < 3; ++k) {
        const bool present = column[k] >= 0 && column[k] < static_cast<int>(fields.size());
        session.m_sourceText[k] = present ? fields[static_cast<std::size_t>(column[k])] : "";
    }
    session.Convert();
    std::string out;
    for (std::size_t j = 0; j < fields.size(); ++j) {
        const int jj = static_cast<int>(j);
        if (jj == column[0]) {
            out += session.m_targetText[0];
        } else if (jj == column[1]) {
            out += session.m_targetText[1];
        } else if (jj == column[2]) {
            out += session.m_targetText[2];
        } else {
            out += fields[j];
        }
        out += sep;
    }
    return out + "\r\n";
}
