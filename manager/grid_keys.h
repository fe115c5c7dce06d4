#pragma once
// How the keyboard moves the drive grid's current cell.
#include "manager/drive_table.h"

namespace ndek {

enum class GridMove {
  kUp,
  kDown,
  kLeft,
  kRight,
  kPageUp,
  kPageDown,
  kRowStart,   // Home
  kRowEnd,     // End
  kFirstCell,  // Ctrl+Home
  kLastCell,   // Ctrl+End
};

// Moves the current cell, never onto the fixed row or column; with `extend` (Shift) the
// selection grows from its anchor.
void move_current_cell(DriveTable& table, GridMove move, int page_rows, bool extend);

}  // namespace ndek
