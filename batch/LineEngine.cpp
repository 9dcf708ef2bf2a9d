#include "batch/LineEngine.h"

#include "batch/FileFormat.h"
#include "batch/SplitFields.h"

namespace {

// Blanks, tabs and carriage returns left after the last separator carry no data.
bool HoldsText(std::string_view rest) {
    for (char c : rest) {
        if (c != ' ' && c != '\t' && c != '\r') return true;
    }
    return false;
}

}  // namespace

LineEngine::LineEngine(const ConversionSession& session)
    : m_session(session), m_separator(SeparatorChar(session.m_params.m_formatSeparator)) {
    ApplyEqualDatumRule(m_session);
    for (int k = 0; k < 3; ++k) m_column[k] = session.m_params.m_column[k];
    m_fields.reserve(32);
}

bool LineEngine::ConvertLine(std::string_view line, LineWriter& writer) {
    const std::size_t consumed = SplitFields(line, m_separator, &m_fields);
    const std::size_t count = m_fields.size();
    for (int k = 0; k < 3; ++k) {
        const int c = m_column[k];
        if (c >= 0 && static_cast<std::size_t>(c) < count) {
            m_texts[k].assign(m_fields[static_cast<std::size_t>(c)]);
        } else {
            m_texts[k].clear();
        }
    }
    double values[3];
    ConvertPointValues(m_session, m_texts[0], m_texts[1], m_texts[2], values);
    for (int k = 0; k < 3; ++k) {
        m_resultLengths[k] = FormatPointResult(m_session, k, values[k], m_results[k]);
    }
    for (std::size_t j = 0; j < count; ++j) {
        const int jj = static_cast<int>(j);
        int slot = -1;
        if (jj == m_column[0]) {
            slot = 0;
        } else if (jj == m_column[1]) {
            slot = 1;
        } else if (jj == m_column[2]) {
            slot = 2;
        }
        if (slot >= 0) {
            writer.Append(
                std::string_view(m_results[slot], static_cast<std::size_t>(m_resultLengths[slot])));
        } else {
            writer.Append(m_fields[j]);
        }
        writer.Append(m_separator);
    }
    writer.Append(std::string_view("\r\n", 2));
    return HoldsText(line.substr(consumed));
}

StreamResult LineEngine::Convert(std::FILE* in, std::FILE* out, const Progress& progress) {
    StreamResult result;
    LineReader reader(in);
    LineWriter writer(out);
    std::string_view line;
    while (reader.Next(&line)) {
        if (line.empty()) {
            result.stoppedAtEmptyLine = true;
            result.dataAfterEmptyLine = reader.RestHasContent();
            break;
        }
        if (ConvertLine(line, writer)) result.textAfterLastSeparator = true;
        ++result.lines;
        if (writer.Failed()) break;
        if (progress && result.lines % kProgressLines == 0) progress(reader.BytesConsumed());
    }
    writer.Flush();
    if (progress) progress(reader.BytesConsumed());
    result.readFailed = reader.Failed();
    result.writeFailed = writer.Failed();
    if (result.writeFailed) {
        result.errorNumber = writer.ErrorNumber();
    } else if (result.readFailed) {
        result.errorNumber = reader.ErrorNumber();
    }
    return result;
}
