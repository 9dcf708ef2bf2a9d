// What the window keeps of the session without Qt: undo and redo of the
// parameters, the unsaved-changes flag, the status line, the recent
// projects, File New's defaults and the check for an unset level 1.
#include <gtest/gtest.h>

#include "session/RecentProjects.h"
#include "session/SessionHistory.h"
#include "session/SessionStatus.h"

namespace {

TEST(SessionHistoryTest, UndoAndRedoWalkTheRecordedSettingsAndANewChangeDropsRedo) {
    ConversionSession s;
    SessionHistory h;
    h.Reset(s);
    EXPECT_FALSE(h.CanUndo());
    EXPECT_FALSE(h.Record(s));  // nothing changed

    s.m_params.m_seven[0] = 15.0;
    EXPECT_TRUE(h.Record(s));
    s.m_sourceDatum = 1;
    s.m_useSeven = 1;
    EXPECT_TRUE(h.Record(s));
    s.m_params.m_local1[3] = 1.0001;
    s.m_inputs.m_calcFourLevel = 1;
    EXPECT_TRUE(h.Record(s));

    ASSERT_TRUE(h.Undo(s));
    EXPECT_EQ(s.m_params.m_local1[3], 0.0);
    EXPECT_EQ(s.m_inputs.m_calcFourLevel, 0);
    EXPECT_EQ(s.m_sourceDatum, 1);
    ASSERT_TRUE(h.Undo(s));
    EXPECT_EQ(s.m_sourceDatum, 0);
    EXPECT_EQ(s.m_useSeven, 0);
    // The record follows the choices, as after opening a project.
    EXPECT_EQ(s.m_params.m_savedUseSeven, 0);
    EXPECT_EQ(s.m_params.m_seven[0], 15.0);
    ASSERT_TRUE(h.Undo(s));
    EXPECT_EQ(s.m_params.m_seven[0], 0.0);
    EXPECT_FALSE(h.Undo(s));  // back at the state of the open

    ASSERT_TRUE(h.Redo(s));
    ASSERT_TRUE(h.Redo(s));
    EXPECT_EQ(s.m_sourceDatum, 1);
    EXPECT_EQ(s.m_params.m_savedSourceDatum, 1);
    EXPECT_TRUE(h.CanRedo());
    s.m_zoneChange = 2;
    EXPECT_TRUE(h.Record(s));
    EXPECT_FALSE(h.CanRedo());
    ASSERT_TRUE(h.Undo(s));
    EXPECT_EQ(s.m_zoneChange, 0);
    EXPECT_EQ(s.m_sourceDatum, 1);
}

TEST(SessionHistoryTest, TheTypedPointIsNoStepButAnUnsavedChange) {
    ConversionSession s;
    SessionHistory h;
    h.Reset(s);
    EXPECT_FALSE(h.IsModified(s));
    s.m_sourceText[1] = "5";
    EXPECT_FALSE(h.Record(s));
    EXPECT_TRUE(h.IsModified(s));
    h.MarkSaved(s);
    EXPECT_FALSE(h.IsModified(s));

    // Undo back to the saved settings is no change; a redo is.
    s.m_params.m_projBefore.centralMeridian = 117.0;
    ASSERT_TRUE(h.Record(s));
    EXPECT_TRUE(h.IsModified(s));
    ASSERT_TRUE(h.Undo(s));
    EXPECT_FALSE(h.IsModified(s));
    ASSERT_TRUE(h.Redo(s));
    EXPECT_TRUE(h.IsModified(s));
    // A save keeps the steps; an open drops them.
    h.MarkSaved(s);
    EXPECT_TRUE(h.CanUndo());
    h.Reset(s);
    EXPECT_FALSE(h.CanUndo());
    // The ellipsoids and the record's copies are derived, no change of their own.
    s.PrepareConversion();
    s.m_params.m_savedUseSeven = 1 - s.m_useSeven;
    EXPECT_FALSE(h.IsModified(s));
}

TEST(SessionHistoryTest, OnlyTheLastHundredStepsAreKept) {
    ConversionSession s;
    SessionHistory h;
    h.Reset(s);
    for (int i = 1; i <= 150; ++i) {
        s.m_params.m_seven[0] = i;
        ASSERT_TRUE(h.Record(s));
    }
    int undone = 0;
    while (h.Undo(s)) ++undone;
    EXPECT_EQ(undone, static_cast<int>(SessionHistory::kDepth));
    EXPECT_EQ(s.m_params.m_seven[0], 50.0);
}

TEST(SessionStatusTest, DatumsProjectionZoneSwitchesAndZoneChange) {
    ConversionSession s;
    EXPECT_EQ(SessionStatusText(s),
              "北京-54 → 北京-54 | 高斯投影3度带 中央子午线 114° 第38带 | 七参数 关 | 四参数 关");
    s.m_sourceDatum = 1;
    s.m_targetDatum = 4;
    s.m_useSeven = 1;
    s.m_params.m_projBefore.kind = ProjectionKind::Gauss6;
    s.m_params.m_projBefore.centralMeridian = 117.0;
    s.m_params.m_projAfter.centralMeridian = 120.5;
    EXPECT_EQ(SessionStatusText(s),
              "国家-80 → CGCS2000 | 高斯投影6度带 中央子午线 117° 第20带 | 七参数 开 | 四参数 关");
    s.m_zoneChange = 2;
    s.m_params.m_projBefore.kind = ProjectionKind::GaussCustom;
    s.m_params.m_projBefore.centralMeridian = 117.25;
    EXPECT_EQ(SessionStatusText(s),
              "国家-80 → CGCS2000 | 自定义高斯投影 中央子午线 117.25° | 七参数 开 | 四参数 关"
              " | 换带 117.25° → 120.5°");
}

TEST(SessionStatusTest, ZonesOnlyWhereTheMeridianIsAZoneMiddle) {
    ProjectionRecord p;
    p.kind = ProjectionKind::Gauss3;
    p.centralMeridian = 117.0;
    EXPECT_EQ(ProjectionZone(p), 39);
    p.centralMeridian = 116.0;
    EXPECT_EQ(ProjectionZone(p), 0);
    p.kind = ProjectionKind::Gauss6;
    p.centralMeridian = 111.0;
    EXPECT_EQ(ProjectionZone(p), 19);
    p.kind = ProjectionKind::Utm;
    EXPECT_EQ(ProjectionZone(p), 49);
    p.centralMeridian = -177.0;
    EXPECT_EQ(ProjectionZone(p), 1);
    p.kind = ProjectionKind::Mercator;
    EXPECT_EQ(ProjectionZone(p), 0);
    EXPECT_EQ(DatumShortName(7), "?");
}

TEST(RecentProjectsTest, NewestFirstOnceAndAtMostEight) {
    RecentProjects r({"/a/1.cod", "", "/a/2.cod", "/a/1.cod"});
    EXPECT_EQ(r.Paths(), (std::vector<std::string>{"/a/1.cod", "/a/2.cod"}));
    for (int i = 3; i <= 10; ++i) r.Add("/a/" + std::to_string(i) + ".cod");
    ASSERT_EQ(r.Paths().size(), RecentProjects::kLimit);
    EXPECT_EQ(r.Paths().front(), "/a/10.cod");
    EXPECT_EQ(r.Paths().back(), "/a/3.cod");
    r.Add("/a/5.cod");
    EXPECT_EQ(r.Paths()[0], "/a/5.cod");
    EXPECT_EQ(r.Paths()[1], "/a/10.cod");
    EXPECT_EQ(r.Paths().size(), RecentProjects::kLimit);
    r.Remove("/a/10.cod");
    EXPECT_EQ(r.Paths()[1], "/a/9.cod");
    EXPECT_EQ(r.MenuText(0), "&1 5.cod  (/a)");
    r.Add("/x & y/合肥.cod");
    EXPECT_EQ(r.MenuText(0), "&1 合肥.cod  (/x && y)");
    EXPECT_EQ(r.MenuText(8), "");
}

TEST(SessionNewProjectTest, EverythingOfTheFileToDefaultsTheFormatAndFilesStay) {
    ConversionSession s;
    s.m_zoneChange = 2;
    s.m_sourceDatum = 3;
    s.m_params.m_seven[2] = 4.0;
    s.m_sourceText[0] = "1";
    s.m_format.m_formatName = "坐标";
    s.m_format.m_naming = 0;
    s.m_sourceFiles = {"/p/a.txt"};
    s.m_sourceFileCount = 1;
    s.NewProject();
    const ConversionSession defaults;
    EXPECT_TRUE(SessionSettings::Of(s) == SessionSettings::Of(defaults));
    EXPECT_EQ(s.m_sourceText[0], "");
    EXPECT_EQ(s.m_format.m_formatName, "坐标");
    EXPECT_EQ(s.m_format.m_naming, 0);
    EXPECT_EQ(s.m_sourceFiles, std::vector<std::string>{"/p/a.txt"});
    EXPECT_EQ(s.m_sourceFileCount, 1);
}

TEST(SessionLevelOneTest, MissingOnlyForPlaneToPlaneWithoutZoneChangeAndKZero) {
    ConversionSession s;
    EXPECT_TRUE(s.LevelOneMissing());
    s.m_params.m_local1[3] = 1.0;
    EXPECT_FALSE(s.LevelOneMissing());
    s.m_params.m_local1[3] = 0;
    s.m_zoneChange = 2;
    EXPECT_FALSE(s.LevelOneMissing());
    s.m_zoneChange = 0;
    s.m_targetKind = 1;
    EXPECT_FALSE(s.LevelOneMissing());
    s.m_targetKind = 2;
    s.m_sourceKind = 0;
    EXPECT_FALSE(s.LevelOneMissing());
}

}  // namespace
