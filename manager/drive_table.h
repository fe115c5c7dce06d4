#pragma once
// The manager's working state: one row per drive letter under a header row. The user and the
// dialog work through one current cell; saving and finish read the rows directly.
#include <array>
#include <string>
#include <string_view>

#include "platform/platform_services.h"

namespace ndek {

class DriveTable {
 public:
  static constexpr int kRows = 27;  // header + A..Z
  static constexpr int kCols = 3;   // label, type, folder
  static constexpr int kFolderCol = 2;

  int row() const { return row_; }
  int col() const { return col_; }
  // Out-of-range positions are ignored, as a grid ignores them. Moving the current cell
  // makes it the whole selection, as in a grid.
  void set_row(int row);
  void set_col(int col);
  void set_cell(int row, int col) {
    set_row(row);
    set_col(col);
  }
  const std::string& text() const { return cells_[row_][col_]; }
  void set_text(std::string text) { cells_[row_][col_] = std::move(text); }
  const std::string& cell(int row, int col) const { return cells_[row][col]; }
  // A drive row's folder, read or written without moving the user's current cell.
  const std::string& folder(int row) const { return cells_[row][kFolderCol]; }
  void set_folder(int row, std::string folder) { cells_[row][kFolderCol] = std::move(folder); }

  int col_width(int col) const { return widths_[col]; }  // twips
  void set_col_width(int width) { widths_[col_] = width; }

  // The far corner of the user's selection; the current cell is the other corner.
  int anchor_row() const { return anchor_row_; }
  int anchor_col() const { return anchor_col_; }
  // What a click or an arrow key does: the cell becomes current; with `extend` the
  // selection grows from its anchor, otherwise it is that cell alone. Fixed cells cannot
  // be selected, so a click on them picks the nearest movable cell.
  void select(int row, int col, bool extend);

 private:
  std::array<std::array<std::string, kCols>, kRows> cells_{};
  std::array<int, kCols> widths_{};
  int row_ = 0;
  int col_ = 0;
  int anchor_row_ = 0;
  int anchor_col_ = 0;
};

// Row r belongs to letter 'A' + r - 1.
constexpr char row_letter(int row) { return static_cast<char>('A' + row - 1); }
constexpr int letter_row(char letter) { return letter - 'A' + 1; }

// "A:": the row's letter and a colon, as commands and the settings file name a drive.
std::string drive_name(int row);
// "   A:": three blanks, then the drive's name.
std::string drive_label(int row);
std::string_view drive_kind_text(DriveKind kind);

// The row's cells joined by two blanks, as a screen reader reads the row.
std::string row_text(const DriveTable& table, int row);

// Headers, labels, the drive types as they are now, and column widths; leaves (0, 2) current.
void fill_drive_table(DriveTable& table, PlatformServices& platform);

}  // namespace ndek
