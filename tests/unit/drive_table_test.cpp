#include "manager/drive_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fakes/fake_platform.h"

namespace ndek {
namespace {

TEST(DriveTable, FillAsksOnlyLettersWithADriveForTheirType) {
  testing::FakePlatform platform;
  platform.drive_kinds = {{"C:\\", DriveKind::kFixed},     {"D:\\", DriveKind::kCdRom},
                          {"A:\\", DriveKind::kRemovable}, {"N:\\", DriveKind::kRemote},
                          {"R:\\", DriveKind::kRamDisk},   {"U:\\", DriveKind::kUnknown}};
  DriveTable table;
  fill_drive_table(table, platform);
  std::string kinds;
  for (int row = 1; row < DriveTable::kRows; ++row) kinds += table.cell(row, 1) + "|";
  EXPECT_EQ(kinds,
            "ﾘﾑｰﾊﾟﾌﾞﾙ|－|固定ﾃﾞｨｽｸ|CD-ROM|－|－|－|－|－|－|－|－|－|ﾘﾓｰﾄ|－|－|－|RAMDISK|－|－|"
            "－|－|－|－|－|－|");
  // Only the letters that have a drive are asked for their type.
  EXPECT_EQ(platform.drive_types_asked,
            (std::vector<std::string>{"A:\\", "C:\\", "D:\\", "N:\\", "R:\\", "U:\\"}));
  EXPECT_EQ(std::pair(table.row(), table.col()), std::pair(0, 2));
}

TEST(DriveTable, SelectionStaysOffTheFixedCellsAndOutOfRangeMovesAreIgnored) {
  DriveTable table;
  table.select(0, 0, false);  // a click on the fixed corner
  EXPECT_EQ(std::pair(table.row(), table.col()), std::pair(1, 1));
  table.select(5, 2, false);
  table.select(30, 2, true);  // past the end: the last row
  EXPECT_EQ(std::pair(table.row(), table.anchor_row()), std::pair(26, 5));
  table.set_row(27);
  table.set_col(-1);
  EXPECT_EQ(std::pair(table.row(), table.col()), std::pair(26, 2));
}

}  // namespace
}  // namespace ndek
