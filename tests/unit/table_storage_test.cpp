#include "manager/table_storage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/fakes/cp932_code_page.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_platform.h"

namespace ndek {
namespace {

using ::testing::ElementsAre;

constexpr const char* kIni = "C:\\Tools\\NDek.ini";

class TableStorage : public ::testing::Test {
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

  testing::FakePlatform platform;
  testing::FakeFileSystem fs;
  testing::Cp932CodePage cp932;
  SettingsIo io{fs, cp932};
  DriveTable table;
};

using Folders = std::vector<std::pair<int, std::string>>;

TEST_F(TableStorage, LoadAcceptsLetterColonOrRootAndLowerCasesTheFolder) {
  load("\"c:\",\"D:\\Work\"\r\n\"C:\\\",\"E:\\Other\"\r\n\"x:\",\"\\\\SRV\\Pub\"\r\n");
  EXPECT_EQ(folders(), (Folders{{3, "e:\\other"}, {24, "\\\\srv\\pub"}}));
  EXPECT_EQ(table.row(), 24);  // the last record accepted
  EXPECT_EQ(table.col(), 2);
  EXPECT_TRUE(platform.calls.empty());
}

TEST_F(TableStorage, LoadSkipsDriveFieldsThatAreNotALetter) {
  load("\"1:\",\"d:\\x\"\r\n\"AB\",\"d:\\x\"\r\n\"C:\\data\",\"d:\\x\"\r\n\"\",\"d:\\x\"\r\n"
       "\"[:\",\"d:\\x\"\r\n\"@:\",\"d:\\x\"\r\n\"ｃ:\",\"d:\\x\"\r\n5,d:\\x\r\n");
  EXPECT_TRUE(folders().empty());
  EXPECT_EQ(table.row(), 0);
  EXPECT_EQ(table.col(), 2);
}

TEST_F(TableStorage, MissingFileLoadsNothingInSilence) {
  fill_drive_table(table, platform);
  EXPECT_TRUE(ini_load(table, platform, io));
  EXPECT_TRUE(folders().empty());
  EXPECT_TRUE(platform.calls.empty());
}

TEST_F(TableStorage, LoadFailureIsReportedAtOnceAndKeepsWhatWasRead) {
  fs.files[kIni] = "\"G:\",\"g:\\kept\"\r\n\"H:\"\r\n";
  fill_drive_table(table, platform);
  EXPECT_FALSE(ini_load(table, platform, io));
  EXPECT_EQ(folders(), (Folders{{7, "g:\\kept"}}));
  EXPECT_THAT(platform.calls,
              ElementsAre("message[48|エラー] 設定データを最後まで読み込めませんでした。\r"
                          "エラー№= 62\rC:\\Tools\\NDek.ini\r"
                          "読み込めた設定だけを表示しています。\r"
                          "設定終了時には元のファイルをNDek.ini.bakとして残します。"));
}

TEST_F(TableStorage, SaveWritesRowsWithAFolderInLetterOrder) {
  fill_drive_table(table, platform);
  table.set_cell(6, 2);
  table.set_text("f:\\b");
  table.set_cell(3, 2);
  table.set_text("c:\\a");
  ASSERT_TRUE(ini_save(table, platform, io));
  EXPECT_EQ(fs.files[kIni], "\"C:\",\"c:\\a\"\r\n\"F:\",\"f:\\b\"\r\n");
  EXPECT_EQ(table.row(), 26);
  EXPECT_EQ(table.col(), 2);
  EXPECT_TRUE(platform.calls.empty());
}

TEST_F(TableStorage, SaveFailureIsShownWithItsNumberAndEndsTheProgram) {
  fs.files[kIni] = "old";
  fs.read_only.insert(kIni);
  fill_drive_table(table, platform);
  table.set_cell(7, 2);
  table.set_text("g:\\x");
  EXPECT_FALSE(ini_save(table, platform, io));
  EXPECT_THAT(platform.calls,
              ElementsAre("message[48|エラー] 設定データの記録ができませんでした。\rエラー№= 75\r"
                          "App.Path=C:\\Tools",
                          "end"));
  EXPECT_EQ(fs.files[kIni], "old");
}

}  // namespace
}  // namespace ndek
