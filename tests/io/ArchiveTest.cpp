#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "io/Archive.h"
#include "io/ArchiveException.h"
#include "io/File.h"
#include "tests/support/TestTempDir.h"

namespace {

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty()) out += ' ';
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// Stores through `fill` into a fresh file and returns the file's bytes.
template <class Fill>
std::string StoreBytes(const TestTempDir& dir, Fill fill, std::size_t bufferSize = 4096) {
    const std::string path = dir.File("store.bin");
    CFile file(path, CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store, bufferSize);
    fill(ar);
    ar.Close();
    file.Close();
    return ReadBytes(path);
}

class LoadFrom {
public:
    LoadFrom(const TestTempDir& dir, const std::string& bytes, std::size_t bufferSize = 4096)
        : m_path(dir.File("load.bin")) {
        WriteBytes(m_path, bytes);
        m_file.Open(m_path, CFile::modeRead);
        m_ar = std::make_unique<CArchive>(&m_file, CArchive::load, bufferSize);
    }
    CArchive& ar() { return *m_ar; }

private:
    std::string m_path;
    CFile m_file;
    std::unique_ptr<CArchive> m_ar;
};

}  // namespace

TEST(ArchiveLayout, NumbersAreLittleEndian) {
    TestTempDir dir;
    std::string bytes = StoreBytes(dir, [](CArchive& ar) {
        ar << std::int32_t{500000} << std::int32_t{-1} << 114.0 << 1.0 << -0.0;
    });
    EXPECT_EQ(Hex(bytes),
              "20 A1 07 00 FF FF FF FF 00 00 00 00 00 80 5C 40 00 00 00 00 00 00 F0 3F "
              "00 00 00 00 00 00 00 80");
}

TEST(ArchiveLayout, TextPrefixGrowsAtItsThresholds) {
    // Boundaries of the one-, three- and seven-byte prefix.
    struct Case {
        std::size_t length;
        std::string prefix;
    } cases[] = {
        {0, "00"},
        {13, "0D"},
        {254, "FE"},
        {255, "FF FF 00"},
        {300, "FF 2C 01"},
        {0xFFFD, "FF FD FF"},
        {0xFFFE, "FF FF FF FE FF 00 00"},
        {0xFFFF, "FF FF FF FF FF 00 00"},
        {70000, "FF FF FF 70 11 01 00"},
    };
    TestTempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const std::string text(c.length, 'a');
        std::string bytes = StoreBytes(dir, [&](CArchive& ar) { ar << text; });
        std::size_t prefixLength = (c.prefix.size() + 1) / 3;
        ASSERT_EQ(bytes.size(), prefixLength + c.length);
        EXPECT_EQ(Hex(bytes.substr(0, prefixLength)), c.prefix);
        EXPECT_EQ(bytes.substr(prefixLength), text);

        LoadFrom in(dir, bytes);
        std::string back;
        in.ar() >> back;
        EXPECT_EQ(back, text);
    }
}

TEST(ArchiveLayout, ChineseTextIsStoredAsGb18030AndPrefixCountsBytes) {
    TestTempDir dir;
    const std::string datum = "北京-54坐标系  ";
    std::string bytes = StoreBytes(dir, [&](CArchive& ar) { ar << datum; });
    EXPECT_EQ(Hex(bytes), "0F B1 B1 BE A9 2D 35 34 D7 F8 B1 EA CF B5 20 20");

    LoadFrom in(dir, bytes);
    std::string back;
    in.ar() >> back;
    EXPECT_EQ(back, datum);
}

TEST(ArchiveRoundTrip, ValuesComeBackBitForBitAcrossBufferBoundaries) {
    // A 16-byte buffer makes nearly every value straddle a refill or a flush.
    const double doubles[] = {0.0,
                              -0.0,
                              1.0 / 3.0,
                              -2248582.352,
                              std::numeric_limits<double>::denorm_min(),
                              std::numeric_limits<double>::max(),
                              std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN()};
    const std::int32_t ints[] = {0,
                                 1,
                                 -1,
                                 500000,
                                 std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()};
    const std::string texts[] = {
        "", "0", "000:00:00.000", std::string(40, 'x'), "坐标转换", std::string(5000, 'y')};
    TestTempDir dir;
    for (std::size_t bufferSize : {16, 1024, 4096}) {
        SCOPED_TRACE(bufferSize);
        std::string bytes = StoreBytes(
            dir,
            [&](CArchive& ar) {
                for (int round = 0; round < 3; ++round) {
                    for (double d : doubles) ar << d;
                    for (std::int32_t i : ints) ar << i;
                    for (const std::string& t : texts) ar << t;
                }
            },
            bufferSize);
        LoadFrom in(dir, bytes, bufferSize);
        for (int round = 0; round < 3; ++round) {
            for (double d : doubles) {
                double back;
                in.ar() >> back;
                EXPECT_EQ(std::memcmp(&back, &d, sizeof d), 0) << d;
            }
            for (std::int32_t i : ints) {
                std::int32_t back;
                in.ar() >> back;
                EXPECT_EQ(back, i);
            }
            for (const std::string& t : texts) {
                std::string back;
                in.ar() >> back;
                EXPECT_EQ(back, t);
            }
        }
        char extra;
        EXPECT_EQ(in.ar().Read(&extra, 1), 0u);
    }
}

TEST(ArchiveEndOfFile, ReadingPastTheEndThrows) {
    TestTempDir dir;
    auto expectEof = [&](const std::string& bytes, auto read) {
        LoadFrom in(dir, bytes);
        try {
            read(in.ar());
            ADD_FAILURE() << "no exception for " << Hex(bytes);
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
            EXPECT_NE(e.GetErrorMessage().find("意外结束"), std::string::npos);
            EXPECT_NE(e.GetErrorMessage().find(dir.File("load.bin")), std::string::npos);
        }
    };
    auto readInt = [](CArchive& ar) {
        std::int32_t v;
        ar >> v;
    };
    auto readDouble = [](CArchive& ar) {
        double v;
        ar >> v;
    };
    auto readText = [](CArchive& ar) {
        std::string v;
        ar >> v;
    };
    expectEof("", readInt);
    expectEof("abc", readInt);
    expectEof("1234567", readDouble);
    expectEof("", readText);
    expectEof(std::string("\x05"
                          "abcd"),
              readText);
    expectEof(std::string("\xFF\x10"), readText);
    expectEof(std::string("\xFF\xFF\xFF\x01\x00", 5), readText);
    // A damaged prefix claiming 4 GiB must fail at the end of the file
    // instead of reserving the whole length first.
    expectEof(std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF"
                          "short",
                          12),
              readText);
}

TEST(ArchiveDirection, WrongDirectionThrows) {
    TestTempDir dir;
    LoadFrom in(dir, "abcd");
    EXPECT_THROW(in.ar() << std::int32_t{1}, CArchiveException);

    CFile file(dir.File("out.bin"), CFile::modeCreate | CFile::modeWrite);
    CArchive out(&file, CArchive::store);
    std::int32_t v;
    try {
        out >> v;
        ADD_FAILURE() << "read from a storing archive";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::writeOnly);
    }
}

TEST(ArchiveStore, WriteErrorOfTheFileSurfacesAtClose) {
    if (!Platform::Exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full, the device that is always full";
    CFile full("/dev/full", CFile::modeWrite);
    CArchive ar(&full, CArchive::store, 1024);
    ar << 1.0;
    try {
        ar.Close();
        ADD_FAILURE() << "no error writing /dev/full";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
        EXPECT_NE(e.GetErrorMessage().find("/dev/full"), std::string::npos);
    }
}
