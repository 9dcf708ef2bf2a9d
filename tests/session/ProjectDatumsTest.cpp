// Section "ELL1" of project files: written only for a project that refers
// to a user datum, read back to the same datums on this machine and on one
// whose list lacks them or holds the name with other constants, and refused
// whole when damaged, the session and the list left as they were.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "session/ConversionSession.h"
#include "session/ProjectDatums.h"
#include "session/SessionHistory.h"
#include "session/UserDatums.h"
#include "tests/session/SessionTestUtil.h"
#include "tests/support/TestTempDir.h"

namespace {

constexpr std::size_t kDefaultProjectBytes = 537;

std::string Le32(std::int32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
    return s;
}

class ProjectDatumsTest : public ::testing::Test {
protected:
    void SetUp() override {
        UserDatums() = UserDatumList();
        UserDatums().Add({"其他椭球", 6378000, 298});
        UserDatums().Add({"工程椭球", 6378160, 298.25});  // 6
        UserDatums().Add({"Local", 6380000, 300.5});      // 7
    }
    void TearDown() override { UserDatums() = UserDatumList(); }

    std::string Save(ConversionSession& s, const std::string& name) {
        std::string error;
        EXPECT_TRUE(s.SaveProject(dir.File(name), &error)) << error;
        return ReadBytes(dir.File(name));
    }

    // A session on datums 6 (source) and 7 (dialogs' plane side) with a
    // geodetic point to Gauss plane coordinates, converted.
    static ConversionSession OnUserDatums() {
        ConversionSession s;
        s.m_sourceKind = static_cast<int>(CoordinateKind::Geodetic);
        s.m_targetKind = static_cast<int>(CoordinateKind::Plane);
        s.m_sourceDatum = s.m_targetDatum = 6;
        s.m_inputs.m_calcDatumPlane = 7;
        s.m_params.m_projBefore.centralMeridian = 117;
        s.m_sourceText[0] = "030:00:00.000000";
        s.m_sourceText[1] = "116:30:00.000000";
        s.m_sourceText[2] = "100";
        EXPECT_TRUE(s.Convert());
        return s;
    }

    // Converts the loaded session's point as the window does after opening.
    static std::string Converted(ConversionSession s) {
        s.m_sourceDatum = s.m_params.m_savedSourceDatum;
        s.m_targetDatum = s.m_params.m_savedTargetDatum;
        if (!s.Convert()) return "not converted";
        return s.m_targetText[0] + " " + s.m_targetText[1] + " " + s.m_targetText[2];
    }

    TestTempDir dir;
};

TEST_F(ProjectDatumsTest, WrittenOnlyForAProjectThatRefersToAUserDatum) {
    ConversionSession fresh;
    fresh.m_sourceDatum = 6;  // a selection the file does not hold
    EXPECT_EQ(Save(fresh, "default.cod").size(), kDefaultProjectBytes);
    using Field = int* (*)(ConversionSession&);
    const Field fields[] = {
        [](ConversionSession& s) { return &s.m_params.m_savedSourceDatum; },
        [](ConversionSession& s) { return &s.m_params.m_savedTargetDatum; },
        [](ConversionSession& s) { return &s.m_inputs.m_calcDatumGeo; },
        [](ConversionSession& s) { return &s.m_inputs.m_calcDatumPlane; },
    };
    SectionWriter w;
    w.Int(1).Int(7).Text("Local").Double(6380000).Double(300.5);
    const std::string ell1 = "ELL1" + Le32(static_cast<std::int32_t>(w.Bytes().size())) + w.Bytes();
    for (Field field : fields) {
        ConversionSession s;
        *field(s) = 7;
        const std::string bytes = Save(s, "one.cod");
        EXPECT_EQ(bytes.substr(kDefaultProjectBytes), "TRXE" + Le32(1) + Le32(1) + ell1);
    }
    // A datum index beyond the list (no entry to describe) writes nothing.
    for (int beyondList : {8, -1, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
        ConversionSession beyond;
        beyond.m_params.m_savedSourceDatum = beyondList;
        EXPECT_EQ(Save(beyond, "beyond.cod").size(), kDefaultProjectBytes) << beyondList;
    }
}

TEST_F(ProjectDatumsTest, RoundTripOnThisMachine) {
    ConversionSession s = OnUserDatums();
    const std::string expected = s.m_targetText[0] + " " + s.m_targetText[1] + " " + s.m_targetText[2];
    const std::string bytes = Save(s, "job.cod");
    EXPECT_GT(bytes.size(), kDefaultProjectBytes);
    const UserDatumList list = UserDatums();
    ConversionSession loaded;
    std::string error;
    ASSERT_TRUE(loaded.LoadProject(dir.File("job.cod"), &error)) << error;
    EXPECT_EQ(UserDatums(), list) << "found by name and constants, nothing added";
    EXPECT_EQ(loaded.m_params.m_savedSourceDatum, 6);
    EXPECT_EQ(loaded.m_inputs.m_calcDatumPlane, 7);
    EXPECT_EQ(Converted(loaded), expected);
    EXPECT_EQ(Save(loaded, "again.cod"), bytes);
}

TEST_F(ProjectDatumsTest, OpensOnAMachineWhoseListLacksTheDatums) {
    ConversionSession s = OnUserDatums();
    const std::string expected = Converted(s);
    ASSERT_NE(expected, "not converted");
    Save(s, "job.cod");

    // The other machine has one datum of its own and neither of the project's.
    UserDatums() = UserDatumList();
    UserDatums().Add({"别的", 6378300, 299});
    ConversionSession loaded;
    std::string error;
    ASSERT_TRUE(loaded.LoadProject(dir.File("job.cod"), &error)) << error;
    ASSERT_EQ(UserDatums().Count(), 3);
    EXPECT_EQ(DatumListName(6), "工程椭球");
    EXPECT_EQ(DatumListName(7), "Local");
    EXPECT_EQ(loaded.m_params.m_savedSourceDatum, 6);
    EXPECT_EQ(loaded.m_params.m_savedTargetDatum, 6);
    EXPECT_EQ(loaded.m_inputs.m_calcDatumPlane, 7);
    EXPECT_EQ(loaded.m_inputs.m_calcDatumGeo, 2);  // built-in, untouched
    EXPECT_EQ(Converted(loaded), expected);

    // An empty list: the indices move to 5 and 6, the conversion stays.
    UserDatums() = UserDatumList();
    ConversionSession moved;
    ASSERT_TRUE(moved.LoadProject(dir.File("job.cod"), &error)) << error;
    EXPECT_EQ(moved.m_params.m_savedSourceDatum, 5);
    EXPECT_EQ(moved.m_inputs.m_calcDatumPlane, 6);
    EXPECT_EQ(Converted(moved), expected);
    // Saved there, it names its datums by their new indices.
    const std::string bytes = Save(moved, "moved.cod");
    UserDatums() = UserDatumList();
    ConversionSession third;
    ASSERT_TRUE(third.LoadProject(dir.File("moved.cod"), &error)) << error;
    EXPECT_EQ(Converted(third), expected);
    EXPECT_EQ(Save(third, "third.cod"), bytes);
}

TEST_F(ProjectDatumsTest, ANameHeldWithOtherConstantsIsAddedUnderANumber) {
    ConversionSession s = OnUserDatums();
    const std::string expected = Converted(s);
    Save(s, "job.cod");
    UserDatums() = UserDatumList();
    UserDatums().Add({"工程椭球", 6378140, 298.257});  // 5: same name, other ellipsoid
    UserDatums().Add({"工程椭球 (2)", 6378100, 298});   // 6: taken as well
    ConversionSession loaded;
    std::string error;
    ASSERT_TRUE(loaded.LoadProject(dir.File("job.cod"), &error)) << error;
    ASSERT_EQ(UserDatums().Count(), 4);
    EXPECT_EQ(DatumListName(7), "工程椭球 (3)");
    EXPECT_EQ(loaded.m_params.m_savedSourceDatum, 7);
    EXPECT_EQ(loaded.m_inputs.m_calcDatumPlane, 8);
    EXPECT_EQ(Converted(loaded), expected);
    // Opened again, the project finds "工程椭球 (3)" and adds nothing.
    ConversionSession again;
    ASSERT_TRUE(again.LoadProject(dir.File("job.cod"), &error)) << error;
    EXPECT_EQ(UserDatums().Count(), 4);
    EXPECT_EQ(again.m_params.m_savedSourceDatum, 7);
}

// Every damage of the section: the load fails with the message of a damaged
// file, and neither the session nor the list changes.
TEST_F(ProjectDatumsTest, DamagedSectionsAreRefusedWithNothingChanged) {
    // The values refer to datum 5; written with an empty list, they come without a section.
    ConversionSession plain;
    plain.m_params.m_savedSourceDatum = 5;
    const UserDatumList list0 = UserDatums();
    UserDatums() = UserDatumList();
    const std::string values = Save(plain, "plain.cod");
    ASSERT_EQ(values.size(), kDefaultProjectBytes);
    UserDatums() = list0;
    auto entry = [](std::int32_t index, const std::string& name, double a, double rf) {
        SectionWriter w;
        w.Int(index).Text(name).Double(a).Double(rf);
        return w.Bytes();
    };
    auto withSections = [&](const std::vector<std::string>& contents) {
        std::string s = values + "TRXE" + Le32(1) + Le32(static_cast<std::int32_t>(contents.size()));
        for (const std::string& c : contents) s += "ELL1" + Le32(static_cast<std::int32_t>(c.size())) + c;
        return s;
    };
    const std::string good = Le32(1) + entry(5, "甲", 6378200, 298.3);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<std::string> damaged;
    for (std::size_t n = 0; n < good.size(); ++n) damaged.push_back(withSections({good.substr(0, n)}));
    damaged.push_back(withSections({good + "x"}));
    damaged.push_back(withSections({good, good}));
    damaged.push_back(withSections({Le32(0)}));
    damaged.push_back(withSections({Le32(65) + entry(5, "甲", 6378200, 298.3)}));
    damaged.push_back(withSections({Le32(-1)}));
    damaged.push_back(withSections({Le32(2) + entry(5, "甲", 6378200, 298.3)}));
    for (const std::string& bad : {entry(4, "甲", 6378200, 298.3), entry(-1, "甲", 6378200, 298.3),
                                   entry(5, "", 6378200, 298.3), entry(5, "WGS-84", 6378200, 298.3),
                                   entry(5, "12", 6378200, 298.3), entry(5, "甲", 6299999, 298.3),
                                   entry(5, "甲", 6378200, 350.5), entry(5, "甲", nan, 298.3),
                                   entry(5, "甲", 6378200, nan),
                                   entry(5, "甲", std::numeric_limits<double>::infinity(), 298.3)}) {
        damaged.push_back(withSections({Le32(1) + bad}));
    }
    damaged.push_back(withSections({Le32(2) + entry(5, "甲", 6378200, 298.3) + entry(5, "乙", 6378200, 298.3)}));
    damaged.push_back(withSections({Le32(2) + entry(5, "甲", 6378200, 298.3) + entry(6, "甲", 6378300, 298.3)}));
    // The section itself is sound in these.
    WriteBytes(dir.File("good.cod"), withSections({good}));
    const UserDatumList before = UserDatums();
    ConversionSession goodLoaded;
    ASSERT_TRUE(goodLoaded.LoadProject(dir.File("good.cod"), nullptr));
    EXPECT_EQ(UserDatums().Count(), before.Count() + 1);
    EXPECT_EQ(DatumListName(goodLoaded.m_params.m_savedSourceDatum), "甲");
    UserDatums() = before;
    // An entry no value refers to is not taken into the list.
    WriteBytes(dir.File("more.cod"), withSections({Le32(2) + entry(5, "甲", 6378200, 298.3) +
                                                   entry(9, "乙", 6378300, 298.3)}));
    ASSERT_TRUE(ConversionSession().LoadProject(dir.File("more.cod"), nullptr));
    EXPECT_EQ(UserDatums().Count(), before.Count() + 1);
    EXPECT_EQ(UserDatums().IndexOf("乙"), -1);
    UserDatums() = before;

    ConversionSession marked = OnUserDatums();
    FillDistinctFileItems(marked);
    const UserDatumList list = UserDatums();
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        WriteBytes(dir.File("bad.cod"), damaged[i]);
        ConversionSession s = marked;
        std::string error;
        EXPECT_FALSE(s.LoadProject(dir.File("bad.cod"), &error)) << "case " << i;
        EXPECT_NE(error.find("无法打开坐标转换文件"), std::string::npos) << "case " << i << ": " << error;
        ExpectSameSession(s, marked);
        EXPECT_EQ(UserDatums(), list) << "case " << i;
    }
}

TEST_F(ProjectDatumsTest, SessionDatumsMapPastARemovedEntry) {
    ConversionSession s = OnUserDatums();  // 6 and 7 in use
    const std::vector<int> used = SessionDatums(s);
    EXPECT_EQ(used, (std::vector<int>{6, 6, 6, 6, 2, 7}));
    MapSessionDatums(s, [](int d) { return d > 5 ? d - 1 : d; });  // 5 removed
    EXPECT_EQ(SessionDatums(s), (std::vector<int>{5, 5, 5, 5, 2, 6}));
}

// Undo after the list lost datum 5: a step on datum 6 comes back on its new
// index 5, a step on the removed datum on none (-1, no entry selected).
TEST_F(ProjectDatumsTest, HistoryStepsFollowARemoval) {
    ConversionSession s;
    SessionHistory history;
    history.Reset(s);
    s.m_sourceDatum = 5;
    history.Record(s);
    s.m_sourceDatum = 6;
    s.m_inputs.m_calcDatumPlane = 7;
    history.Record(s);
    s.m_sourceDatum = 1;
    history.Record(s);
    const auto removeFive = [](int d) { return d == 5 ? -1 : d > 5 ? d - 1 : d; };
    MapSessionDatums(s, removeFive);
    history.MapDatums(removeFive);
    EXPECT_FALSE(history.Record(s)) << "the mapped session is the current step";
    ASSERT_TRUE(history.Undo(s));
    EXPECT_EQ(s.m_sourceDatum, 5);
    EXPECT_EQ(s.m_inputs.m_calcDatumPlane, 6);
    ASSERT_TRUE(history.Undo(s));
    EXPECT_EQ(s.m_sourceDatum, -1);
    EXPECT_EQ(s.m_inputs.m_calcDatumPlane, 0);
    ASSERT_TRUE(history.Redo(s) && history.Redo(s));
    EXPECT_EQ(s.m_sourceDatum, 1);
}

}  // namespace
