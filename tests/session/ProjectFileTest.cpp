// The project file: layout byte for byte, save and load, and the two mended
// faults (a failed save keeps the old file; a failed load keeps the session).
#include <gtest/gtest.h>

#include <random>

#include "io/Archive.h"
#include "io/Exception.h"
#include "io/File.h"
#include "session/ConversionSession.h"
#include "tests/session/SessionTestUtil.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TestTempDir.h"

namespace {

const char kAngle[] = "000:00:00.000";

// The file of a session right after start-up, item by item from the table.
std::string DefaultFileBytes() {
    FileBytes b;
    for (int i = 0; i < 7; ++i) b.D(0);       // 1-7 m_seven
    for (int i = 0; i < 8; ++i) b.D(0);       // 8-15 m_calcFour
    b.I(0);                                   // 16 m_calcFourLevel
    for (int i = 0; i < 8; ++i) b.D(0);       // 17-24 m_local1, m_local2
    b.I(0).I(0);                              // 25, 26 saved datums
    b.I(0);                                   // 27 m_projBefore.kind
    b.I(0).I(0);                              // 28, 29 saved switches
    b.D(114.0).I(0).I(500000).I(0);           // 30-33 m_projBefore
    b.D(114.0).I(0).I(500000).I(0);           // 34-37 m_projAfter
    b.D(1.0).D(0.0);                          // 38, 39 m_projAfter scale, base latitude
    b.I(0);                                   // 40 m_zoneChange
    b.D(1.0).D(0.0);                          // 41, 42 m_projBefore scale, base latitude
    b.I(2).I(0);                              // 43, 44 m_calcDatumGeo, m_calcDatumPlane
    b.T(kAngle).T("0").T(kAngle);             // 45-47 m_calcThreeB, H, L
    b.D(0).D(0).D(0);                         // 48-50 m_calcThreeZ, X, Y
    b.T("").T("").T("");                      // 51-53 m_sourceText
    b.I(2).I(2);                              // 54, 55 kinds
    for (int i = 0; i < 6; ++i) b.T(kAngle);  // 56-61 m_calcSevenB, L
    for (int i = 0; i < 12; ++i) b.D(0);      // 62-73 m_calcSevenH, X, Y, Z
    return b.Str();
}

// The file of FillDistinctFileItems, item by item from the table.
std::string DistinctFileBytes() {
    FileBytes b;
    for (int n = 1; n <= 15; ++n) b.D(n + 0.25);
    b.I(1016);
    for (int n = 17; n <= 24; ++n) b.D(n + 0.25);
    for (int n = 25; n <= 29; ++n) b.I(1000 + n);
    b.D(30.25).I(1031).I(1032).I(1033);
    b.D(34.25).I(1035).I(1036).I(1037);
    b.D(38.25).D(39.25).I(1040).D(41.25).D(42.25).I(1043).I(1044);
    b.T("t45").T("t46").T("t47").D(48.25).D(49.25).D(50.25);
    b.T("\xB1\xB1\xBE\xA9"
        "51")
        .T("t52")
        .T("t53")
        .I(1054)
        .I(1055);
    for (int n = 56; n <= 61; ++n) b.T("t" + std::to_string(n));
    for (int n = 62; n <= 73; ++n) b.D(n + 0.25);
    return b.Str();
}

std::string Save(ConversionSession& s, const std::string& path) {
    std::string error;
    EXPECT_TRUE(s.SaveProject(path, &error)) << error;
    EXPECT_EQ(error, "");
    return ReadBytes(path);
}

std::string Bytes(const std::string& s, std::size_t offset, std::size_t n) {
    return s.substr(offset, n);
}

}  // namespace

TEST(ProjectFileLayout, FileSavedRightAfterStartUpIs537BytesAsLaidOut) {
    TestTempDir dir;
    ConversionSession s;
    const std::string bytes = Save(s, dir.File("new.cod"));
    ASSERT_EQ(bytes.size(), 537u);
    // The bytes the layout names explicitly.
    EXPECT_EQ(Bytes(bytes, 0, 208), std::string(208, '\0'));
    EXPECT_EQ(Bytes(bytes, 208, 8), std::string("\x00\x00\x00\x00\x00\x80\x5C\x40", 8));
    EXPECT_EQ(Bytes(bytes, 220, 4), std::string("\x20\xA1\x07\x00", 4));
    EXPECT_EQ(Bytes(bytes, 248, 8), std::string("\x00\x00\x00\x00\x00\x00\xF0\x3F", 8));
    EXPECT_EQ(Bytes(bytes, 268, 8), std::string("\x00\x00\x00\x00\x00\x00\xF0\x3F", 8));
    EXPECT_EQ(Bytes(bytes, 284, 4), std::string("\x02\x00\x00\x00", 4));
    EXPECT_EQ(Bytes(bytes, 292, 14),
              "\x0D"
              "000:00:00.000");
    EXPECT_EQ(Bytes(bytes, 306, 2),
              "\x01"
              "0");
    // And the whole file against the table.
    EXPECT_TRUE(bytes == DefaultFileBytes());
}

TEST(ProjectFileLayout, EveryItemIsWrittenInTableOrder) {
    // With a distinct value per item, any two items swapped, dropped or
    // written with the wrong width show as a difference.
    TestTempDir dir;
    ConversionSession s;
    FillDistinctFileItems(s);
    const std::string bytes = Save(s, dir.File("all.cod"));
    const std::string expected = DistinctFileBytes();
    ASSERT_EQ(bytes.size(), expected.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        ASSERT_EQ(bytes[i], expected[i]) << "first difference at offset " << i;
    }
}

TEST(ProjectFileLayout, LongSourceTextGetsTheThreeBytePrefix) {
    TestTempDir dir;
    ConversionSession s;
    s.m_sourceText[0] = std::string(300, '7');
    const std::string bytes = Save(s, dir.File("long.cod"));
    // Item 51 follows the three default texts of items 45-47 and three doubles.
    const std::size_t item51 = 292 + 14 + 2 + 14 + 24;
    EXPECT_EQ(Bytes(bytes, item51, 3), "\xFF\x2C\x01");
    EXPECT_EQ(Bytes(bytes, item51 + 3, 300), std::string(300, '7'));
    EXPECT_EQ(bytes.size(), 537u + 300 + 2);
}

TEST(ProjectFileLayout, ChineseTextIsStoredAsGb18030) {
    TestTempDir dir;
    const std::string path = dir.File("cn.cod");
    ConversionSession s;
    s.m_sourceText[1] = "北京";
    const std::string bytes = Save(s, path);
    const std::size_t item52 = 292 + 14 + 2 + 14 + 24 + 1;
    EXPECT_EQ(Bytes(bytes, item52, 5), "\x04\xB1\xB1\xBE\xA9");

    ConversionSession loaded;
    std::string error;
    ASSERT_TRUE(loaded.LoadProject(path, &error)) << error;
    EXPECT_EQ(loaded.m_sourceText[1], "北京");
}

TEST(ProjectFileLayout, EqualDatumsWithSevenTickedStoreTheSwitchAsOne) {
    // The equal-datum clearing belongs to a conversion, not to a save.
    TestTempDir dir;
    ConversionSession s;
    s.m_useSeven = 1;
    s.PrepareConversion();
    const std::string bytes = Save(s, dir.File("seven.cod"));
    EXPECT_EQ(Bytes(bytes, 204, 4), std::string("\x01\x00\x00\x00", 4));
}

TEST(ProjectFileRoundTrip, LoadRestoresEveryFileItemAndNothingElse) {
    TestTempDir dir;
    const std::string path = dir.File("all.cod");
    ConversionSession saved;
    FillDistinctFileItems(saved);
    Save(saved, path);

    ConversionSession loader = ChangedSession();
    ConversionSession expected = loader;
    FillDistinctFileItems(expected);  // the file's items; the rest stays the loader's
    std::string error;
    ASSERT_TRUE(loader.LoadProject(path, &error)) << error;
    ExpectSameSession(loader, expected);

    // And saving the loaded session writes the same file again.
    EXPECT_TRUE(Save(loader, dir.File("again.cod")) == ReadBytes(path));
}

TEST(ProjectFileRoundTrip, ValuesNoControlCanShowStillLoad) {
    // Files the old tool wrote load without validation; the conversion then
    // refuses them.
    TestTempDir dir;
    const std::string path = dir.File("odd.cod");
    ConversionSession s;
    s.m_params.m_savedSourceDatum = 7;
    s.m_sourceKind = 5;
    s.m_targetKind = -1;
    Save(s, path);
    ConversionSession loaded;
    std::string error;
    ASSERT_TRUE(loaded.LoadProject(path, &error)) << error;
    EXPECT_EQ(loaded.m_params.m_savedSourceDatum, 7);
    EXPECT_EQ(loaded.m_sourceKind, 5);
    EXPECT_EQ(loaded.m_targetKind, -1);
}

// CGCS2000 is datum 4: it is stored in items 25, 26, 43 and 44 like the
// others, comes back, and a loaded session converts with its ellipsoid.
TEST(ProjectFileRoundTrip, Cgcs2000DatumIndexFour) {
    TestTempDir dir;
    const std::string path = dir.File("cgcs.cod");
    ConversionSession s;
    s.m_sourceDatum = 1;
    s.m_targetDatum = 4;
    s.m_inputs.m_calcDatumGeo = 4;
    s.m_inputs.m_calcDatumPlane = 1;
    s.PrepareConversion();
    const std::string bytes = Save(s, path);
    ASSERT_EQ(bytes.size(), 537u);
    EXPECT_EQ(Bytes(bytes, 188, 8), std::string("\x01\x00\x00\x00\x04\x00\x00\x00", 8));
    EXPECT_EQ(Bytes(bytes, 284, 8), std::string("\x04\x00\x00\x00\x01\x00\x00\x00", 8));

    ConversionSession loaded;
    std::string error;
    ASSERT_TRUE(loaded.LoadProject(path, &error)) << error;
    EXPECT_EQ(Save(loaded, dir.File("again.cod")), bytes);

    // Opened as the window opens it, it converts on CGCS2000 (PROJ's figures).
    loaded.m_sourceDatum = loaded.m_params.m_savedSourceDatum;
    loaded.m_targetDatum = loaded.m_params.m_savedTargetDatum;
    loaded.m_sourceKind = 1;
    loaded.m_targetKind = 0;
    loaded.m_sourceText[0] = "030:00:00.000";
    loaded.m_sourceText[1] = "114:00:00.000";
    loaded.m_sourceText[2] = "0";
    ASSERT_TRUE(loaded.Convert());
    EXPECT_EQ(loaded.m_targetText[0] + " " + loaded.m_targetText[1] + " " + loaded.m_targetText[2],
              "-2248544.547537 5050313.741529 3170373.735292");
}

TEST(ProjectFileLoad, EveryTruncationFailsAndLeavesTheSessionAsItWas) {
    // The loading session differs from the file in every item, so a value
    // taken from a cut file would show.
    TestTempDir dir;
    ConversionSession fresh;
    const std::string full = Save(fresh, dir.File("full.cod"));
    ASSERT_EQ(full.size(), 537u);

    const std::string path = dir.File("cut.cod");
    for (std::size_t length = 0; length < full.size(); ++length) {
        SCOPED_TRACE(length);
        WriteBytes(path, full.substr(0, length));
        ConversionSession s = ChangedSession();
        const ConversionSession before = s;
        std::string error;
        ASSERT_FALSE(s.LoadProject(path, &error));
        EXPECT_NE(error.find("意外结束"), std::string::npos) << error;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        ExpectSameSession(s, before);
        if (HasFailure()) break;
    }
}

TEST(ProjectFileLoad, GarbageFailsAndLeavesTheSessionAsItWas) {
    TestTempDir dir;
    const std::string path = dir.File("garbage.cod");
    std::vector<std::string> files;
    // A damaged text prefix claiming 4 GiB, and one claiming 60000 bytes.
    files.push_back(DefaultFileBytes().substr(0, 292) + std::string(7, '\xFF') + "xyz");
    files.push_back(DefaultFileBytes().substr(0, 292) + "\xFF\x60\xEA" + std::string(500, 'a'));
    // Random bytes too short to hold 44 doubles, 17 ints and 12 prefixes.
    std::mt19937 gen(537);
    for (int i = 0; i < 200; ++i) {
        std::string s(gen() % 432, '\0');
        for (char& c : s) c = static_cast<char>(gen());
        files.push_back(s);
    }
    for (const std::string& bytes : files) {
        WriteBytes(path, bytes);
        ConversionSession s = ChangedSession();
        const ConversionSession before = s;
        std::string error;
        ASSERT_FALSE(s.LoadProject(path, &error)) << bytes.size();
        EXPECT_FALSE(error.empty());
        ExpectSameSession(s, before);
        if (HasFailure()) break;
    }
}

TEST(ProjectFileLoad, FilesThatCannotBeReadGiveAClearMessage) {
    TestTempDir dir;
    ConversionSession s = ChangedSession();
    const ConversionSession before = s;
    std::string error;

    EXPECT_FALSE(s.LoadProject(dir.File("missing.cod"), &error));
    EXPECT_EQ(error, "无法打开坐标转换文件。找不到文件“" + dir.File("missing.cod") + "”。");

    EXPECT_FALSE(s.LoadProject(dir.Path(), &error));
    EXPECT_NE(error.find("是文件夹"), std::string::npos) << error;
    ExpectSameSession(s, before);
}

TEST(ProjectFileLoad, OpensForReadingOnly) {
    // Regression: opening for reading and writing refused files the user may
    // only read. This file refuses write access even to root, so reaching
    // the end-of-file error proves it was opened and read.
    TestTempDir dir;
    const std::string readOnly = ReadOnlyFile(dir);
    if (readOnly.empty()) GTEST_SKIP() << "no file here refuses writing to this process";
    ConversionSession s;
    std::string error;
    EXPECT_FALSE(s.LoadProject(readOnly, &error));
    EXPECT_NE(error.find("意外结束"), std::string::npos) << error;
}

TEST(ProjectFileSave, MissingFolderFailsAndCreatesNothing) {
    TestTempDir dir;
    ConversionSession s;
    std::string error;
    const std::string path = dir.File("no/such/folder/p.cod");
    EXPECT_FALSE(s.SaveProject(path, &error));
    EXPECT_NE(error.find("无法保存坐标转换文件"), std::string::npos) << error;
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(ProjectFileSave, FailedWriteKeepsTheOldFile) {
    // Fault injection: the file system takes only 300 bytes, less than any
    // project file. The old file must survive whole, with no leftovers.
    SKIP_UNLESS_FILE_SIZE_CAN_BE_LIMITED();
    TestTempDir dir;
    const std::string path = dir.File("p.cod");
    ConversionSession old;
    FillDistinctFileItems(old);
    const std::string oldBytes = Save(old, path);

    ConversionSession s;
    std::string error;
    {
        ScopedFileSizeLimit limit(300);
        EXPECT_FALSE(s.SaveProject(path, &error));
    }
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_TRUE(ReadBytes(path) == oldBytes);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"p.cod"});
}

TEST(ProjectFileSerialize, LoadingThroughAnArchiveReadsStraightIntoTheFields) {
    // Serialize itself loads in place (the copy is LoadProject's), so the
    // fields read before a failure have their new values.
    TestTempDir dir;
    const std::string path = dir.File("p.cod");
    WriteBytes(path, DistinctFileBytes().substr(0, 20));
    ConversionSession s;
    CFile file(path, CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    EXPECT_THROW(s.Serialize(ar), CException);
    EXPECT_EQ(s.m_params.m_seven[0], 1.25);
    EXPECT_EQ(s.m_params.m_seven[1], 2.25);
    EXPECT_EQ(s.m_params.m_seven[2], 0.0);
}
