#include "manager/grid_keys.h"

namespace ndek {

void move_current_cell(DriveTable& table, GridMove move, int page_rows, bool extend) {
  constexpr int kLastRow = DriveTable::kRows - 1;
  constexpr int kLastCol = DriveTable::kCols - 1;
  int row = table.row();
  int col = table.col();
  switch (move) {
    case GridMove::kUp:
      --row;
      break;
    case GridMove::kDown:
      ++row;
      break;
    case GridMove::kLeft:
      --col;
      break;
    case GridMove::kRight:
      ++col;
      break;
    case GridMove::kPageUp:
      row -= page_rows;
      break;
    case GridMove::kPageDown:
      row += page_rows;
      break;
    case GridMove::kRowStart:
      col = 1;
      break;
    case GridMove::kRowEnd:
      col = kLastCol;
      break;
    case GridMove::kFirstCell:
      row = 1;
      col = 1;
      break;
    case GridMove::kLastCell:
      row = kLastRow;
      col = kLastCol;
      break;
  }
  // select keeps the cell off the fixed row and column and inside the table.
  table.select(row, col, extend);
}

}  // namespace ndek
