// The project file loader, its extension (the heights' section HGT1 and
// sections of unknown tags) included: a failed load leaves the session as it
// was; a successful load, saved and loaded again, gives the same values, and
// saving those gives the same bytes; a saved extension cut short is refused
// with the session left as it was.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "io/Archive.h"
#include "io/File.h"
#include "session/ConversionSession.h"

namespace {

// In memory where the system has a place for it.
std::string TempPath(const char* name) {
    const char* dir = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("TMPDIR");
    return std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/terrax-fuzz-" +
           std::to_string(::getpid()) + "-" + name;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

std::string ReadFile(const std::string& path) {
    std::string bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}

// The bytes of a session's values as the project file holds them: equal
// bytes are equal values, bit for bit. Written as SaveProject writes them,
// without its temporary file and flush to the disk.
std::string SavedBytes(ConversionSession& s, const std::string& path) {
    {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store, 1024);
        s.Serialize(ar);
        s.SerializeExtension(ar);
        ar.Close();
        file.Close();
    }
    return ReadFile(path);
}

// What a window holds besides the project file's values.
bool SameOutsideTheFile(const ConversionSession& a, const ConversionSession& b) {
    return a.m_sourceDatum == b.m_sourceDatum && a.m_targetDatum == b.m_targetDatum &&
           a.m_useFour == b.m_useFour && a.m_useSeven == b.m_useSeven &&
           a.m_sourceFiles == b.m_sourceFiles && a.m_outputFiles == b.m_outputFiles &&
           a.m_sourceFileCount == b.m_sourceFileCount &&
           a.m_format.m_formatName == b.m_format.m_formatName &&
           a.m_format.m_formatSeparator == b.m_format.m_formatSeparator &&
           a.m_format.m_naming == b.m_format.m_naming && a.m_targetText[0] == b.m_targetText[0];
}

// A session unlike the defaults in every value, so that a load that changes
// anything shows.
ConversionSession Marked() {
    ConversionSession s;
    double* values[] = {s.m_params.m_seven, s.m_params.m_local1, s.m_params.m_local2,
                        s.m_inputs.m_calcFour};
    for (double* v : values) v[0] = 1.25;
    s.m_inputs.m_calcThreeX = 3512345.5;
    s.m_inputs.m_calcSevenB[1] = "030:00:00";
    s.m_params.m_projBefore.centralMeridian = 117;
    s.m_sourceText[0] = "3512345.000";
    s.m_sourceKind = 1;
    s.m_targetKind = 0;
    s.m_zoneChange = 2;
    s.m_sourceDatum = 3;
    s.m_useSeven = 1;
    s.m_sourceFiles = {"/data/pts.txt"};
    s.m_sourceFileCount = 1;
    s.m_format.m_formatName = "坐标";
    s.m_format.m_formatSeparator = ",";
    s.m_targetText[0] = "0.000000";
    s.m_heights.enabled = true;
    s.m_heights.geoid = "/data/geoid.gtx";
    s.m_heights.model = HeightModel();
    s.m_heights.model->surface = HeightSurface::Plane;
    s.m_heights.model->coefficients[1] = 0.125;
    s.m_otherSections = {{"MARK", "marked"}};
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string input = TempPath("input.xyz");
    static const std::string saved = TempPath("saved.xyz");
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (!WriteFile(input, bytes)) FuzzCheckFailed("cannot write the input", __FILE__, __LINE__, {});

    ConversionSession session = Marked();
    const ConversionSession before = session;
    ConversionSession copy = before;
    const std::string beforeBytes = SavedBytes(copy, saved);

    std::string error;
    if (!session.LoadProject(input, &error)) {
        FUZZ_CHECK(!error.empty(), bytes);
        FUZZ_CHECK(SavedBytes(session, saved) == beforeBytes, bytes);
        FUZZ_CHECK(SameOutsideTheFile(session, before), bytes);
        return 0;
    }
    FUZZ_CHECK(SameOutsideTheFile(session, before), bytes);
    const ConversionSession loaded = session;
    const std::string first = SavedBytes(session, saved);
    ConversionSession again = Marked();
    FUZZ_CHECK(again.LoadProject(saved, &error), bytes);
    FUZZ_CHECK(again.m_heights == loaded.m_heights, bytes);
    FUZZ_CHECK(again.m_otherSections == loaded.m_otherSections, bytes);
    FUZZ_CHECK(SavedBytes(again, saved) == first, bytes);
    if (loaded.m_heights.Any() || !loaded.m_otherSections.empty()) {
        // The extension's last byte belongs to a section or to its frame.
        if (!WriteFile(saved, first.substr(0, first.size() - 1))) {
            FuzzCheckFailed("cannot write the cut file", __FILE__, __LINE__, {});
        }
        ConversionSession cut = Marked();
        FUZZ_CHECK(!cut.LoadProject(saved, &error), bytes);
        FUZZ_CHECK(cut.m_heights == before.m_heights, bytes);
        FUZZ_CHECK(SavedBytes(cut, saved) == beforeBytes, bytes);
    }
    return 0;
}
