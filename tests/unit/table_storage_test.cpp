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
  // The records skipped would be lost at the next save: the notice says so.
  EXPECT_THAT(platform.calls, ElementsAre(HasSubstr("エラー№= 321\rC:\\Tools\\NDek.ini\r")));
}

TEST_F(TableStorage, EachKindOfRecordTheTableCannotShowBringsTheNotice) {
  std::string too_many;
  for (int i = 0; i <= 100; ++i) too_many += "\"X:\",\"x:\\\"\r\n";
  const std::pair<std::string, bool> cases[] = {
      {"\" d: \",\"d:\\x\"\r\n\"\",\"\"\r\n", true},  // blanks trimmed, an empty record
      {"\"Q:\",d:\\a\" /D \"\r\n", false},
      {"\"D:\",\"d:\\x\"\r\n\"d:\\\",\"d:\\x\"\r\n", false},
      {too_many, false},
  };
  for (const auto& [content, complete] : cases) {
    platform.calls.clear();
    fs.files[kIni] = content;
    EXPECT_EQ(ini_load(table, platform, io), complete) << content.substr(0, 40);
    EXPECT_EQ(platform.calls.size(), complete ? 0u : 1u) << content.substr(0, 40);
  }
  EXPECT_EQ(folders(), (Folders{{4, "d:\\x"}, {24, "x:\\"}}));
}

TEST_F(TableStorage, LoadFailureOtherThanAMissingFileIsReportedAtOnceAndKeepsWhatWasRead) {
  fill_drive_table(table, platform);
  EXPECT_TRUE(ini_load(table, platform, io));  // no file: nothing to say
  fs.files[kIni] = "\"G:\",\"g:\\kept\"\r\n\"H:\"\r\n";
  EXPECT_FALSE(ini_load(table, platform, io));
  EXPECT_EQ(folders(), (Folders{{7, "g:\\kept"}}));
  EXPECT_THAT(platform.calls, ElementsAre(HasSubstr("エラー№= 62\rC:\\Tools\\NDek.ini\r")));
}

}  // namespace
}  // namespace ndek
