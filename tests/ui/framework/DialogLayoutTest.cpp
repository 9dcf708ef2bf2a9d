// The rule by which a dialog's controls follow its window: lists and tables
// take the extra room, the rest keeps its place or moves with the edge it
// stands by.
#include <gtest/gtest.h>

#include "ui/framework/DialogLayout.h"

namespace {

using Role = LayoutItem::Role;

LayoutItem Item(int x, int y, int cx, int cy, Role role = Role::Fixed) {
    return {{x, y, cx, cy}, role};
}

TEST(DialogLayoutTest, ATableTakesTheRoomAndTheButtonsUnderItFollowTheirEnd) {
    const CDialogLayout layout({
        Item(7, 7, 100, 40, Role::Frame),   // 0: a group box above the table
        Item(12, 20, 60, 12),               // 1: a field in it
        Item(200, 7, 100, 40, Role::Frame), // 2: a box above the table's right half
        Item(210, 20, 60, 12),              // 3: its field, moving with it
        Item(7, 60, 300, 100, Role::List),  // 4: the table
        Item(7, 170, 50, 14),               // 5: a button under its left end
        Item(250, 170, 50, 14),             // 6: a button under its right end
        Item(7, 190, 300, 20),              // 7: a text as wide as the table
    });
    ASSERT_TRUE(layout.Stretches());
    const std::vector<LayoutRect> r = layout.Place(400, 300);
    EXPECT_EQ(r[0], (LayoutRect{7, 7, 100, 40}));
    EXPECT_EQ(r[1], (LayoutRect{12, 20, 60, 12}));
    EXPECT_EQ(r[2], (LayoutRect{600, 7, 100, 40}));
    EXPECT_EQ(r[3], (LayoutRect{610, 20, 60, 12}));
    EXPECT_EQ(r[4], (LayoutRect{7, 60, 700, 400}));
    EXPECT_EQ(r[5], (LayoutRect{7, 470, 50, 14}));
    EXPECT_EQ(r[6], (LayoutRect{650, 470, 50, 14}));
    EXPECT_EQ(r[7], (LayoutRect{7, 490, 700, 20}));
}

TEST(DialogLayoutTest, TwoListsSideBySideShareTheWidthAndWhatLiesBesideThemStaysPut) {
    const CDialogLayout layout({
        Item(61, 95, 110, 59, Role::List),   // 0
        Item(177, 121, 24, 14),              // 1: the button between them
        Item(207, 95, 110, 59, Role::List),  // 2
        Item(13, 135, 40, 16),               // 3: a button left of the first, low down
        Item(7, 155, 166, 16, Role::Frame),  // 4: tabs under the first list
        Item(7, 91, 124, 63, Role::Frame),   // 5: another page's group box on the first list
        Item(34, 135, 84, 14),               // 6: another page's field on the first list
    });
    const std::vector<LayoutRect> r = layout.Place(101, 40);
    EXPECT_EQ(r[0], (LayoutRect{61, 95, 160, 99}));
    EXPECT_EQ(r[1], (LayoutRect{227, 121, 24, 14}));
    EXPECT_EQ(r[2], (LayoutRect{257, 95, 161, 99}));
    EXPECT_EQ(r[3], (LayoutRect{13, 135, 40, 16}));
    EXPECT_EQ(r[4], (LayoutRect{7, 195, 216, 16}));
    // The box grows in proportion to its part of the list; its field keeps its place.
    EXPECT_EQ(r[5], (LayoutRect{7, 91, 124 + 50 * 70 / 110, 103}));
    EXPECT_EQ(r[6], (LayoutRect{34, 135, 84, 14}));
}

TEST(DialogLayoutTest, AListOnALargerOneKeepsItsPlaceAndSizeAndNothingMovesBelowTheTemplate) {
    const CDialogLayout layout({
        Item(7, 7, 201, 143, Role::Frame),  // 0: tab control
        Item(14, 26, 187, 90, Role::List),  // 1: page 0's list
        Item(50, 74, 70, 54, Role::List),   // 2: page 1's list, on it
        Item(128, 74, 40, 14),              // 3: page 1's button beside it
        Item(214, 7, 47, 14),               // 4: the column of buttons at the right
        Item(214, 88, 47, 14),              // 5
    });
    std::vector<LayoutRect> r = layout.Place(100, 60);
    EXPECT_EQ(r[0], (LayoutRect{7, 7, 301, 203}));
    EXPECT_EQ(r[1], (LayoutRect{14, 26, 287, 150}));
    EXPECT_EQ(r[2], (LayoutRect{50, 74, 70, 54}));
    EXPECT_EQ(r[3], (LayoutRect{128, 74, 40, 14}));
    EXPECT_EQ(r[4], (LayoutRect{314, 7, 47, 14}));
    EXPECT_EQ(r[5], (LayoutRect{314, 88, 47, 14}));

    r = layout.Place(-30, -5);
    EXPECT_EQ(r[1], (LayoutRect{14, 26, 187, 90}));
    EXPECT_EQ(r[4], (LayoutRect{214, 7, 47, 14}));
}

TEST(DialogLayoutTest, WithoutAListNothingStretches) {
    const CDialogLayout layout({Item(7, 7, 100, 40, Role::Frame), Item(12, 20, 60, 12)});
    EXPECT_FALSE(layout.Stretches());
    EXPECT_EQ(layout.Place(50, 50)[1], (LayoutRect{12, 20, 60, 12}));
}

}  // namespace
