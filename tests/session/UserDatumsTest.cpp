// The user's datum list: what 添加 refuses and why (naming the field), the
// list indices after the five built-in datums, the file read back after a
// restart, and a damaged file that is reported and never written over.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "session/AppPaths.h"
#include "session/UserDatums.h"
#include "tests/support/TestTempDir.h"

namespace {

class UserDatumsTest : public ::testing::Test {
protected:
    void SetUp() override { UserDatums() = UserDatumList(); }
    void TearDown() override { UserDatums() = UserDatumList(); }
};

// The problem CheckTexts finds, as field and message; Name with "" for none.
std::pair<DatumField, std::string> Typed(const UserDatumList& list, const std::string& name,
                                          const std::string& a, const std::string& rf) {
    UserDatum d;
    const auto problem = list.CheckTexts(name, a, rf, &d);
    return problem ? std::make_pair(problem->field, problem->message)
                   : std::make_pair(DatumField::Name, std::string());
}

TEST_F(UserDatumsTest, TypedDatumsAreCheckedFieldByField) {
    UserDatumList list;
    ASSERT_EQ(list.Add({"西安工程", 6378200, 298.3}), kDatumCount);
    struct Case {
        const char* name;
        const char* a;
        const char* rf;
        DatumField field;
        const char* inMessage;
    };
    const Case cases[] = {
        {"", "6378200", "298.3", DatumField::Name, "请输入坐标系名称"},
        {"   ", "6378200", "298.3", DatumField::Name, "请输入坐标系名称"},
        {"a\tb", "6378200", "298.3", DatumField::Name, "控制字符"},
        {"17", "6378200", "298.3", DatumField::Name, "数字"},
        {"北京-54坐标系", "6378200", "298.3", DatumField::Name, "内置坐标系"},
        {"WGS84", "6378200", "298.3", DatumField::Name, "内置坐标系"},
        {" cgcs2000 ", "6378200", "298.3", DatumField::Name, "内置坐标系"},
        {"西安工程", "6378100", "298.3", DatumField::Name, "已经在列表中"},
        {"新", "", "298.3", DatumField::SemiMajorAxis, "长半轴 a"},
        {"新", "6378km", "298.3", DatumField::SemiMajorAxis, "须是一个数"},
        {"新", "6299999.999", "298.3", DatumField::SemiMajorAxis, "6300000 与 6400000"},
        {"新", "6400000.001", "298.3", DatumField::SemiMajorAxis, "6300000 与 6400000"},
        {"新", "nan", "298.3", DatumField::SemiMajorAxis, "须是一个数"},
        {"新", "6378200", "", DatumField::InverseFlattening, "扁率倒数 1/f"},
        {"新", "6378200", "298,3", DatumField::InverseFlattening, "须是一个数"},
        {"新", "6378200", "249.99", DatumField::InverseFlattening, "250 与 350"},
        {"新", "6378200", "350.01", DatumField::InverseFlattening, "250 与 350"},
        {"新", "6378200", "inf", DatumField::InverseFlattening, "须是一个数"},
    };
    for (const Case& c : cases) {
        const auto [field, message] = Typed(list, c.name, c.a, c.rf);
        EXPECT_EQ(field, c.field) << c.name << " " << c.a << " " << c.rf;
        EXPECT_NE(message.find(c.inMessage), std::string::npos) << message;
    }
    // The bounds themselves, blanks and a plus sign are accepted; the name is trimmed.
    UserDatum d;
    EXPECT_FALSE(list.CheckTexts(" 边界 ", " 6300000 ", "+350", &d));
    EXPECT_EQ(d, (UserDatum{"边界", 6300000, 350}));
    EXPECT_FALSE(list.CheckTexts("Xi'an 80", "6.4e6", "250", &d));
    EXPECT_EQ(d, (UserDatum{"Xi'an 80", 6400000, 250}));
    // A name differing in ASCII case only is the same name.
    ASSERT_EQ(list.Add({"Local", 6378200, 298.3}), kDatumCount + 1);
    EXPECT_EQ(Typed(list, "LOCAL", "6378200", "298.3").first, DatumField::Name);
    EXPECT_EQ(list.IndexOf(" local"), kDatumCount + 1);
}

TEST_F(UserDatumsTest, IndicesFollowTheBuiltInDatums) {
    UserDatums().Add({"甲", 6378200, 298.3});
    UserDatums().Add({"乙", 6380000, 300.5});
    EXPECT_EQ(DatumCount(), kDatumCount + 2);
    double a = 0, rf = 0;
    ASSERT_TRUE(DatumEllipsoid(kDatumCount + 1, &a, &rf));
    EXPECT_EQ(a, 6380000);
    EXPECT_EQ(rf, 300.5);
    ASSERT_TRUE(DatumEllipsoid(2, &a, &rf));  // the built-in ones as before
    EXPECT_EQ(rf, 298.257223563);
    a = rf = -1;
    EXPECT_FALSE(DatumEllipsoid(kDatumCount + 2, &a, &rf));
    EXPECT_FALSE(DatumEllipsoid(-1, &a, &rf));
    // Any int a project file brings (found by the fuzz target: INT_MIN overflowed).
    EXPECT_FALSE(DatumEllipsoid(std::numeric_limits<int>::min(), &a, &rf));
    EXPECT_FALSE(DatumEllipsoid(std::numeric_limits<int>::max(), &a, &rf));
    EXPECT_EQ(a, -1);
    EXPECT_EQ(DatumListName(kDatumCount), "甲");
    EXPECT_EQ(DatumListName(kDatumCgcs2000), "CGCS2000坐标系");
    EXPECT_EQ(DatumListName(kDatumCount + 2), "?");

    // Removing the first moves the second up.
    EXPECT_TRUE(UserDatums().Remove(kDatumCount));
    EXPECT_EQ(DatumListName(kDatumCount), "乙");
    EXPECT_FALSE(UserDatums().Remove(kDatumCount + 1));
    EXPECT_FALSE(UserDatums().Remove(0));
    EXPECT_EQ(DatumCount(), kDatumCount + 1);
}

TEST_F(UserDatumsTest, FileTextReadsBackBitForBit) {
    UserDatumList list;
    list.Add({"工程椭球 A", 6378160, 298.25});
    list.Add({"Local grid", 6378137.000000001, 298.257222101});
    list.Add({"x", 6399999.9999, 250.00000000000003});
    const std::string text = list.ToText();
    EXPECT_EQ(text.substr(0, text.find('\n')), kUserDatumsHeader);
    EXPECT_NE(text.find("工程椭球 A\t6378160\t298.25\n"), std::string::npos) << text;
    UserDatumList back;
    std::string error;
    ASSERT_TRUE(back.FromText(text, &error)) << error;
    EXPECT_EQ(back, list);
    // CR LF lines, a byte-order mark, comments and blank lines read the same.
    std::string crlf = "\xEF\xBB\xBF" + std::string(kUserDatumsHeader) + "\r\n\r\n# 注释\r\n";
    crlf += "工程椭球 A\t6378160\t298.25\r\nLocal grid\t6378137.000000001\t298.257222101\r\n";
    crlf += "x\t6399999.9999\t250.00000000000003";  // no line end
    ASSERT_TRUE(back.FromText(crlf, &error)) << error;
    EXPECT_EQ(back, list);
}

TEST_F(UserDatumsTest, DamagedTextIsRefusedNamingTheLine) {
    const std::string header = std::string(kUserDatumsHeader) + "\n";
    struct Case {
        std::string text;
        const char* inError;
    };
    const Case cases[] = {
        {"", "第 0 行"},
        {"TerraX datums 2\n", "第 1 行"},
        {header + "甲\t6378200\n", "第 2 行"},
        {header + "# x\n甲\t6378200\t298.3\t1\n", "第 3 行"},
        {header + "甲 6378200 298.3\n", "第 2 行"},
        {header + "甲\t6378200m\t298.3\n", "长半轴 a 不是数"},
        {header + "甲\t6378200\t\n", "扁率倒数 1/f 不是数"},
        {header + "甲\t7378200\t298.3\n", "6300000 与 6400000"},
        {header + "甲\t6378200\t400\n", "250 与 350"},
        {header + "甲\t6378200\t298.3\n甲\t6378100\t298.3\n", "第 3 行：坐标系名称“甲”已经在列表中"},
        {header + "\t6378200\t298.3\n", "请输入坐标系名称"},
        {header + "WGS-84\t6378137\t298.257223563\n", "内置坐标系"},
        {header + "\xB1\xB1\xBE\xA9\t6378200\t298.3\n", "控制字符"},  // GB18030, not UTF-8
    };
    for (const Case& c : cases) {
        UserDatumList list;
        list.Add({"kept", 6378200, 298.3});
        const UserDatumList before = list;
        std::string error;
        EXPECT_FALSE(list.FromText(c.text, &error)) << c.text;
        EXPECT_NE(error.find(c.inError), std::string::npos) << c.text << " -> " << error;
        EXPECT_EQ(list, before) << c.text;
    }
}

TEST_F(UserDatumsTest, ListSurvivesARestartInTheSettingsFolder) {
    TestTempDir app, config;
    const std::string path = UserDatumsPath(app.Path() + "/", config.Path());
    EXPECT_EQ(path, config.Path() + "/terrax/datums.txt");
    std::string error;
    ASSERT_TRUE(LoadUserDatums(path, &error)) << error;  // none yet: an empty list
    EXPECT_EQ(UserDatums().Count(), 0);
    EXPECT_EQ(UserDatumsFile(), path);
    UserDatums().Add({"工程椭球", 6378160, 298.25});
    UserDatums().Add({"Local", 6380000, 300.5});
    ASSERT_TRUE(SaveUserDatums(&error)) << error;  // creates terrax/
    const UserDatumList saved = UserDatums();

    UserDatums() = UserDatumList();  // the program ends; a new one starts
    ASSERT_TRUE(LoadUserDatums(path, &error)) << error;
    EXPECT_EQ(UserDatums(), saved);
    EXPECT_EQ(ReadBytes(path), saved.ToText());
    // No temporary file is left beside it.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(PathOf(config.Path() + "/terrax")))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1);

    // A portable copy keeps the list beside its format store.
    WriteBytes(app.Path() + "/Par.txt", "文件类型数:0\r\n");
    EXPECT_EQ(UserDatumsPath(app.Path() + "/", config.Path()), app.Path() + "/datums.txt");
}

TEST_F(UserDatumsTest, DamagedFileIsReportedAndNeverWrittenOver) {
    TestTempDir dir;
    const std::string path = dir.File("datums.txt");
    const std::string damaged = std::string(kUserDatumsHeader) + "\n甲\t6378200\t298.3\n乙\t63\t298\n";
    WriteBytes(path, damaged);
    UserDatums().Add({"before", 6378200, 298.3});
    std::string error;
    EXPECT_FALSE(LoadUserDatums(path, &error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find("第 3 行"), std::string::npos) << error;
    EXPECT_NE(error.find("不会改写"), std::string::npos) << error;
    EXPECT_EQ(UserDatums().Count(), 0);

    // Datums added meanwhile (by hand or from a project) are not saved over it.
    UserDatums().Add({"新", 6378200, 298.3});
    std::string saveError;
    EXPECT_FALSE(SaveUserDatums(&saveError));
    EXPECT_EQ(saveError, error);
    EXPECT_EQ(ReadBytes(path), damaged);

    // Mended by the user, it loads and saves again.
    WriteBytes(path, std::string(kUserDatumsHeader) + "\n甲\t6378200\t298.3\n");
    ASSERT_TRUE(LoadUserDatums(path, &error)) << error;
    ASSERT_EQ(UserDatums().Count(), 1);
    UserDatums().Add({"乙", 6378300, 298.3});
    EXPECT_TRUE(SaveUserDatums(&error)) << error;
    EXPECT_NE(ReadBytes(path).find("乙\t6378300\t298.3\n"), std::string::npos);
}

// A list this user may not open (here: a folder where the file should be)
// starts empty without a message, as the other settings do, and is not
// written over either.
TEST_F(UserDatumsTest, AnUnreadableListStartsEmptyAndIsNotWrittenOver) {
    TestTempDir dir;
    const std::string path = dir.File("datums.txt");
    std::filesystem::create_directory(PathOf(path));
    UserDatums().Add({"before", 6378200, 298.3});
    std::string error;
    EXPECT_TRUE(LoadUserDatums(path, &error));
    EXPECT_EQ(error, "");
    EXPECT_EQ(UserDatums().Count(), 0);
    UserDatums().Add({"新", 6378200, 298.3});
    EXPECT_FALSE(SaveUserDatums(&error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::is_directory(PathOf(path)));
}

TEST_F(UserDatumsTest, BuiltInNamesAndNumbers) {
    EXPECT_EQ(BuiltInDatumIndex("北京-54坐标系"), 0);
    EXPECT_EQ(BuiltInDatumIndex(" National-80 "), 1);
    EXPECT_EQ(BuiltInDatumIndex("WGS-72坐标系"), 3);
    EXPECT_EQ(BuiltInDatumIndex("CGCS2000"), kDatumCgcs2000);
    EXPECT_EQ(BuiltInDatumIndex("CGCS"), -1);
    double v = -1;
    EXPECT_FALSE(ReadDatumNumber("1e400", &v));
    EXPECT_FALSE(ReadDatumNumber("0x10", &v));
    EXPECT_FALSE(ReadDatumNumber("1 2", &v));
    EXPECT_EQ(v, -1);
    for (double x : {6378245.0, 298.257222101, 6378137.000000001, 0.1}) {
        ASSERT_TRUE(ReadDatumNumber(DatumNumberText(x), &v));
        EXPECT_EQ(v, x) << DatumNumberText(x);
    }
    EXPECT_EQ(DatumNumberText(6378245.0), "6378245");
}

}  // namespace
