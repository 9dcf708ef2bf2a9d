// The extension after the 73 values of a project file: its sections' content
// coding, what a loader keeps, and every kind of damage refused with the
// session left as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "session/ConversionSession.h"
#include "session/ProjectExtension.h"
#include "tests/session/SessionTestUtil.h"
#include "tests/support/TestTempDir.h"

namespace {

std::string Le32(std::int32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
    return s;
}

std::string DefaultProject(const TestTempDir& dir) {
    ConversionSession fresh;
    std::string error;
    EXPECT_TRUE(fresh.SaveProject(dir.File("default.cod"), &error)) << error;
    return ReadBytes(dir.File("default.cod"));
}

// An extension holding `sections`, as WriteExtension lays it out.
std::string Extension(const std::vector<std::pair<std::string, std::string>>& sections) {
    std::string s = std::string("TRXE") + Le32(1) + Le32(static_cast<std::int32_t>(sections.size()));
    for (const auto& [tag, bytes] : sections) s += tag + Le32(static_cast<std::int32_t>(bytes.size())) + bytes;
    return s;
}

}  // namespace

TEST(ProjectSectionContent, ValuesReadBackAsWritten) {
    const std::string longText(300, 'a');
    SectionWriter w;
    w.Int(-7).Double(-0.1).Text("北京54").Text("").Text(longText).Int(2147483647);
    // The texts are GB18030 with the archive's prefix: 6 bytes for 北京54,
    // a three-byte prefix for 300 bytes.
    EXPECT_EQ(w.Bytes().size(), 4u + 8 + (1 + 6) + 1 + (3 + 300) + 4);
    EXPECT_EQ(w.Bytes().substr(12, 7), "\x06\xB1\xB1\xBE\xA9" "54");

    SectionReader r(w.Bytes());
    std::int32_t i = 0;
    double d = 0;
    std::string t, empty = "x", big;
    ASSERT_TRUE(r.Int(&i));
    EXPECT_EQ(i, -7);
    ASSERT_TRUE(r.Double(&d));
    const double expected = -0.1;
    EXPECT_EQ(std::memcmp(&d, &expected, sizeof d), 0);
    ASSERT_TRUE(r.Text(&t));
    EXPECT_EQ(t, "北京54");
    ASSERT_TRUE(r.Text(&empty));
    EXPECT_EQ(empty, "");
    ASSERT_TRUE(r.Text(&big));
    EXPECT_EQ(big, longText);
    EXPECT_FALSE(r.AtEnd());
    ASSERT_TRUE(r.Int(&i));
    EXPECT_EQ(i, 2147483647);
    EXPECT_TRUE(r.AtEnd());
    EXPECT_FALSE(r.Int(&i));
    EXPECT_EQ(i, 2147483647);
}

TEST(ProjectSectionContent, ShortContentFailsEveryReadAndTouchesNothing) {
    SectionWriter w;
    w.Double(1.5).Text(std::string(70000, 'b'));
    for (std::size_t cut = 0; cut < w.Bytes().size(); cut += (cut < 20 ? 1 : 9973)) {
        SCOPED_TRACE(cut);
        SectionReader r(std::string_view(w.Bytes()).substr(0, cut));
        double d = 9;
        std::string t = "kept";
        if (cut < 8) {
            EXPECT_FALSE(r.Double(&d));
            EXPECT_EQ(d, 9);
        } else {
            ASSERT_TRUE(r.Double(&d));
            EXPECT_FALSE(r.Text(&t));
            EXPECT_EQ(t, "kept");
        }
    }
}

TEST(ProjectExtensionFile, SessionWithNothingExtraWritesNoExtension) {
    TestTempDir dir;
    EXPECT_EQ(DefaultProject(dir).size(), 537u);
}

TEST(ProjectExtensionFile, UnknownSectionsAreKeptAndWrittenBackByteForByte) {
    TestTempDir dir;
    const std::string file =
        DefaultProject(dir) + Extension({{"ZZZ1", "abc"}, {"QQQ2", ""}, {"ZZZ1", std::string(300, '\0')}});
    const std::string path = dir.File("ext.cod");
    WriteBytes(path, file);
    ConversionSession s;
    std::string error;
    ASSERT_TRUE(s.LoadProject(path, &error)) << error;
    ASSERT_EQ(s.m_otherSections.size(), 3u);
    EXPECT_EQ(s.m_otherSections[0].tag, "ZZZ1");
    EXPECT_EQ(s.m_otherSections[0].bytes, "abc");
    ASSERT_TRUE(s.SaveProject(dir.File("again.cod"), &error)) << error;
    EXPECT_EQ(ReadBytes(dir.File("again.cod")), file);
}

TEST(ProjectExtensionFile, BytesThatAreNoExtensionAreIgnoredAsBefore) {
    TestTempDir dir;
    const std::string path = dir.File("tail.cod");
    for (const std::string& tail : {std::string("x"), std::string("TRX"), std::string("\x1A"), std::string("TRXF....")}) {
        WriteBytes(path, DefaultProject(dir) + tail);
        ConversionSession s;
        std::string error;
        EXPECT_TRUE(s.LoadProject(path, &error)) << error;
        EXPECT_TRUE(s.m_otherSections.empty());
    }
}

TEST(ProjectExtensionFile, DamagedExtensionIsRefusedAndTheSessionStaysAsItWas) {
    TestTempDir dir;
    const std::string base = DefaultProject(dir);
    const std::string good = Extension({{"ZZZ1", "abcdef"}});
    std::vector<std::string> damaged = {
        std::string("TRXE"),                                    // no version
        std::string("TRXE") + Le32(2) + Le32(0),                // a later version
        std::string("TRXE") + Le32(1) + Le32(-1),               // negative count
        std::string("TRXE") + Le32(1) + Le32(65),               // too many sections
        std::string("TRXE") + Le32(1) + Le32(1) + "ZZZ1" + Le32(-5),
        std::string("TRXE") + Le32(1) + Le32(1) + "ZZZ1" + Le32(kMaxSectionBytes + 1),
        good + "!",                                             // bytes after the last section
        Extension({{"ZZZ1", "abc"}}) + Extension({{"ZZZ2", ""}}),
    };
    for (std::size_t cut = 4; cut < good.size(); ++cut) damaged.push_back(good.substr(0, cut));
    const std::string path = dir.File("damaged.cod");
    for (const std::string& ext : damaged) {
        SCOPED_TRACE(ext.size());
        WriteBytes(path, base + ext);
        ConversionSession s = ChangedSession();
        s.m_otherSections = {{"KEEP", "me"}};
        const ConversionSession before = s;
        std::string error;
        ASSERT_FALSE(s.LoadProject(path, &error));
        EXPECT_NE(error.find("已损坏"), std::string::npos) << error;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        ExpectSameSession(s, before);
        if (HasFailure()) break;
    }
}
