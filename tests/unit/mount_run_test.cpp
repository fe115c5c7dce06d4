#include "mounter/mount_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/fakes/cp932_code_page.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_platform.h"

namespace ndek {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kIni = "C:\\Tools\\NDek.ini";
const std::string kNotSetUp =
    "message[52|仮想ドライブ設定] 仮想ドライブの設定がされていません。\r\r"
    "設定のため仮想ドライブマネージャーを起動しますか？\r\r";
const std::string kFaulty =
    "message[52|仮想ドライブ設定] 設定情報に何からの異常が発生してるため、仮想ドライブを設定できません。\r\r"
    "設定のため仮想ドライブマネージャーを起動しますか？\r\r";
const std::string kFailures =
    "message[48|仮想ドライブ設定] 次の仮想ドライブを設定できませんでした。\r\r";

// The recorded start of a command from the system folder, hidden.
std::string subst(const std::string& arguments) {
  return "run[0] C:\\Windows\\system32\\subst.exe | subst " + arguments;
}
std::string net_use(const std::string& arguments) {
  return "run[0] C:\\Windows\\system32\\net.exe | net use " + arguments;
}

// Records what the run does to the startup window, in the same log as the platform calls.
class RecordingWindow : public MountWindow {
 public:
  explicit RecordingWindow(testing::FakePlatform& platform) : platform_(platform) {}
  void disable_timer() override { platform_.calls.push_back("timer off"); }
  void set_progress(const std::string& text) override { platform_.calls.push_back("label " + text); }
  void hide() override { platform_.calls.push_back("window hidden"); }

 private:
  testing::FakePlatform& platform_;
};

class MountRun : public ::testing::Test {
 protected:
  void run(float version = 5.1f) {
    mount_run(platform, io, version, window);
    EXPECT_TRUE(platform.ended);
  }
  void settings(std::string content) { fs.files[kIni] = std::move(content); }

  testing::FakePlatform platform;
  testing::FakeFileSystem fs;
  testing::Cp932CodePage cp932;
  SettingsIo io{fs, cp932};
  RecordingWindow window{platform};
};

TEST_F(MountRun, IssuesEachRecordHiddenAndShowsItAsItGoes) {
  settings("\"X:\",\"d:\\data\"\r\n\"Z:\",\"\\\\srv\\pub\"\r\n\"c:\",\"d:\\work\"\r\n");
  run();
  EXPECT_THAT(
      platform.calls,
      ElementsAre("timer off", subst("X: \"d:\\data\""), "label X: ← d:\\data", "pump",
                  net_use("Z: \"\\\\srv\\pub\" /persistent:no"), "label Z: ← \\\\srv\\pub", "pump",
                  subst("c: \"d:\\work\""), "label c: ← d:\\work", "pump", "window hidden", "end"));
}

TEST_F(MountRun, EmptyFileEndsQuietly) {
  settings("");
  run();
  EXPECT_THAT(platform.calls, ElementsAre("timer off", "window hidden", "end"));
}

TEST_F(MountRun, MissingSettingsAskAndStartTheManagerBesideItWithItsBareName) {
  platform.message_box_answers = {kAnswerYes};
  run();
  EXPECT_THAT(platform.calls, ElementsAre("timer off", kNotSetUp,
                                          "run[1] C:\\Tools\\NDekMan.exe | NDekMan.exe", "end"));
}

TEST_F(MountRun, NoToEitherQuestionJustEnds) {
  platform.message_box_answers = {kAnswerNo};
  run();
  EXPECT_THAT(platform.calls, ElementsAre("timer off", kNotSetUp, "end"));

  platform = {};
  platform.message_box_answers = {kAnswerNo};
  settings("\"E:\"\r\n");
  run();
  EXPECT_THAT(platform.calls, ElementsAre("timer off", kFaulty, "end"));
}

TEST_F(MountRun, FaultySettingsStartNoCommandAndOfferTheManagerByFullPath) {
  settings("\"C:\",\"c:\\a\"\r\n\"E:\"\r\n");
  platform.message_box_answers = {kAnswerYes};
  run();
  EXPECT_THAT(platform.calls,
              ElementsAre("timer off", kFaulty,
                          "run[2] C:\\Tools\\NDekMan.exe | \"C:\\Tools\\NDekMan.exe\"", "end"));
}

TEST_F(MountRun, ManagerPathWithABlankIsQuotedAndARootIsNotDoubled) {
  platform.program_dir = "C:\\Program Files\\NDek";
  fs.files["C:\\Program Files\\NDek\\NDek.ini"] = "\"E:\"";
  platform.message_box_answers = {kAnswerYes};
  run();
  EXPECT_THAT(platform.calls_of("run"), ElementsAre("run[2] C:\\Program Files\\NDek\\NDekMan.exe | "
                                                    "\"C:\\Program Files\\NDek\\NDekMan.exe\""));

  platform = {};
  platform.program_dir = "D:\\";
  fs.files["D:\\NDek.ini"] = "\"E:\"";
  platform.message_box_answers = {kAnswerYes};
  run();
  EXPECT_THAT(platform.calls_of("run"),
              ElementsAre("run[2] D:\\NDekMan.exe | \"D:\\NDekMan.exe\""));
}

TEST_F(MountRun, RecordThatCannotBeACommandGoesToTheFaultyQuestion) {
  for (const char* bad : {"5,d:\\x\r\n", "X:,d:\\a\" /d \"\r\n", "\"X:\",\"d:\\a\tb\"\r\n"}) {
    platform = {};
    platform.message_box_answers = {kAnswerNo};
    settings(std::string("\"C:\",\"c:\\ok\"\r\n") + bad + "\"D:\",\"d:\\never\"\r\n");
    run();
    // Records before it were issued; none after it.
    EXPECT_THAT(platform.calls,
                ElementsAre("timer off", subst("C: \"c:\\ok\""), "label C: ← c:\\ok", "pump",
                            kFaulty, "window hidden", "end"))
        << bad;
  }
}

TEST_F(MountRun, DrivesThatCouldNotBeSetUpAreListedInOneMessageAtTheEnd) {
  settings("\"X:\",\"d:\\a\"\r\n\"Y:\",\"d:\\b\"\r\n\"Z:\",\"\\\\s\\p\"\r\n\"W:\",\"d:\\w\"\r\n");
  platform.run_failures["subst X: \"d:\\a\""] = kErrFileNotFound;
  platform.outcomes["subst Y: \"d:\\b\""] = {{1, 50}};
  platform.run_failures["net use Z: \"\\\\s\\p\" /persistent:no"] = 1740;
  run();
  EXPECT_THAT(
      platform.calls,
      ElementsAre("timer off", subst("X: \"d:\\a\""), subst("Y: \"d:\\b\""), "label Y: ← d:\\b",
                  "pump", net_use("Z: \"\\\\s\\p\" /persistent:no"), subst("W: \"d:\\w\""),
                  "label W: ← d:\\w", "pump", "window hidden",
                  kFailures + "X: ← d:\\a（コマンドを起動できませんでした　エラー№= 53）\r"
                              "Y: ← d:\\b（終了コード= 1）\r"
                              "Z: ← \\\\s\\p（コマンドを起動できませんでした　エラー№= 1740）\r",
                  "end"));
}

TEST_F(MountRun, FailedNetUseIsTriedAgainHiddenWithGrowingPausesAndSubstIsNot) {
  settings("\"X:\",\"d:\\a\"\r\n\"Z:\",\"\\\\s\\p\"\r\n");
  const std::string net = "net use Z: \"\\\\s\\p\" /persistent:no";
  platform.outcomes[net] = {{2, 100}, {2, 100}, {0, 100}};
  platform.outcomes["subst X: \"d:\\a\""] = {{1, 100}};
  run();
  EXPECT_THAT(platform.start_times(net), ElementsAre(0, 2100, 6200));
  EXPECT_THAT(platform.start_times("subst X: \"d:\\a\""), ElementsAre(0));
  EXPECT_THAT(platform.calls,
              ElementsAre("timer off", subst("X: \"d:\\a\""), "label X: ← d:\\a", "pump",
                          net_use("Z: \"\\\\s\\p\" /persistent:no"), "label Z: ← \\\\s\\p", "pump",
                          "window hidden", net_use("Z: \"\\\\s\\p\" /persistent:no"),
                          net_use("Z: \"\\\\s\\p\" /persistent:no"),
                          kFailures + "X: ← d:\\a（終了コード= 1）\r", "end"));
}

TEST_F(MountRun, NetUseThatKeepsFailingIsGivenUpAboutTwoMinutesAfterTheStart) {
  settings("\"Z:\",\"\\\\s\\p\"\r\n");
  const std::string net = "net use Z: \"\\\\s\\p\" /persistent:no";
  platform.outcomes[net].assign(20, {53, 0});
  run();
  // The last pause is cut short so that the last try is made at the end of the period.
  EXPECT_THAT(platform.start_times(net), ElementsAre(0, 2000, 6000, 14000, 30000, 62000, 120000));
  EXPECT_EQ(platform.calls_of("message"),
            std::vector<std::string>{kFailures + "Z: ← \\\\s\\p（終了コード= 53）\r"});
}

TEST_F(MountRun, CommandStillRunningAtItsTimeLimitIsLeftAloneAndCountsAsFailed) {
  settings("\"X:\",\"d:\\a\"\r\n\"Z:\",\"\\\\s\\p\"\r\n");
  platform.outcomes["subst X: \"d:\\a\""] = {{0, testing::FakePlatform::kForever}};
  platform.outcomes["net use Z: \"\\\\s\\p\" /persistent:no"] = {{0, 45000}};
  run();
  EXPECT_EQ(platform.now_ms, 30000);  // neither is waited for any longer, nor tried again
  EXPECT_EQ(platform.calls_of("run").size(), 2u);
  EXPECT_EQ(platform.calls_of("message"),
            std::vector<std::string>{kFailures + "X: ← d:\\a（応答がありません）\r"
                                                 "Z: ← \\\\s\\p（応答がありません）\r"});
}

TEST_F(MountRun, RecordThatCannotBeACommandStillReportsTheDrivesBeforeIt) {
  settings("\"X:\",\"d:\\a\"\r\n5,d:\\x\r\n");
  platform.outcomes["subst X: \"d:\\a\""] = {{1, 0}};
  platform.message_box_answers = {kAnswerNo};
  run();
  EXPECT_THAT(platform.calls,
              ElementsAre("timer off", subst("X: \"d:\\a\""), "label X: ← d:\\a", "pump", kFaulty,
                          "window hidden", kFailures + "X: ← d:\\a（終了コード= 1）\r", "end"));
}

TEST_F(MountRun, ManagerThatCannotStartIsReported) {
  platform.message_box_answers = {kAnswerYes};
  platform.run_failures["NDekMan.exe"] = kErrFileNotFound;
  run();
  EXPECT_THAT(platform.calls,
              ElementsAre("timer off", kNotSetUp, "run[1] C:\\Tools\\NDekMan.exe | NDekMan.exe",
                          "message[48|仮想ドライブ設定] "
                          "仮想ドライブマネージャーを起動できませんでした。\rエラー№= 53",
                          "end"));
}

TEST_F(MountRun, UnreadableFileIsFaultyAndFileExistsIsMissing) {
  fs.failures["open"] = kErrPermissionDenied;
  run();
  EXPECT_THAT(platform.calls, ElementsAre("timer off", kFaulty, "end"));

  platform = {};
  fs.failures["open"] = kErrFileExists;
  run();
  EXPECT_THAT(platform.calls, ElementsAre("timer off", kNotSetUp, "end"));
}

}  // namespace
}  // namespace ndek
