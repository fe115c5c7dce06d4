#include "manager/drive_manager.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "drives/command_outcome.h"
#include "tests/fakes/fake_system.h"
#include "tests/fakes/fake_views.h"

namespace ndek {
namespace {

using ::testing::ElementsAre;
using testing::net_use;
using testing::set_folders;
using testing::subst;

constexpr const char* kIni = "C:\\Tools\\NDek.ini";
const std::string kRestart =
    "message[0|再起動確認] 仮想ドライブの設定は次回Windows起動時より有効です。";
const std::string kFailures = "message[48|エラー] 次の仮想ドライブを設定できませんでした。\r\r";

// What a finish that gets to save does: `commands` under the lock, then the failure list
// (none when `report` is empty), the notice and the end.
std::vector<std::string> finish_calls(std::vector<std::string> commands, std::string report = {}) {
  commands.insert(commands.begin(), {"busy", "lock"});
  commands.insert(commands.end(), {"unlock", "not busy"});
  if (!report.empty()) commands.push_back(kFailures + report);
  commands.insert(commands.end(), {kRestart, "end"});
  return commands;
}

class Manager : public ::testing::Test, protected testing::FakeSystem {
 protected:
  testing::FakeManagerView view{platform};
  DriveManager manager{platform, io, view};
};

TEST_F(Manager, FinishMapsEachFolderSavesInLetterOrderNotifiesAndEnds) {
  manager.load();
  set_folders(manager, {{3, "c:\\a"}, {5, "d:\\my docs"}, {26, "\\\\srv\\pub"}, {24, "d:\\"}});
  manager.finish();
  EXPECT_EQ(platform.calls,
            finish_calls({subst("C: \"c:\\a\""), subst("E: \"d:\\my docs\""),
                          subst("X: \"d:\\\\\""), net_use("Z: \"\\\\srv\\pub\" /persistent:no")}));
  EXPECT_EQ(fs.files[kIni],
            "\"C:\",\"c:\\a\"\r\n\"E:\",\"d:\\my docs\"\r\n\"X:\",\"d:\\\"\r\n"
            "\"Z:\",\"\\\\srv\\pub\"\r\n");
  EXPECT_EQ(std::pair(manager.table().row(), manager.table().col()), std::pair(26, 2));
}

TEST_F(Manager, FinishUnmapsWhatNDekMappedAndWaitsForItBeforeMappingAgain) {
  fs.files[kIni] = "\"X:\",\"d:\\old\"\r\n\"Y:\",\"\\\\srv\\old\"\r\n";
  platform.mappings["X:"] = {DriveMapping::Kind::kFolder, "D:\\Old"};
  platform.mappings["Y:"] = {DriveMapping::Kind::kNetwork, "\\\\srv\\old"};
  platform.outcomes["subst X: /D"] = {{0, 300}};
  manager.load();
  set_folders(manager, {{24, "d:\\new"}, {25, ""}});
  manager.finish();
  EXPECT_EQ(platform.calls,
            finish_calls({subst("X: /D"), subst("X: \"d:\\new\""), net_use("Y: /delete")}));
  EXPECT_THAT(platform.start_times["subst X: \"d:\\new\""], ElementsAre(300));
}

TEST_F(Manager, FinishListsWhatFailedInOneMessageAndStillSaves) {
  fs.files[kIni] = "\"X:\",\"d:\\old\"\r\n";
  platform.mappings["X:"] = {DriveMapping::Kind::kFolder, "d:\\old"};
  platform.outcomes["subst X: /D"] = {{1, 0}};
  platform.run_failures["subst C: \"c:\\a\""] = kErrFileNotFound;
  platform.outcomes["subst D: \"d:\\b\""] = {{0, testing::FakePlatform::kForever}};
  manager.load();
  set_folders(manager, {{3, "c:\\a"}, {4, "d:\\b"}, {17, "d:\\a\" /D \""}, {24, "d:\\new"}});
  manager.finish();
  EXPECT_EQ(platform.calls,
            finish_calls({subst("C: \"c:\\a\""), subst("D: \"d:\\b\""), subst("X: /D")},
                         "C: ← c:\\a（コマンドを起動できませんでした　エラー№= 53）\r"
                         "D: ← d:\\b（応答がありません）\r"
                         "Q: ← d:\\a\" /D \"（フォルダ名をこのままでは使えません）\r"
                         "X: の割り当ての解除（終了コード= 1）\r"));
  EXPECT_EQ(platform.now_ms, 5000);  // the command that never ends was waited for 5 s
  // A folder with a quote would not read back as it is, so it stays out of the file.
  EXPECT_EQ(fs.files[kIni], "\"C:\",\"c:\\a\"\r\n\"D:\",\"d:\\b\"\r\n\"X:\",\"d:\\new\"\r\n");
}

TEST_F(Manager, AFailedSaveIsReportedAndKeepsTheEditsForAnotherFinishOrCancel) {
  fs.files[kIni] = "";
  fs.failures = {{"replace", {kErrPermissionDenied}}};  // held open for good
  manager.load();
  set_folders(manager, {{3, "c:\\a"}});
  manager.finish();
  EXPECT_THAT(platform.calls,
              ElementsAre("busy", "lock", subst("C: \"c:\\a\""),
                          "message[48|エラー] 設定データの記録ができませんでした。\r"
                          "エラー№= 70\rApp.Path=C:\\Tools",
                          "unlock", "not busy"));
  EXPECT_GE(platform.now_ms, 4500);  // the waits went through the platform, which pumps
  EXPECT_EQ(manager.table().cell(3, 2), "c:\\a");

  fs.failures.clear();
  manager.finish();
  EXPECT_EQ(fs.files[kIni], "\"C:\",\"c:\\a\"\r\n");
  EXPECT_TRUE(platform.ended);
}

TEST_F(Manager, FinishAsksForCredentialsStoresThemAndTriesOnceMoreTakingBackWhatDidNotHelp) {
  const std::string refused =
      "\r\nシステム エラー 1326 "
      "が発生しました。\r\n\r\nユーザー名またはパスワードが正しくありません。";
  const std::string map = net_use("Z: \"\\\\nas.local\\pub\" /persistent:no");
  const std::string ask = "ask credentials[nas.local]", store = "store credentials[nas.local] A\\b";
  const std::string listed = failure_line("Z: ← \\\\nas.local\\pub", outcome_of_exit(2, refused));
  const struct {
    std::optional<std::string> typed;  // nothing: cancel
    ErrorNumber store_result;
    std::uint32_t retry_exit;
    std::vector<std::string> after_refusal;
    std::string report;  // the failure list, "" for none
  } cases[] = {
      {"A\\b", kOk, 0, {ask, store, map}, ""},
      {"A\\b", kOk, 2, {ask, store, map, "take back credentials[nas.local]"}, listed + "\r"},
      {std::nullopt, kOk, 0, {ask}, listed + "\r"},
      {"A\\b",
       1312,
       0,
       {ask, store},
       "Z: ← \\\\nas.local\\pub（資格情報を保存できませんでした　エラー№= 1312）\r"},
  };
  for (const auto& c : cases) {
    testing::FakeSystem system;
    testing::FakeManagerView view_of_case{system.platform};
    DriveManager manager_of_case{system.platform, system.io, view_of_case};
    system.platform.outcomes[map.substr(map.find("net use"))] = {{2, 0, refused},
                                                                 {c.retry_exit, 0, refused}};
    system.platform.credential_answers = {c.typed};
    system.platform.credential_store_result = c.store_result;
    manager_of_case.load();
    set_folders(manager_of_case, {{26, "\\\\nas.local\\pub"}});
    manager_of_case.finish();
    std::vector<std::string> commands = {map};
    commands.insert(commands.end(), c.after_refusal.begin(), c.after_refusal.end());
    EXPECT_EQ(system.platform.calls, finish_calls(commands, c.report))
        << c.typed.value_or("cancel") << c.retry_exit;
  }
}

TEST_F(Manager, FinishKeepsASettingsFileThatCouldNotBeReadWhole) {
  const std::string damaged = "\"D:\",\"d:\\x\"\r\n\"E:\",\"\x81\"\r\n\"F:\",\"f:\\unread\"\r\n";
  fs.files[kIni] = damaged;
  manager.load();
  manager.finish();
  EXPECT_EQ(fs.files[kIni], "\"D:\",\"d:\\x\"\r\n");
  EXPECT_EQ(fs.files["C:\\Tools\\NDek.ini.bak"], damaged);
}

TEST_F(Manager, LoadSaysOnceThatTheShellWouldNotSeeTheDrivesOfAnElevatedManager) {
  platform.shell_sees_our_drives = false;
  manager.load();
  EXPECT_THAT(platform.calls,
              ElementsAre("message[48|エラー] 管理者として実行されているため、ここで設定した"
                          "仮想ドライブはエクスプローラーなどからは見えません。\r"
                          "管理者としてではなく、通常どおり起動し直してください。"));
}

TEST_F(Manager, DeleteClearsOnlyADriveRowsFolderAndCancelEndsWithoutSaving) {
  manager.load();  // current cell (0, 2): the header
  manager.delete_drive();
  EXPECT_EQ(manager.table().cell(0, 2), "割り当てフォルダ");
  EXPECT_EQ(view.refreshes, 1);  // the load's

  set_folders(manager, {{4, "d:\\x"}});
  manager.table().set_cell(4, 1);
  manager.delete_drive();
  EXPECT_EQ(manager.table().cell(4, 2), "");
  EXPECT_EQ(manager.table().cell(4, 1), "－");
  EXPECT_EQ(view.refreshes, 2);

  manager.cancel();
  EXPECT_THAT(platform.calls, ElementsAre("end"));
  EXPECT_TRUE(fs.files.empty());
}

TEST_F(Manager, HelpShowsTheHelpFileWithCrLfBreaksOrSaysWhyNotAndStaysOpen) {
  const std::string failed = "message[48|エラー] ヘルプファイルを開けませんでした。\rエラー№=";
  fs.files["C:\\Tools\\NDek.hlp"] = "a\nb\rc\r\n";
  manager.help();
  view.help_result = kErrDiskFull;  // the window could not be shown
  manager.help();
  fs.files.clear();
  manager.help();
  EXPECT_THAT(platform.calls, ElementsAre("help a\r\nb\r\nc\r\n", "help a\r\nb\r\nc\r\n",
                                          failed + " 61\rC:\\Tools\\NDek.hlp",
                                          failed + " 53\rC:\\Tools\\NDek.hlp"));
  EXPECT_FALSE(platform.ended);
}

}  // namespace
}  // namespace ndek
