#include "manager/grid_keys.h"

#include <gtest/gtest.h>

#include <array>

namespace ndek {
namespace {

// Clamping to the movable cells is the table's own (drive_table_test).
TEST(GridKeys, EachKeyMovesTheCurrentCellAndShiftGrowsTheSelection) {
  const struct {
    GridMove move;
    int want_row, want_col;
  } cases[] = {
      {GridMove::kUp, 9, 1},        {GridMove::kDown, 11, 1},     {GridMove::kRight, 10, 2},
      {GridMove::kPageUp, 5, 1},    {GridMove::kPageDown, 15, 1}, {GridMove::kRowEnd, 10, 2},
      {GridMove::kFirstCell, 1, 1}, {GridMove::kLastCell, 26, 2},
  };
  for (const auto& c : cases) {
    DriveTable table;
    table.set_cell(10, 1);
    move_current_cell(table, c.move, 5, false);
    EXPECT_EQ((std::array{table.row(), table.col(), table.anchor_row(), table.anchor_col()}),
              (std::array{c.want_row, c.want_col, c.want_row, c.want_col}))
        << static_cast<int>(c.move);
  }
  DriveTable table;
  table.set_cell(10, 2);
  move_current_cell(table, GridMove::kLeft, 5, true);
  move_current_cell(table, GridMove::kRowEnd, 5, true);
  move_current_cell(table, GridMove::kRowStart, 5, true);
  move_current_cell(table, GridMove::kUp, 5, true);
  EXPECT_EQ((std::array{table.row(), table.col(), table.anchor_row(), table.anchor_col()}),
            (std::array{9, 1, 10, 2}));
}

}  // namespace
}  // namespace ndek
