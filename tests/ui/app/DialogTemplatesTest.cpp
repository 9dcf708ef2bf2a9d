// Every dialog class of the program against the embedded templates: each
// message-map entry and each DDX binding names a control of its template of
// a class that sends the notification or holds the value, the main window's
// commands are items of its menu, and every ID of the templates and the menu
// has its name in res/resource.h.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>

#include "res/resource.h"
#include "tests/ui/support/UiTest.h"
#include "ui/app/AboutDlg.h"
#include "ui/app/ConvertDlg.h"
#include "ui/batch/FileFormatDlg.h"
#include "ui/params/CalcFourDlg.h"
#include "ui/params/CalcHeightsDlg.h"
#include "ui/params/CalcMultiDlg.h"
#include "ui/params/CalcSevenDlg.h"
#include "ui/params/CalcThreeDlg.h"
#include "ui/params/Change.h"
#include "ui/params/Change1.h"
#include "ui/params/DatumListDlg.h"
#include "ui/params/ProjectionDlg.h"
#include "ui/params/SevenParamDlg.h"
#include "ui/params/SheetSpecial.h"
#include "ui/resources/RcParser.h"
#include "ui/resources/ResourceSet.h"

namespace {

class DialogTemplatesTest : public UiTest {
protected:
    // The names of res/resource.h as the templates see them.
    static std::map<std::string, int> HeaderNames() {
        ResourceScript script;
        std::string error;
        EXPECT_TRUE(CRcParser::Parse("#include \"resource.h\"\n", "res/names.rc", &script, &error,
                                     &AfxGetResources().Headers()))
            << error;
        return script.names;
    }

    static void ExpectFits(CDialog& dlg, int templateId, const MenuTemplate* menu = nullptr) {
        EXPECT_EQ(dlg.GetTemplateId(), static_cast<UINT>(templateId));
        ASSERT_NE(AfxGetResources().FindDialog(templateId), nullptr);
        EXPECT_EQ(AfxGetResources().FindDialog(templateId)->file.rfind("res/", 0), 0u);
        for (const std::string& problem : dlg.TemplateMismatches(menu)) ADD_FAILURE() << problem;
    }
};

TEST_F(DialogTemplatesTest, EveryDialogClassFitsItsTemplate) {
    const MenuTemplate* mainMenu = AfxGetResources().FindMenu(IDR_MAIN_MENU);
    ASSERT_NE(mainMenu, nullptr);
    {
        SCOPED_TRACE("main window");
        CConvertDlg dlg;
        ExpectFits(dlg, IDD_CONVERT, mainMenu);
    }
    const std::pair<const char*, std::function<std::unique_ptr<CDialog>()>> dialogs[] = {
        {"About", [] { return std::make_unique<CAboutDlg>(); }},
        {"projection", [] { return std::make_unique<CProjectionDlg>(); }},
        {"seven parameters", [] { return std::make_unique<CSevenParamDlg>(); }},
        {"calc three", [] { return std::make_unique<CCalcThreeDlg>(); }},
        {"calc four", [] { return std::make_unique<CCalcFourDlg>(); }},
        {"calc seven", [] { return std::make_unique<CCalcSevenDlg>(); }},
        {"calc multi", [] { return std::make_unique<CCalcMultiDlg>(ConversionParams()); }},
        {"calc heights", [] { return std::make_unique<CCalcHeightsDlg>(ConversionParams()); }},
        {"datum list", [] { return std::make_unique<CDatumListDlg>(UserDatumList(), std::vector<int>()); }},
        {"file format", [] { return std::make_unique<CFileFormatDlg>(); }},
    };
    const int templates[] = {IDD_ABOUTBOX,   IDD_PROJECTION, IDD_SEVEN_PARAMS,
                             IDD_CALC_THREE, IDD_CALC_FOUR,  IDD_CALC_SEVEN,
                             IDD_CALC_MULTI, IDD_CALC_HEIGHTS, IDD_DATUM_LIST,
                             IDD_FILE_FORMAT};
    for (size_t i = 0; i < std::size(dialogs); ++i) {
        SCOPED_TRACE(dialogs[i].first);
        std::unique_ptr<CDialog> dlg = dialogs[i].second();
        ExpectFits(*dlg, templates[i]);
    }
    // The local four-parameter sheet as its command builds it.
    CSheetSpecial sheet("地方坐标转换参数");
    CChange level1;
    CChange1 level2;
    sheet.AddPage(&level1);
    sheet.AddPage(&level2);
    ASSERT_EQ(sheet.GetPageCount(), 2);
    const int pages[] = {IDD_LOCAL_LEVEL1, IDD_LOCAL_LEVEL2};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE("local transform page " + std::to_string(i + 1));
        ExpectFits(*sheet.GetPage(i), pages[i]);
    }
}

TEST_F(DialogTemplatesTest, EveryIdOfTheTemplatesAndTheMenuHasItsNameAndEveryNameIsUsed) {
    const std::map<std::string, int> names = HeaderNames();
    ASSERT_FALSE(names.empty());
    std::set<int> dialogIds, controlIds, commandIds;
    for (const auto& [name, id] : names) {
        if (name.rfind("IDD_", 0) == 0) dialogIds.insert(id);
        if (name.rfind("IDC_", 0) == 0) controlIds.insert(id);
        if (name.rfind("IDM_", 0) == 0) commandIds.insert(id);
    }
    EXPECT_EQ(names.at("IDR_MAIN_MENU"), IDR_MAIN_MENU) << "the header and the code agree";
    EXPECT_EQ(names.at("IDC_CONVERT"), IDC_CONVERT);
    EXPECT_NE(AfxGetResources().FindIcon(IDI_APP), nullptr) << "res/icon<IDI_APP>.png";

    std::set<int> usedControls;
    for (int dialogId : dialogIds) {
        const DialogTemplate* tpl = AfxGetResources().FindDialog(dialogId);
        ASSERT_NE(tpl, nullptr) << "IDD_ name of no template: " << dialogId;
        for (const ControlTemplate& control : tpl->controls) {
            if (control.id == IDC_STATIC || control.id == IDOK || control.id == IDCANCEL) continue;
            usedControls.insert(control.id);
            EXPECT_EQ(controlIds.count(control.id), 1u)
                << tpl->file << ":" << control.line << ": control " << control.id
                << " has no IDC_ name";
            if (control.IsIcon()) {
                EXPECT_EQ(control.iconId, IDI_APP);
            }
        }
    }
    for (const auto& [name, id] : names) {
        if (name.rfind("IDC_", 0) == 0) {
            EXPECT_EQ(usedControls.count(id), 1u) << name << " names no control of a template";
        }
    }

    // Every item of the main menu is a framework command or has an IDM_ name,
    // and every IDM_ name is an item.
    const std::set<UINT> framework = {ID_FILE_NEW,       ID_FILE_OPEN, ID_FILE_SAVE,
                                      ID_FILE_SAVE_AS,   ID_APP_ABOUT, ID_APP_EXIT,
                                      ID_FILE_MRU_FILE1, ID_EDIT_UNDO, ID_EDIT_REDO};
    std::set<int> items;
    std::function<void(const std::vector<MenuItemTemplate>&)> walk =
        [&](const std::vector<MenuItemTemplate>& list) {
            for (const MenuItemTemplate& item : list) {
                walk(item.items);
                if (item.type != MenuItemTemplate::Type::Command) continue;
                items.insert(static_cast<int>(item.id));
                EXPECT_TRUE(framework.count(item.id) == 1 ||
                            commandIds.count(static_cast<int>(item.id)) == 1)
                    << "menu item \"" << item.text << "\" (" << item.id << ") has no name";
            }
        };
    const MenuTemplate* menu = AfxGetResources().FindMenu(IDR_MAIN_MENU);
    ASSERT_NE(menu, nullptr);
    walk(menu->items);
    for (int id : commandIds) EXPECT_EQ(items.count(id), 1u) << id << " is no item of the menu";
}

}  // namespace
