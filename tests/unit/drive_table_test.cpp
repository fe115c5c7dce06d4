#include "manager/drive_table.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "tests/fakes/fake_platform.h"

namespace ndek {
namespace {

TEST(DriveTable, FillAsksOnlyLettersWithADriveForTheirType) {
  testing::FakePlatform platform;
  platform.drive_kinds = {{"C:\\", DriveKind::kFixed}, {"U:\\", DriveKind::kUnknown}};
  DriveTable table;
  fill_drive_table(table, platform);
  EXPECT_EQ(table.cell(3, 1) + table.cell(4, 1) + table.cell(21, 1), "固定ﾃﾞｨｽｸ－－");
  EXPECT_EQ(platform.drive_types_asked, (std::vector<std::string>{"C:\\", "U:\\"}));
  EXPECT_EQ(std::pair(table.row(), table.col()), std::pair(0, 2));
}

// The current cell, then the selection's anchor.
std::array<int, 4> cells(const DriveTable& table) {
  return {table.row(), table.col(), table.anchor_row(), table.anchor_col()};
}

TEST(DriveTable, SelectionStaysOffTheFixedCellsAndOutOfRangeMovesAreIgnored) {
  DriveTable table;
  table.select(0, 0, false);  // a click on the fixed corner
  EXPECT_EQ(cells(table), (std::array{1, 1, 1, 1}));
  table.select(5, 2, false);
  table.select(30, 2, true);  // past the end: the last row, the anchor stays
  EXPECT_EQ(cells(table), (std::array{26, 2, 5, 2}));
  // Moving the current cell, even by an ignored move, leaves no stale range highlighted.
  table.set_row(27);
  table.set_col(-1);
  EXPECT_EQ(cells(table), (std::array{26, 2, 26, 2}));
}

TEST(DriveTable, RowTextJoinsTheCellsForScreenReadersAndKeepsEmptyCellsPlaces) {
  DriveTable table;
  for (int col = 0; col < DriveTable::kCols; ++col) {
    table.set_cell(4, col);
    table.set_text(col == 1 ? "" : "x");
  }
  EXPECT_EQ(row_text(table, 4), "x    x");
}

}  // namespace
}  // namespace ndek
