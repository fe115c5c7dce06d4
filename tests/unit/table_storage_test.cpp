#include "manager/table_storage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/fakes/fake_system.h"

namespace ndek {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr const char* kIni = "C:\\Tools\\NDek.ini";

class TableStorage : public ::testing::Test, protected testing::FakeSystem {
 protected:
  void load(std::string content) {
    fs.files[kIni] = std::move(content);
    fill_drive_table(table, platform);
    ini_load(table, platform, io);
  }
  std::vector<std::pair<int, std::string>> folders() const {
    std::vector<std::pair<int, std::string>> out;
    for (int row = 1; row < DriveTable::kRows; ++row) {
      if (!table.cell(row, 2).empty()) out.emplace_back(row, table.cell(row, 2));
    }
    return out;
  }

  DriveTable table;
};

using Folders = std::vector<std::pair<int, std::string>>;

TEST_F(TableStorage, LoadTakesLetterColonOrRootSkipsOtherDriveFieldsAndLowerCasesTheFolder) {
  load(
      "\"c:\",\"D:\\Work\"\r\n\"C:\\\",\"E:\\Other\"\r\n\"x:\",\"\\\\SRV\\Pub\"\r\n"
      "\"1:\",\"d:\\x\"\r\n\"AB\",\"d:\\x\"\r\n\"C:\\data\",\"d:\\x\"\r\n\"\",\"d:\\x\"\r\n"
      "\"[:\",\"d:\\x\"\r\n\"@:\",\"d:\\x\"\r\n\"ｃ:\",\"d:\\x\"\r\n5,d:\\x\r\n");
  EXPECT_EQ(folders(), (Folders{{3, "e:\\other"}, {24, "\\\\srv\\pub"}}));
  EXPECT_TRUE(platform.calls.empty());
}

TEST_F(TableStorage, LoadFailureOtherThanAMissingFileIsReportedAtOnceAndKeepsWhatWasRead) {
  fill_drive_table(table, platform);
  EXPECT_TRUE(ini_load(table, platform, io));  // no file: nothing to say
  EXPECT_TRUE(platform.calls.empty());
  fs.files[kIni] = "\"G:\",\"g:\\kept\"\r\n\"H:\"\r\n";
  EXPECT_FALSE(ini_load(table, platform, io));
  EXPECT_EQ(folders(), (Folders{{7, "g:\\kept"}}));
  EXPECT_THAT(platform.calls, ElementsAre(HasSubstr("エラー№= 62\rC:\\Tools\\NDek.ini\r")));
}

}  // namespace
}  // namespace ndek
