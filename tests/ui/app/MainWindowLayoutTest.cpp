// The main window grown by the user: its two file lists share the room, what
// lies beside them keeps its place and what lies below them moves down.
#include <QWidget>

#include "tests/ui/params/MainWindowParamsTest.h"

namespace {

using MainWindowLayoutTest = MainWindowParamsTest;

TEST_F(MainWindowLayoutTest, TheFileListsShareTheRoomOfAGrownWindow) {
    RunWindow([](CWnd& w) {
        SelectTab(w, IDC_MODE_TAB, 1);
        QWidget* top = w.GetSafeHwnd()->window();
        const QSize initial = top->size();
        EXPECT_EQ(top->minimumSize(), initial);
        const QRect source = ControlWidget(w, IDC_SOURCE_FILES)->geometry();
        const QRect output = ControlWidget(w, IDC_OUTPUT_FILES)->geometry();
        const QRect browse = ControlWidget(w, IDC_BROWSE)->geometry();
        const QRect arrow = ControlWidget(w, IDC_CONVERT_FILES)->geometry();
        const QRect tabs = ControlWidget(w, IDC_MODE_TAB)->geometry();
        const QRect datum = ControlWidget(w, IDC_TARGET_DATUM)->geometry();

        ResizeWindow(w, initial.width() + 400, initial.height() + 300);
        EXPECT_EQ(ControlWidget(w, IDC_SOURCE_FILES)->geometry(),
                  source.adjusted(0, 0, 200, 300));
        EXPECT_EQ(ControlWidget(w, IDC_OUTPUT_FILES)->geometry(),
                  output.adjusted(200, 0, 400, 300));
        EXPECT_EQ(ControlWidget(w, IDC_BROWSE)->geometry(), browse);
        EXPECT_EQ(ControlWidget(w, IDC_CONVERT_FILES)->geometry(), arrow.translated(200, 0));
        EXPECT_EQ(ControlWidget(w, IDC_MODE_TAB)->geometry().topLeft(),
                  tabs.topLeft() + QPoint(0, 300));
        // Above the right list: it goes with that list's right end.
        EXPECT_EQ(ControlWidget(w, IDC_TARGET_DATUM)->geometry(), datum.translated(400, 0));
        w.EndModalLoop(IDCANCEL);
    });
}

}  // namespace
