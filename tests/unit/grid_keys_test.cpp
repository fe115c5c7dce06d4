#include "manager/grid_keys.h"

#include <gtest/gtest.h>

#include <array>

namespace ndek {
namespace {

// The current cell, then the selection's anchor.
std::array<int, 4> cells(const DriveTable& table) {
  return {table.row(), table.col(), table.anchor_row(), table.anchor_col()};
}

TEST(GridKeys, MovesStayInsideTheMovableCells) {
  struct Case {
    int row, col;
    GridMove move;
    int want_row, want_col;
  };
  const Case cases[] = {
      {0, 2, GridMove::kDown, 1, 2},  // from the header after load
      {1, 1, GridMove::kUp, 1, 1},         {26, 2, GridMove::kDown, 26, 2},
      {5, 1, GridMove::kLeft, 5, 1},       {5, 2, GridMove::kRight, 5, 2},
      {20, 1, GridMove::kPageDown, 26, 1}, {10, 2, GridMove::kPageUp, 1, 2},
      {7, 2, GridMove::kFirstCell, 1, 1},  {7, 1, GridMove::kLastCell, 26, 2},
  };
  for (const Case& c : cases) {
    DriveTable table;
    table.set_cell(c.row, c.col);
    move_current_cell(table, c.move, 17, false);
    const std::array want = {c.want_row, c.want_col, c.want_row, c.want_col};
    EXPECT_EQ(cells(table), want) << c.row << "," << c.col << " " << static_cast<int>(c.move);
  }
}

TEST(GridKeys, ShiftGrowsTheSelectionFromItsAnchor) {
  DriveTable table;
  table.select(4, 1, false);
  move_current_cell(table, GridMove::kDown, 17, true);
  move_current_cell(table, GridMove::kRight, 17, true);
  EXPECT_EQ(cells(table), (std::array{5, 2, 4, 1}));
}

TEST(GridSelection, SettingTheCurrentCellCollapsesTheSelection) {
  // The load and the dialog move the current cell; a stale range must not stay highlighted.
  DriveTable table;
  table.select(3, 1, false);
  table.select(9, 2, true);
  table.set_row(12);
  EXPECT_EQ(cells(table), (std::array{12, 2, 12, 2}));
}

TEST(GridSelection, RowTextJoinsTheCellsForScreenReaders) {
  DriveTable table;
  table.set_cell(4, 0);
  table.set_text("   D:");
  table.set_col(1);
  table.set_text("固定ﾃﾞｨｽｸ");
  table.set_col(2);
  table.set_text("d:\\work");
  EXPECT_EQ(row_text(table, 4), "   D:  固定ﾃﾞｨｽｸ  d:\\work");
  EXPECT_EQ(row_text(table, 5), "    ");  // empty cells keep their places
}

}  // namespace
}  // namespace ndek
