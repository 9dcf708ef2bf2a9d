// The build embeds res/*.rc, res/resource.h and res/icon<ID>.png and
// registers them before main: the program's main window template, its menu
// and its icon are there, by the names the templates give them, without
// loading anything at run time.

#include <gtest/gtest.h>

#include <QIcon>

#include "res/resource.h"
#include "tests/ui/support/UiTest.h"
#include "ui/framework/Menu.h"
#include "ui/framework/WinApp.h"
#include "ui/framework/qt/QtGlue.h"
#include "ui/resources/ResourceSet.h"

namespace {

class EmbeddedResourcesTest : public UiTest {};

TEST_F(EmbeddedResourcesTest, TheProgramsTemplatesMenuAndIconAreRegistered) {
    const DialogTemplate* main = AfxGetResources().FindDialog(IDD_CONVERT);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->file, "res/main.rc");
    EXPECT_EQ(main->caption, "坐标转换");
    EXPECT_TRUE(main->hasDlgInit);
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_MAIN_MENU));
    EXPECT_EQ(menu.GetMenuString(ID_APP_EXIT), "退出(&E)");
    CWinApp app;
    HICON icon = app.LoadIcon(IDI_APP);
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(AfxQIcon(icon).isNull()) << "the PNG bytes decode";
}

}  // namespace
