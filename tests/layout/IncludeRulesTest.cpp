// The layout of the source tree holds: each folder includes only folders
// below it, Qt only in the window's folders, no circle of includes. The
// checker itself is tried on small trees that break each rule.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/layout/IncludeRules.h"
#include "tests/support/TestTempDir.h"

namespace {

std::string Describe(const std::vector<IncludeProblem>& problems) {
    std::string out;
    for (const IncludeProblem& p : problems) {
        out += p.file + ":" + std::to_string(p.line) + ": " + p.why + "\n";
    }
    return out;
}

TEST(IncludeRules, TheTreeKeepsItsLayers) {
    const std::vector<IncludeProblem> problems =
        CheckIncludes(TERRAX_SOURCE_DIR, ProjectIncludeRules());
    EXPECT_TRUE(problems.empty()) << Describe(problems);
}

class SmallTree : public ::testing::Test {
protected:
    void Write(const std::string& path, const std::string& text) {
        const std::filesystem::path file = std::filesystem::path(m_dir.Path()) / path;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << text;
    }
    std::vector<IncludeProblem> Check() {
        return CheckIncludes(m_dir.Path(), ProjectIncludeRules());
    }

    TestTempDir m_dir;
};

TEST_F(SmallTree, LayersIncludedDownwardsPass) {
    Write("io/File.h", "#include \"platform/Platform.h\"\n");
    Write("platform/Platform.h", "#include <string>\n");
    Write("session/Session.cpp", "#include \"io/File.h\"\n#include \"platform/Platform.h\"\n");
    Write("ui/app/Main.cpp",
          "#include <QWidget>\n#include \"res/resource.h\"\n"
          "#include \"session/Session.cpp\"\n");
    Write("res/resource.h", "");
    Write("tests/io/FileTest.cpp", "#include \"io/File.h\"\n#include \"tests/support/T.h\"\n");
    Write("tests/support/T.h", "#include \"platform/Platform.h\"\n");
    EXPECT_TRUE(Check().empty()) << Describe(Check());
}

TEST_F(SmallTree, EachBrokenRuleIsNamed) {
    Write("platform/Platform.h", "");
    Write("io/File.h", "\n#include \"session/Session.h\"\n");  // upwards
    Write("session/Session.h", "#include \"io/File.h\"\n");
    Write("geodesy/Core.cpp", "#include \"platform/Platform.h\"\n");  // the core is self-contained
    Write("batch/Batch.cpp", "#include <QString>\n");                 // Qt outside ui/
    Write("params/Fit.cpp", "#include \"ui/framework/Wnd.h\"\n");     // the window's header
    Write("ui/framework/Wnd.h", "");
    Write("cli/Run.cpp", "#include \"cli/Missing.h\"\n");
    Write("tests/batch/BatchTest.cpp", "#include \"tests/ui/support/UiTest.h\"\n");
    Write("tests/ui/support/UiTest.h", "");
    const std::string report = Describe(Check());
    EXPECT_NE(report.find("io/File.h:2: in io/ includes session/Session.h"), std::string::npos)
        << report;
    EXPECT_NE(report.find("geodesy/Core.cpp:1: in geodesy/ includes platform/Platform.h"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("batch/Batch.cpp:1: includes Qt (QString)"), std::string::npos) << report;
    EXPECT_NE(report.find("params/Fit.cpp:1: in params/ includes ui/framework/Wnd.h"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("cli/Run.cpp:1: includes cli/Missing.h, which is no file"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("tests/batch/BatchTest.cpp:1: in tests/batch/ includes"),
              std::string::npos)
        << report;
    // io/File.h and session/Session.h include each other.
    EXPECT_NE(report.find("is in a circle of includes: io/File, session/Session"),
              std::string::npos)
        << report;
    EXPECT_EQ(Check().size(), 7u) << report;
}

TEST_F(SmallTree, ACircleInsideOneFolderCountsAHeaderAndItsSourceAsOne) {
    Write("ui/framework/Wnd.h", "");
    Write("ui/framework/Wnd.cpp",
          "#include \"ui/framework/Wnd.h\"\n#include \"ui/framework/Menu.h\"\n");
    Write("ui/framework/Menu.h", "");
    Write("ui/framework/Menu.cpp", "#include \"ui/framework/Menu.h\"\n");
    EXPECT_TRUE(Check().empty()) << Describe(Check());
    Write("ui/framework/Menu.cpp",
          "#include \"ui/framework/Menu.h\"\n#include \"ui/framework/Wnd.h\"\n");
    const std::string report = Describe(Check());
    EXPECT_NE(report.find("circle of includes: ui/framework/Menu, ui/framework/Wnd"),
              std::string::npos)
        << report;
}

}  // namespace
