// Helpers of the converter tests: running the command in the process with
// captured streams, the window's file conversion on the same settings, and
// point files of each coordinate kind.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "batch/FileBatch.h"
#include "batch/FileFormat.h"
#include "batch/FormatStore.h"
#include "cli/Command.h"
#include "cli/ConvertRun.h"
#include "session/ConversionSession.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/TestTempDir.h"

// The bytes written to a temporary stream.
inline std::string StreamBytes(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string bytes;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
    return bytes;
}

struct CommandResult {
    int status = -1;
    std::string out;
    std::string err;
};

// RunCommand with `input` on its standard input and both outputs captured;
// appDir is where the default format store lies. The outputs may pass for a
// terminal: standard error, and standard output on the same one.
inline CommandResult RunConvert(const std::vector<std::string>& args, const std::string& appDir,
                                const std::string& input = {}, bool errIsTerminal = false,
                                bool outOnErrTerminal = false) {
    RunStreams streams;
    streams.in = TestPlatform::TemporaryStream();
    streams.out = TestPlatform::TemporaryStream();
    streams.err = TestPlatform::TemporaryStream();
    streams.errIsTerminal = errIsTerminal;
    streams.outOnErrTerminal = outOnErrTerminal;
    std::fwrite(input.data(), 1, input.size(), streams.in);
    std::rewind(streams.in);
    CommandResult r;
    r.status = RunCommand(args, appDir, streams);
    r.out = StreamBytes(streams.out);
    r.err = StreamBytes(streams.err);
    for (std::FILE* f : {streams.in, streams.out, streams.err}) std::fclose(f);
    return r;
}

// What the window does for a file conversion: open the project (the
// controls then show its datums and switches), choose the format from the
// store in the format dialog with the naming choice, let `controls` change
// what the user changes in the main window, browse the sources and press
// "=>" (PrepareConversion, then the batch).
template <class Controls>
BatchResult WindowBatch(const std::string& project, const std::string& store,
                        const std::string& formatName, int naming,
                        const std::vector<std::string>& sources, Controls controls) {
    ConversionSession s;
    std::string error;
    if (!project.empty()) {
        EXPECT_TRUE(s.LoadProject(project, &error)) << error;
        s.m_useFour = s.m_params.m_savedUseFour;
        s.m_useSeven = s.m_params.m_savedUseSeven;
        s.m_targetDatum = s.m_params.m_savedTargetDatum;
        s.m_sourceDatum = s.m_params.m_savedSourceDatum;
    }
    std::vector<FileFormat> formats;
    EXPECT_EQ(LoadFormatStore(store, &formats, &error), StoreStatus::Loaded) << error;
    for (std::size_t i = 0; i < formats.size(); ++i) {
        if (formats[i].name != formatName) continue;
        DeriveColumns(formats[i], s.m_format.m_column);
        s.m_format.m_formatName = formats[i].name;
        s.m_format.m_formatExtension = formats[i].extension;
        s.m_format.m_formatSeparator = formats[i].separator;
        s.m_format.m_formatIndex = static_cast<int>(i);
        break;
    }
    s.m_format.m_naming = naming;
    controls(s);
    s.m_sourceFiles = sources;
    s.m_sourceFileCount = static_cast<int>(sources.size());
    s.PrepareConversion();
    return RunBatch(s);
}

inline BatchResult WindowBatch(const std::string& project, const std::string& store,
                               const std::string& formatName, int naming,
                               const std::vector<std::string>& sources) {
    return WindowBatch(project, store, formatName, naming, sources, [](ConversionSession&) {});
}

// A fixed linear congruential sequence, the same on every run.
class PointSequence {
public:
    explicit PointSequence(std::uint64_t seed) : m_state(seed) {}
    double Next(double lo, double hi) {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return lo + (hi - lo) * static_cast<double>(m_state >> 11) * 0x1.0p-53;
    }

private:
    std::uint64_t m_state;
};

// Degrees as the angle text "DDD:MM:SS.ffffff".
inline std::string DegreesText(double degrees) {
    const int d = static_cast<int>(degrees);
    const double m = (degrees - d) * 60;
    const int mi = static_cast<int>(m);
    char text[48];
    std::snprintf(text, sizeof text, "%03d:%02d:%09.6f", d, mi, (m - mi) * 60);
    return text;
}

// `count` lines "P<n>,first,second,third,note," of points over eastern China
// for a source kind (0 space, 1 geodetic, 2 plane), separated by `sep`,
// ending in CR LF.
inline std::string PointLines(int kind, int count, char sep = ',', std::uint64_t seed = 5) {
    PointSequence seq(seed);
    CGeoCore geo;
    std::string out;
    char line[256];
    for (int i = 1; i <= count; ++i) {
        const double b = seq.Next(25, 40), l = seq.Next(112.5, 115.5), h = seq.Next(0, 500);
        std::string f[3];
        if (kind == 1) {
            f[0] = DegreesText(b);
            f[1] = DegreesText(l);
            std::snprintf(line, sizeof line, "%.3f", h);
            f[2] = line;
        } else {
            double v[3];
            if (kind == 0) {
                geo.GeodeticToSpace(6378245.0, 298.3, b * 0.017453292519943334,
                                    l * 0.017453292519943334, h, &v[0], &v[1], &v[2]);
            } else {
                v[0] = seq.Next(2.8e6, 4.4e6);
                v[1] = seq.Next(380000, 620000);
                v[2] = h;
            }
            for (int k = 0; k < 3; ++k) {
                std::snprintf(line, sizeof line, "%.3f", v[k]);
                f[k] = line;
            }
        }
        out += "P" + std::to_string(i) + sep + f[0] + sep + f[1] + sep + f[2] + sep + "GPS" + sep +
               "\r\n";
    }
    return out;
}

// The separator and item line of the test formats: point number, the three
// coordinates, a note.
inline FileFormat PointFormat(const std::string& name, const std::string& extension,
                              const std::string& separator) {
    std::string items;
    for (const char* item : {"点号", "北方向X", "东方向Y", "水准高", "其它"}) {
        items += item;
        items += separator;
    }
    return {name, extension, separator, items};
}

// Every file of two directories: the same names and the same bytes.
inline void ExpectSameDirectories(const TestTempDir& a, const TestTempDir& b) {
    ASSERT_EQ(a.Entries(), b.Entries());
    for (const std::string& name : a.Entries()) {
        EXPECT_EQ(ReadBytes(a.File(name)), ReadBytes(b.File(name))) << name;
    }
}
