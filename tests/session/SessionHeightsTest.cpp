// The session's heights in project files: section HGT1 written only when
// there is something to keep, read back bit for bit, its layout as the help
// page describes it, and every truncation and corruption refused with the
// session left as it was; undo, a new project and the status line.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "geodesy/Constants.h"
#include "session/ConversionSession.h"
#include "session/GeoidFiles.h"
#include "session/SessionHeights.h"
#include "session/SessionHistory.h"
#include "session/SessionStatus.h"
#include "tests/session/SessionTestUtil.h"
#include "tests/support/HeightTestData.h"
#include "tests/support/TestTempDir.h"

namespace {

const std::string& kSmallGrid = kSmallGeoidGrid;

std::string Le32(std::int32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) {
        s[i] = static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
    }
    return s;
}

std::string Le64(double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    std::string s(8, '\0');
    for (int i = 0; i < 8; ++i) s[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    return s;
}

// A model with a distinct value in every field, awkward doubles included.
SessionHeights QuadricOnGrid() {
    SessionHeights h;
    h.enabled = true;
    HeightModel m;
    m.surface = HeightSurface::Quadric;
    m.onGeoid = true;
    m.centroidB = 0.52708943460584;
    m.centroidL = 1.9949113350295;
    m.scale = 12345.678901234567;
    const double c[6] = {1.25, -0.1, 0.0456, 1e-300, -2.5e-8, 4.9e-324};
    const double e[4] = {-1.0, 0.9, -0.8, 1.0};
    for (int i = 0; i < 6; ++i) m.coefficients[i] = c[i];
    for (int i = 0; i < 4; ++i) m.extent[i] = e[i];
    h.model = m;
    h.geoid = kSmallGrid;
    return h;
}

// The content of HGT1 laid out field by field as the help page describes it.
struct Fields {
    std::int32_t enabled = 1, present = 1, surface = 2, onGeoid = 1;
    double values[13] = {};  // B, L, scale, a0..a5, extent
    std::string geoid;       // ASCII only here: its GB18030 bytes are the same
    std::string tail;

    explicit Fields(const SessionHeights& h) {
        const HeightModel m = h.model.value_or(HeightModel());
        enabled = h.enabled;
        present = h.model.has_value();
        surface = static_cast<std::int32_t>(m.surface);
        onGeoid = m.onGeoid;
        values[0] = m.centroidB;
        values[1] = m.centroidL;
        values[2] = m.scale;
        for (int i = 0; i < 6; ++i) values[3 + i] = m.coefficients[i];
        for (int i = 0; i < 4; ++i) values[9 + i] = m.extent[i];
        geoid = h.geoid;
    }
    std::string Bytes() const {
        std::string s = Le32(enabled) + Le32(present) + Le32(surface) + Le32(onGeoid);
        for (double v : values) s += Le64(v);
        // The archive's length prefix: one byte below 255.
        return s + static_cast<char>(geoid.size()) + geoid + tail;
    }
};

std::string ExtensionOf(const std::vector<std::string>& contents) {
    std::string s = std::string("TRXE") + Le32(1) + Le32(static_cast<std::int32_t>(contents.size()));
    for (const std::string& c : contents) s += "HGT1" + Le32(static_cast<std::int32_t>(c.size())) + c;
    return s;
}

std::string SavedBytes(ConversionSession s, const TestTempDir& dir) {
    std::string error;
    EXPECT_TRUE(s.SaveProject(dir.File("saved.cod"), &error)) << error;
    return ReadBytes(dir.File("saved.cod"));
}

void ExpectSameHeights(const SessionHeights& a, const SessionHeights& b) {
    EXPECT_EQ(a.enabled, b.enabled);
    EXPECT_EQ(a.geoid, b.geoid);
    ASSERT_EQ(a.model.has_value(), b.model.has_value());
    if (!a.model) return;
    EXPECT_EQ(a.model->surface, b.model->surface);
    EXPECT_EQ(a.model->onGeoid, b.model->onGeoid);
    EXPECT_EQ(std::memcmp(&a.model->centroidB, &b.model->centroidB, sizeof(double)), 0);
    EXPECT_EQ(std::memcmp(&a.model->centroidL, &b.model->centroidL, sizeof(double)), 0);
    EXPECT_EQ(std::memcmp(&a.model->scale, &b.model->scale, sizeof(double)), 0);
    EXPECT_EQ(std::memcmp(a.model->coefficients, b.model->coefficients, sizeof(double) * 6), 0);
    EXPECT_EQ(std::memcmp(a.model->extent, b.model->extent, sizeof(double) * 4), 0);
}

// Loading `bytes` fails as damage, naming the file, and leaves a changed
// session with heights of its own exactly as it was.
void ExpectRefused(const TestTempDir& dir, const std::string& bytes) {
    const std::string path = dir.File("damaged.cod");
    WriteBytes(path, bytes);
    ConversionSession s = ChangedSession();
    s.m_heights.enabled = true;
    s.m_heights.geoid = kEgm96Name;
    s.m_otherSections = {{"KEEP", "me"}};
    const ConversionSession before = s;
    std::string error;
    ASSERT_FALSE(s.LoadProject(path, &error));
    EXPECT_NE(error.find("已损坏"), std::string::npos) << error;
    EXPECT_NE(error.find(path), std::string::npos) << error;
    ExpectSameSession(s, before);
    ExpectSameHeights(s.m_heights, before.m_heights);
    EXPECT_EQ(s.m_otherSections, before.m_otherSections);
}

}  // namespace

TEST(HeightsSection, WrittenOnlyWhenTheSessionHoldsHeights) {
    TestTempDir dir;
    // Heights turned on and undone: nothing to keep.
    ConversionSession s;
    SessionHistory history;
    history.Reset(s);
    s.m_heights.enabled = true;
    s.m_heights.geoid = kEgm96Name;
    ASSERT_TRUE(history.Record(s));
    EXPECT_GT(SavedBytes(s, dir).size(), 537u);
    ASSERT_TRUE(history.Undo(s));
    EXPECT_EQ(SavedBytes(s, dir).size(), 537u);

    const std::string base = SavedBytes(ConversionSession(), dir);
    std::vector<std::function<void(SessionHeights&)>> kinds = {
        [](SessionHeights& h) { h.enabled = true; },
        [](SessionHeights& h) { h.geoid = kEgm96Name; },
        [](SessionHeights& h) { h.model = HeightModel(); },
    };
    for (const auto& change : kinds) {
        ConversionSession one;
        change(one.m_heights);
        const std::string bytes = SavedBytes(one, dir);
        ASSERT_GT(bytes.size(), 537u);
        EXPECT_EQ(bytes.substr(0, 537), base);
        EXPECT_EQ(bytes.substr(537), ExtensionOf({Fields(one.m_heights).Bytes()}));
    }
}

TEST(HeightsSection, LayoutIsTheDocumentedOneAndReadsBackBitForBit) {
    TestTempDir dir;
    ConversionSession s = ChangedSession();
    // The 73 values of this session, its texts being longer, take more than 537 bytes.
    const std::size_t values = SavedBytes(s, dir).size();
    s.m_heights = QuadricOnGrid();
    s.m_otherSections = {{"ZZZ9", "other"}};
    const std::string bytes = SavedBytes(s, dir);
    std::string ext = ExtensionOf({Fields(s.m_heights).Bytes()});
    // HGT1 first, then the sections this version does not know.
    ext.replace(8, 4, Le32(2));
    ext += std::string("ZZZ9") + Le32(5) + "other";
    ASSERT_GT(bytes.size(), values);
    EXPECT_EQ(bytes.substr(values), ext);

    ConversionSession loaded;
    std::string error;
    ASSERT_TRUE(loaded.LoadProject(dir.File("saved.cod"), &error)) << error;
    ExpectSameHeights(loaded.m_heights, s.m_heights);
    EXPECT_EQ(loaded.m_otherSections, s.m_otherSections);
    EXPECT_EQ(SavedBytes(loaded, dir), bytes);

    // A project without the section takes none of the heights the session had.
    WriteBytes(dir.File("plain.cod"), SavedBytes(ConversionSession(), dir));
    ASSERT_TRUE(loaded.LoadProject(dir.File("plain.cod"), &error)) << error;
    EXPECT_EQ(loaded.m_heights, SessionHeights());
}

TEST(HeightsSection, ProjectWithAModelConvertsTheSameAfterReloading) {
    TestTempDir dir;
    ConversionSession s;
    s.m_sourceKind = 1;
    s.m_targetKind = 2;
    s.m_sourceDatum = s.m_targetDatum = 2;
    s.m_heights = QuadricOnGrid();
    s.m_heights.model->centroidB = 30.4 * kDegToRad;
    s.m_heights.model->centroidL = 114.5 * kDegToRad;
    std::string error;
    ASSERT_TRUE(s.OpenGeoidGrid("", &error)) << error;
    s.m_sourceText[0] = "030:20:00.000";
    s.m_sourceText[1] = "114:40:00.000";
    s.m_sourceText[2] = "100.5";
    std::string message;
    ASSERT_TRUE(s.Convert(&message)) << message;
    ConversionSession off = s;
    off.m_heights.enabled = false;
    ASSERT_TRUE(off.Convert());
    EXPECT_NE(s.m_targetText[2], off.m_targetText[2]);

    ASSERT_TRUE(s.SaveProject(dir.File("model.cod"), &error)) << error;
    ConversionSession loaded;
    ASSERT_TRUE(loaded.LoadProject(dir.File("model.cod"), &error)) << error;
    // The datums as the window's controls show them after opening.
    loaded.m_sourceDatum = loaded.m_params.m_savedSourceDatum;
    loaded.m_targetDatum = loaded.m_params.m_savedTargetDatum;
    // The grid is the caller's to open once the project names it.
    EXPECT_EQ(loaded.CheckHeights(), ConversionSession::HeightsProblem::GridNotOpen);
    ASSERT_TRUE(loaded.OpenGeoidGrid("", &error)) << error;
    std::string again;
    ASSERT_TRUE(loaded.Convert(&again)) << again;
    EXPECT_EQ(again, message);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(loaded.m_targetText[i], s.m_targetText[i]) << i;
}

TEST(HeightsSection, EveryTruncationIsRefusedWithTheSessionUnchanged) {
    TestTempDir dir;
    ConversionSession s;
    s.m_heights = QuadricOnGrid();
    const std::string good = SavedBytes(s, dir);
    // The file cut anywhere in its extension once "TRXE" marks it as one
    // (fewer bytes are no extension and are ignored as they always were).
    for (std::size_t cut = 537 + 4; cut < good.size(); ++cut) {
        SCOPED_TRACE(cut);
        ExpectRefused(dir, good.substr(0, cut));
        if (HasFailure()) return;
    }
    // The section's own content cut short inside a frame that is whole.
    const std::string base = good.substr(0, 537);
    const std::string content = Fields(s.m_heights).Bytes();
    for (std::size_t cut = 0; cut < content.size(); ++cut) {
        SCOPED_TRACE(cut);
        ExpectRefused(dir, base + ExtensionOf({content.substr(0, cut)}));
        if (HasFailure()) return;
    }
}

TEST(HeightsSection, CorruptionsAreRefusedWithTheSessionUnchanged) {
    TestTempDir dir;
    ConversionSession s;
    s.m_heights = QuadricOnGrid();
    const std::string base = SavedBytes(ConversionSession(), dir);
    const Fields good(s.m_heights);
    std::vector<std::pair<const char*, std::function<void(Fields&)>>> corruptions = {
        {"switch 2", [](Fields& f) { f.enabled = 2; }},
        {"switch -1", [](Fields& f) { f.enabled = -1; }},
        {"presence 2", [](Fields& f) { f.present = 2; }},
        {"surface 3", [](Fields& f) { f.surface = 3; }},
        {"surface -1", [](Fields& f) { f.surface = -1; }},
        {"on geoid 7", [](Fields& f) { f.onGeoid = 7; }},
        {"B not a number", [](Fields& f) { f.values[0] = NAN; }},
        {"B beyond the pole", [](Fields& f) { f.values[0] = 1.5708; }},
        {"L beyond a turn", [](Fields& f) { f.values[1] = -6.3; }},
        {"L infinite", [](Fields& f) { f.values[1] = INFINITY; }},
        {"scale 0", [](Fields& f) { f.values[2] = 0; }},
        {"scale negative", [](Fields& f) { f.values[2] = -5; }},
        {"coefficient infinite", [](Fields& f) { f.values[6] = -INFINITY; }},
        {"coefficient not a number", [](Fields& f) { f.values[8] = NAN; }},
        {"extent x reversed", [](Fields& f) { std::swap(f.values[9], f.values[10]); }},
        {"extent y reversed", [](Fields& f) { std::swap(f.values[11], f.values[12]); }},
        {"extent not a number", [](Fields& f) { f.values[12] = NAN; }},
        {"model on a geoid without one", [](Fields& f) { f.geoid.clear(); }},
        {"a byte after the text", [](Fields& f) { f.tail = "x"; }},
        {"text longer than the section", [](Fields& f) { f.geoid = "abc"; f.tail = ""; }},
    };
    for (const auto& [what, corrupt] : corruptions) {
        SCOPED_TRACE(what);
        Fields f = good;
        corrupt(f);
        std::string content = f.Bytes();
        if (std::string(what) == "text longer than the section") content.pop_back();
        ExpectRefused(dir, base + ExtensionOf({content}));
        if (HasFailure()) return;
    }
    SCOPED_TRACE("two sections of the heights");
    ExpectRefused(dir, base + ExtensionOf({good.Bytes(), good.Bytes()}));
    // The values at the edges of their ranges are no damage.
    Fields edge = good;
    edge.values[0] = -1.5707963267948966;
    edge.values[1] = 6.283185307179586;
    edge.values[9] = edge.values[10] = 0.25;
    edge.enabled = 0;
    edge.onGeoid = 0;
    edge.geoid.clear();
    WriteBytes(dir.File("edge.cod"), base + ExtensionOf({edge.Bytes()}));
    ConversionSession loaded;
    std::string error;
    ASSERT_TRUE(loaded.LoadProject(dir.File("edge.cod"), &error)) << error;
    ASSERT_TRUE(loaded.m_heights.model.has_value());
    EXPECT_FALSE(loaded.m_heights.enabled);
    EXPECT_EQ(loaded.m_heights.model->centroidB, -1.5707963267948966);
}

TEST(SessionHeightsState, UndoNewProjectAndModifiedSeeTheHeights) {
    ConversionSession s;
    SessionHistory history;
    history.Reset(s);
    s.m_heights.geoid = kEgm96Name;
    s.m_heights.enabled = true;
    EXPECT_TRUE(history.IsModified(s));
    ASSERT_TRUE(history.Record(s));
    s.m_heights.model = QuadricOnGrid().model;
    s.m_heights.model->onGeoid = false;
    ASSERT_TRUE(history.Record(s));
    EXPECT_FALSE(history.Record(s));
    ASSERT_TRUE(history.Undo(s));
    EXPECT_FALSE(s.m_heights.model.has_value());
    EXPECT_TRUE(s.m_heights.enabled);
    ASSERT_TRUE(history.Undo(s));
    EXPECT_EQ(s.m_heights, SessionHeights());
    EXPECT_FALSE(history.IsModified(s));
    ASSERT_TRUE(history.Redo(s));
    EXPECT_TRUE(s.m_heights.enabled);
    history.MarkSaved(s);
    EXPECT_FALSE(history.IsModified(s));
    s.m_heights.enabled = false;
    EXPECT_TRUE(history.IsModified(s));

    s.m_heights = QuadricOnGrid();
    std::string error;
    ASSERT_TRUE(s.OpenGeoidGrid("", &error)) << error;
    s.NewProject();
    EXPECT_EQ(s.m_heights, SessionHeights());
    EXPECT_EQ(s.Grid(), nullptr);
}

TEST(SessionHeightsState, StatusLineNamesTheModelWhileTheSwitchIsOn) {
    ConversionSession s;
    const std::string off = SessionStatusText(s);
    EXPECT_EQ(off.find("高程拟合"), std::string::npos) << off;
    s.m_heights.model = HeightModel();
    s.m_heights.model->surface = HeightSurface::Plane;
    s.m_heights.model->onGeoid = true;
    s.m_heights.geoid = kEgm96Name;
    EXPECT_EQ(SessionStatusText(s), off);
    s.m_heights.enabled = true;
    EXPECT_EQ(SessionStatusText(s), off + " | 高程拟合: 平面 (EGM96)");
    s.m_heights.model->surface = HeightSurface::Quadric;
    s.m_heights.model->onGeoid = false;
    EXPECT_EQ(SessionStatusText(s), off + " | 高程拟合: 二次曲面");
    s.m_heights.model.reset();
    s.m_heights.geoid = "/data/grids/江苏似大地水准面.gtx";
    EXPECT_EQ(SessionStatusText(s), off + " | 高程拟合: 大地水准面 (江苏似大地水准面.gtx)");
    s.m_heights.model = HeightModel();
    EXPECT_EQ(SessionStatusText(s), off + " | 高程拟合: 常数");
}
