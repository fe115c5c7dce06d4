#include "manager/drive_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fakes/fake_platform.h"

namespace ndek {
namespace {

TEST(DriveTable, FillShowsHeadersLabelsAndTheDriveTypes) {
  testing::FakePlatform platform;
  platform.drive_kinds = {{"C:\\", DriveKind::kFixed},     {"D:\\", DriveKind::kCdRom},
                          {"A:\\", DriveKind::kRemovable}, {"N:\\", DriveKind::kRemote},
                          {"R:\\", DriveKind::kRamDisk},   {"U:\\", DriveKind::kUnknown}};
  DriveTable table;
  fill_drive_table(table, platform);

  EXPECT_EQ(table.cell(0, 0), "ドライブ");
  EXPECT_EQ(table.cell(0, 1), "状態");
  EXPECT_EQ(table.cell(0, 2), "割り当てフォルダ");
  EXPECT_EQ(table.cell(1, 0), "   A:");
  EXPECT_EQ(table.cell(26, 0), "   Z:");
  EXPECT_EQ(table.cell(1, 1), "ﾘﾑｰﾊﾟﾌﾞﾙ");
  EXPECT_EQ(table.cell(2, 1), "－");
  EXPECT_EQ(table.cell(3, 1), "固定ﾃﾞｨｽｸ");
  EXPECT_EQ(table.cell(4, 1), "CD-ROM");
  EXPECT_EQ(table.cell(14, 1), "ﾘﾓｰﾄ");
  EXPECT_EQ(table.cell(18, 1), "RAMDISK");
  EXPECT_EQ(table.cell(21, 1), "－");
  // Only the letters that have a drive are asked for their type.
  EXPECT_EQ(platform.drive_types_asked,
            (std::vector<std::string>{"A:\\", "C:\\", "D:\\", "N:\\", "R:\\", "U:\\"}));
  for (int row = 1; row < DriveTable::kRows; ++row) EXPECT_EQ(table.cell(row, 2), "") << row;
  EXPECT_EQ(table.row(), 0);
  EXPECT_EQ(table.col(), 2);
}

TEST(DriveTable, SelectionStaysOffTheFixedCellsAndExtendsFromItsAnchor) {
  DriveTable table;
  table.select(0, 0, false);  // a click on the fixed corner
  EXPECT_EQ(table.row(), 1);
  EXPECT_EQ(table.col(), 1);
  table.select(5, 2, false);
  table.select(30, 2, true);  // past the end: the last row
  EXPECT_EQ(table.row(), 26);
  EXPECT_EQ(table.anchor_row(), 5);
  EXPECT_EQ(table.anchor_col(), 2);
}

TEST(DriveTable, OutOfRangeCurrentCellIsIgnored) {
  DriveTable table;
  table.set_cell(4, 2);
  table.set_row(27);
  table.set_col(-1);
  EXPECT_EQ(table.row(), 4);
  EXPECT_EQ(table.col(), 2);
}

}  // namespace
}  // namespace ndek
