// The extension of a project file: what follows its 73 values when the
// session holds something they cannot (a height model, datums of the user's
// own). A session without such things writes no extension, so its file stays
// byte for byte what it always was.
//
// Layout, in the archive's encoding (int32 little-endian, texts GB18030 with
// the archive's length prefix):
//   4 bytes  "TRXE"
//   int32    version, 1
//   int32    number of sections, 0..64
//   per section: 4 bytes tag, int32 length n (0..kMaxSectionBytes), n bytes
//   nothing after the last section
// Readers of the 73 values alone stop before the extension and ignore it: the
// project then opens without what the extension holds. Bytes after the 73
// values that do not start with "TRXE" are ignored as they always were. A
// reader of this version refuses an extension that is damaged (a version it
// does not know, a count or length out of range, a truncated section, bytes
// after the last section, a section whose content does not parse) and skips
// sections whose tag it does not know.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CArchive;

inline constexpr char kExtensionMagic[] = "TRXE";
inline constexpr std::int32_t kExtensionVersion = 1;
inline constexpr std::int32_t kMaxSections = 64;
inline constexpr std::int32_t kMaxSectionBytes = 16 * 1024 * 1024;

struct ProjectSection {
    std::string tag;    // 4 bytes
    std::string bytes;  // the content
    bool operator==(const ProjectSection&) const = default;
};

// Writes the extension holding `sections`; nothing at all when there are none.
void WriteExtension(CArchive& ar, const std::vector<ProjectSection>& sections);
// Reads what follows the 73 values: no sections when the file ends there or
// goes on with something other than the extension. Throws
// CArchiveException(badSchema) for a damaged extension, with the archive's
// file name.
std::vector<ProjectSection> ReadExtension(CArchive& ar);

// The content of a section, in the archive's encoding.
class SectionWriter {
public:
    SectionWriter& Int(std::int32_t value);
    SectionWriter& Double(double value);
    // UTF-8 in, GB18030 with the archive's length prefix out.
    SectionWriter& Text(const std::string& utf8);
    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

// Reads a section's content; every call returns false once the content
// ends early, and then leaves its output untouched.
class SectionReader {
public:
    explicit SectionReader(std::string_view bytes) : m_bytes(bytes) {}
    bool Int(std::int32_t* value);
    bool Double(double* value);
    bool Text(std::string* utf8);
    bool AtEnd() const { return m_pos == m_bytes.size(); }

private:
    bool Take(void* out, std::size_t count);

    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

// Throws CArchiveException(badSchema) naming the archive's file; for the
// readers of sections whose content does not parse.
[[noreturn]] void ThrowDamagedExtension(const CArchive& ar);
