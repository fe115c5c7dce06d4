#include "manager/drive_table.h"

#include <algorithm>

namespace ndek {

void DriveTable::set_row(int row) {
  if (row >= 0 && row < kRows) row_ = row;
  anchor_row_ = row_;
  anchor_col_ = col_;
}

void DriveTable::set_col(int col) {
  if (col >= 0 && col < kCols) col_ = col;
  anchor_row_ = row_;
  anchor_col_ = col_;
}

void DriveTable::select(int row, int col, bool extend) {
  const int anchor_row = anchor_row_;
  const int anchor_col = anchor_col_;
  set_cell(std::clamp(row, 1, kRows - 1), std::clamp(col, 1, kCols - 1));
  if (extend) {
    anchor_row_ = anchor_row;
    anchor_col_ = anchor_col;
  }
}

std::string drive_name(int row) { return std::string(1, row_letter(row)) + ":"; }

std::string drive_label(int row) { return "   " + drive_name(row); }

std::string row_text(const DriveTable& table, int row) {
  std::string text;
  for (int col = 0; col < DriveTable::kCols; ++col) {
    if (col > 0) text += "  ";
    text += table.cell(row, col);
  }
  return text;
}

std::string_view drive_kind_text(DriveKind kind) {
  switch (kind) {
    case DriveKind::kRemovable:
      return "ﾘﾑｰﾊﾟﾌﾞﾙ";
    case DriveKind::kFixed:
      return "固定ﾃﾞｨｽｸ";
    case DriveKind::kRemote:
      return "ﾘﾓｰﾄ";
    case DriveKind::kCdRom:
      return "CD-ROM";
    case DriveKind::kRamDisk:
      return "RAMDISK";
    case DriveKind::kUnknown:
    case DriveKind::kNoRoot:
      break;
  }
  return "－";
}

void fill_drive_table(DriveTable& table, PlatformServices& platform) {
  table.set_cell(0, 0);
  table.set_text("ドライブ");
  // One question for all 26 letters, then the type only of those that have a drive: asking
  // the type of a letter without one takes as long as asking for a drive that is there.
  const std::uint32_t drives = platform.LogicalDrives();
  for (int row = 1; row < DriveTable::kRows; ++row) {
    table.set_cell(row, 0);
    table.set_text(drive_label(row));
    const bool has_drive = (drives >> (row - 1) & 1) != 0;
    const DriveKind kind = has_drive ? platform.DriveType(std::string(1, row_letter(row)) + ":\\")
                                     : DriveKind::kNoRoot;
    table.set_col(1);
    table.set_text(std::string(drive_kind_text(kind)));
  }
  table.set_col(0);
  table.set_col_width(700);
  table.set_cell(0, 1);
  table.set_text("状態");
  table.set_col_width(1000);
  table.set_cell(0, 2);
  table.set_text("割り当てフォルダ");
  table.set_col_width(5040);
}

}  // namespace ndek
