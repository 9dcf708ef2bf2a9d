// Rows as the clipboard carries them: tabs between cells, a line each, and
// cells that hold a tab or a line break kept in their column.
#include <gtest/gtest.h>

#include "ui/framework/qt/TableText.h"

namespace {

TEST(TableText, RowsBecomeTabSeparatedLinesAndCellsKeepTheirColumns) {
    EXPECT_EQ(TabSeparatedRows({{"点名", "x"}, {"G01", "3525499.781"}, {"", ""}}),
              "点名\tx\nG01\t3525499.781\n\t\n");
    EXPECT_EQ(TabSeparatedRows({{"a\tb", "c\r\nd", "e"}}), "a b\tc  d\te\n");
    EXPECT_EQ(TabSeparatedRows({}), "");
}

}  // namespace
