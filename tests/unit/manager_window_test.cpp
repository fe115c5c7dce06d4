#include "manager/manager_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/fakes/cp932_code_page.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_views.h"

namespace ndek {
namespace {

using ::testing::ElementsAre;

constexpr const char* kIni = "C:\\Tools\\NDek.ini";
const std::string kRestart = "message[0|再起動確認] 仮想ドライブの設定は次回Windows起動時より有効です。";

class Manager : public ::testing::Test {
 protected:
  void set_folder(int row, std::string folder) {
    manager.table().set_cell(row, 2);
    manager.table().set_text(std::move(folder));
  }

  testing::FakePlatform platform;
  testing::FakeFileSystem fs;
  testing::Cp932CodePage cp932;
  SettingsIo io{fs, cp932};
  testing::FakeManagerView view{platform};
  ManagerWindow manager{platform, io, view};
};

TEST_F(Manager, LoadFillsTheTableAndTheFoldersFromTheFile) {
  fs.files[kIni] = "\"D:\",\"E:\\Tools\"\r\n";
  platform.drive_kinds["C:\\"] = DriveKind::kFixed;
  manager.load();
  EXPECT_EQ(manager.table().cell(3, 1), "固定ﾃﾞｨｽｸ");
  EXPECT_EQ(manager.table().cell(4, 2), "e:\\tools");
  EXPECT_GE(view.refreshes, 1);
}

TEST_F(Manager, FinishMapsEachFolderSavesNotifiesAndEnds) {
  manager.load();
  set_folder(3, "c:\\a");
  set_folder(5, "d:\\my docs");
  set_folder(26, "\\\\srv\\pub");
  set_folder(24, "d:\\");
  manager.finish();
  EXPECT_THAT(platform.calls,
              ElementsAre("run[0] subst C: \"c:\\a\"", "run[0] subst E: \"d:\\my docs\"",
                          "run[0] subst X: \"d:\\\\\"",
                          "run[0] net use Z: \"\\\\srv\\pub\" /persistent:no", kRestart, "end"));
  EXPECT_EQ(fs.files[kIni],
            "\"C:\",\"c:\\a\"\r\n\"E:\",\"d:\\my docs\"\r\n\"X:\",\"d:\\\"\r\n"
            "\"Z:\",\"\\\\srv\\pub\"\r\n");
}

TEST_F(Manager, FinishReportsACommandThatCannotStartAndStillSaves) {
  manager.load();
  set_folder(3, "c:\\a");
  set_folder(4, "d:\\b");
  platform.run_failures["subst C: \"c:\\a\""] = kErrFileNotFound;
  manager.finish();
  EXPECT_THAT(platform.calls,
              ElementsAre("run[0] subst C: \"c:\\a\"",
                          "message[48|エラー] 次のコマンドを起動できませんでした。\r"
                          "subst C: \"c:\\a\"\rエラー№= 53",
                          "run[0] subst D: \"d:\\b\"", kRestart, "end"));
  EXPECT_EQ(fs.files[kIni], "\"C:\",\"c:\\a\"\r\n\"D:\",\"d:\\b\"\r\n");
}

TEST_F(Manager, FinishWithASaveFailureStopsAfterTheMessage) {
  fs.files[kIni] = "";
  fs.failures["replace"] = kErrPermissionDenied;
  manager.load();
  set_folder(3, "c:\\a");
  manager.finish();
  EXPECT_THAT(platform.calls,
              ElementsAre("run[0] subst C: \"c:\\a\"",
                          "message[48|エラー] 設定データの記録ができませんでした。\rエラー№= 70\r"
                          "App.Path=C:\\Tools",
                          "end"));
  EXPECT_EQ(fs.files[kIni], "");
}

TEST_F(Manager, FinishKeepsASettingsFileThatCouldNotBeReadWhole) {
  const std::string damaged = "\"D:\",\"d:\\x\"\r\n\"E:\",\"\x81\"\r\n\"F:\",\"f:\\unread\"\r\n";
  fs.files[kIni] = damaged;
  manager.load();
  manager.finish();
  EXPECT_EQ(fs.files[kIni], "\"D:\",\"d:\\x\"\r\n");
  EXPECT_EQ(fs.files["C:\\Tools\\NDek.ini.bak"], damaged);
}

TEST_F(Manager, DeleteClearsOnlyADriveRowsFolder) {
  manager.load();  // current cell (0, 2): the header
  manager.delete_drive();
  EXPECT_EQ(manager.table().cell(0, 2), "割り当てフォルダ");

  set_folder(4, "d:\\x");
  manager.table().set_cell(4, 0);
  manager.delete_drive();
  EXPECT_EQ(manager.table().cell(4, 2), "");

  manager.table().set_cell(9, 1);
  manager.delete_drive();  // nothing there
  EXPECT_EQ(manager.table().cell(9, 2), "");
  EXPECT_EQ(manager.table().cell(9, 1), "－");
  EXPECT_TRUE(platform.calls.empty());
}

TEST_F(Manager, CancelEndsWithoutSaving) {
  fs.files[kIni] = "\"C:\",\"c:\\a\"\r\n";
  manager.load();
  set_folder(5, "e:\\new");
  manager.cancel();
  EXPECT_THAT(platform.calls, ElementsAre("end"));
  EXPECT_EQ(fs.files[kIni], "\"C:\",\"c:\\a\"\r\n");
}

TEST_F(Manager, AssignDisablesTheMainWindowAndOpensTheDialog) {
  manager.assign();
  EXPECT_THAT(platform.calls, ElementsAre("main disabled", "dialog shown"));
  EXPECT_FALSE(view.enabled);
}

TEST_F(Manager, HelpOpensTheHelpFileOrSaysWhyNotAndStaysOpen) {
  manager.help();
  platform.help_result = kErrFileNotFound;
  manager.help();
  EXPECT_THAT(platform.calls,
              ElementsAre("help[15] C:\\Tools\\NDek.hlp", "help[15] C:\\Tools\\NDek.hlp",
                          "message[48|エラー] ヘルプファイルを開けませんでした。\rエラー№= 53\r"
                          "C:\\Tools\\NDek.hlp"));
  EXPECT_FALSE(platform.ended);
}

}  // namespace
}  // namespace ndek
