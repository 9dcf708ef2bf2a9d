#include "session/ProjectExtension.h"

#include <algorithm>
#include <cstring>

#include "io/Archive.h"
#include "io/ArchiveException.h"
#include "io/CodePage.h"
#include "io/File.h"

namespace {

void AppendInt(std::string* out, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

std::int32_t IntOf(const unsigned char* b) {
    const std::uint32_t u = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    return static_cast<std::int32_t>(u);
}

// Reads exactly `count` bytes or throws the damaged-extension error.
void ReadAll(CArchive& ar, void* out, std::size_t count) {
    if (ar.Read(out, count) != count) ThrowDamagedExtension(ar);
}

std::int32_t ReadInt(CArchive& ar) {
    unsigned char b[4];
    ReadAll(ar, b, 4);
    return IntOf(b);
}

}  // namespace

void ThrowDamagedExtension(const CArchive& ar) {
    const CFile* file = ar.GetFile();
    throw CArchiveException(CArchiveException::badSchema, file ? file->GetFilePath() : std::string());
}

void WriteExtension(CArchive& ar, const std::vector<ProjectSection>& sections) {
    if (sections.empty()) return;
    std::string bytes(kExtensionMagic, 4);
    AppendInt(&bytes, kExtensionVersion);
    AppendInt(&bytes, static_cast<std::int32_t>(sections.size()));
    for (const ProjectSection& s : sections) {
        bytes.append(s.tag.substr(0, 4));
        bytes.append(4 - std::min<std::size_t>(s.tag.size(), 4), ' ');
        AppendInt(&bytes, static_cast<std::int32_t>(s.bytes.size()));
        bytes.append(s.bytes);
    }
    ar.Write(bytes.data(), bytes.size());
}

std::vector<ProjectSection> ReadExtension(CArchive& ar) {
    char magic[4];
    if (ar.Read(magic, 4) != 4 || std::memcmp(magic, kExtensionMagic, 4) != 0) return {};
    if (ReadInt(ar) != kExtensionVersion) ThrowDamagedExtension(ar);
    const std::int32_t count = ReadInt(ar);
    if (count < 0 || count > kMaxSections) ThrowDamagedExtension(ar);
    std::vector<ProjectSection> sections(static_cast<std::size_t>(count));
    for (ProjectSection& s : sections) {
        s.tag.resize(4);
        ReadAll(ar, s.tag.data(), 4);
        const std::int32_t length = ReadInt(ar);
        if (length < 0 || length > kMaxSectionBytes) ThrowDamagedExtension(ar);
        s.bytes.resize(static_cast<std::size_t>(length));
        ReadAll(ar, s.bytes.data(), s.bytes.size());
    }
    char extra;
    if (ar.Read(&extra, 1) != 0) ThrowDamagedExtension(ar);
    return sections;
}

SectionWriter& SectionWriter::Int(std::int32_t value) {
    AppendInt(&m_bytes, value);
    return *this;
}

SectionWriter& SectionWriter::Double(double value) {
    std::uint64_t u;
    std::memcpy(&u, &value, sizeof u);
    for (int i = 0; i < 8; ++i) m_bytes.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
    return *this;
}

SectionWriter& SectionWriter::Text(const std::string& utf8) {
    const std::string gb = Utf8ToGb18030(utf8);
    const std::size_t n = gb.size();
    if (n < 0xFF) {
        m_bytes.push_back(static_cast<char>(n));
    } else if (n < 0xFFFE) {
        m_bytes.push_back(static_cast<char>(0xFF));
        m_bytes.push_back(static_cast<char>(n & 0xFF));
        m_bytes.push_back(static_cast<char>(n >> 8));
    } else {
        m_bytes.append("\xFF\xFF\xFF", 3);
        AppendInt(&m_bytes, static_cast<std::int32_t>(n));
    }
    m_bytes.append(gb);
    return *this;
}

bool SectionReader::Take(void* out, std::size_t count) {
    if (m_bytes.size() - m_pos < count) return false;
    std::memcpy(out, m_bytes.data() + m_pos, count);
    m_pos += count;
    return true;
}

bool SectionReader::Int(std::int32_t* value) {
    unsigned char b[4];
    if (!Take(b, 4)) return false;
    *value = IntOf(b);
    return true;
}

bool SectionReader::Double(double* value) {
    unsigned char b[8];
    if (!Take(b, 8)) return false;
    std::uint64_t u = 0;
    for (int i = 7; i >= 0; --i) u = (u << 8) | b[i];
    std::memcpy(value, &u, sizeof u);
    return true;
}

bool SectionReader::Text(std::string* utf8) {
    const std::size_t start = m_pos;
    unsigned char b[4];
    std::size_t n = 0;
    if (!Take(b, 1)) return false;
    if (b[0] < 0xFF) {
        n = b[0];
    } else if (!Take(b, 2)) {
        m_pos = start;
        return false;
    } else if (b[0] != 0xFF || b[1] != 0xFF) {
        n = b[0] | (b[1] << 8);
    } else if (!Take(b, 4)) {
        m_pos = start;
        return false;
    } else {
        n = static_cast<std::uint32_t>(IntOf(b));
    }
    if (m_bytes.size() - m_pos < n) {
        m_pos = start;
        return false;
    }
    *utf8 = Gb18030ToUtf8(std::string(m_bytes.substr(m_pos, n)));
    m_pos += n;
    return true;
}
