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

// Records what the run does to the startup window, in the same log as the platform calls.
class RecordingWindow : public MountWindow {
 public:
  explicit RecordingWindow(testing::FakePlatform& platform) : platform_(platform) {}
  void disable_timer() override { platform_.calls.push_back("timer off"); }
  void set_progress(const std::string& text) override { platform_.calls.push_back("label " + text); }

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
  EXPECT_THAT(platform.calls,
              ElementsAre("timer off", "run[0] subst X: \"d:\\data\"", "label X: ← d:\\data", "pump",
                          "run[0] net use Z: \"\\\\srv\\pub\" /persistent:no",
                          "label Z: ← \\\\srv\\pub", "pump", "run[0] subst c: \"d:\\work\"",
                          "label c: ← d:\\work", "pump", "end"));
}

TEST_F(MountRun, EmptyFileEndsQuietly) {
  settings("");
  run();
  EXPECT_THAT(platform.calls, ElementsAre("timer off", "end"));
}

TEST_F(MountRun, MissingSettingsAskAndStartTheManagerByBareName) {
  platform.message_box_answers = {kAnswerYes};
  run();
  EXPECT_THAT(platform.calls, ElementsAre("timer off", kNotSetUp, "run[1] NDekMan.exe", "end"));
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
              ElementsAre("timer off", kFaulty, "run[2] \"C:\\Tools\\NDekMan.exe\"", "end"));
}

TEST_F(MountRun, ManagerPathWithABlankIsQuotedAndARootIsNotDoubled) {
  platform.program_dir = "C:\\Program Files\\NDek";
  fs.files["C:\\Program Files\\NDek\\NDek.ini"] = "\"E:\"";
  platform.message_box_answers = {kAnswerYes};
  run();
  EXPECT_THAT(platform.calls_of("run"), ElementsAre("run[2] \"C:\\Program Files\\NDek\\NDekMan.exe\""));

  platform = {};
  platform.program_dir = "D:\\";
  fs.files["D:\\NDek.ini"] = "\"E:\"";
  platform.message_box_answers = {kAnswerYes};
  run();
  EXPECT_THAT(platform.calls_of("run"), ElementsAre("run[2] \"D:\\NDekMan.exe\""));
}

TEST_F(MountRun, RecordThatCannotBeACommandGoesToTheFaultyQuestion) {
  for (const char* bad : {"5,d:\\x\r\n", "X:,d:\\a\" /d \"\r\n", "\"X:\",\"d:\\a\tb\"\r\n"}) {
    platform = {};
    platform.message_box_answers = {kAnswerNo};
    settings(std::string("\"C:\",\"c:\\ok\"\r\n") + bad + "\"D:\",\"d:\\never\"\r\n");
    run();
    // Records before it were issued; none after it.
    EXPECT_THAT(platform.calls,
                ElementsAre("timer off", "run[0] subst C: \"c:\\ok\"", "label C: ← c:\\ok", "pump",
                            kFaulty, "end"))
        << bad;
  }
}

TEST_F(MountRun, CommandsThatCannotStartAreListedOnceAtTheEnd) {
  settings("\"X:\",\"d:\\a\"\r\n\"Y:\",\"d:\\b\"\r\n\"Z:\",\"\\\\s\\p\"\r\n");
  platform.run_failures["subst X: \"d:\\a\""] = kErrFileNotFound;
  platform.run_failures["net use Z: \"\\\\s\\p\" /persistent:no"] = 1740;
  run();
  EXPECT_THAT(platform.calls,
              ElementsAre("timer off", "run[0] subst X: \"d:\\a\"", "run[0] subst Y: \"d:\\b\"",
                          "label Y: ← d:\\b", "pump", "run[0] net use Z: \"\\\\s\\p\" /persistent:no",
                          "message[48|仮想ドライブ設定] "
                          "次のコマンドを起動できなかったため、仮想ドライブの一部を設定できませんでした。\r\r"
                          "subst X: \"d:\\a\"\rエラー№= 53\r"
                          "net use Z: \"\\\\s\\p\" /persistent:no\rエラー№= 1740\r",
                          "end"));
}

TEST_F(MountRun, ManagerThatCannotStartIsReported) {
  platform.message_box_answers = {kAnswerYes};
  platform.run_failures["NDekMan.exe"] = kErrFileNotFound;
  run();
  EXPECT_THAT(platform.calls,
              ElementsAre("timer off", kNotSetUp, "run[1] NDekMan.exe",
                          "message[48|仮想ドライブ設定] 仮想ドライブマネージャーを起動できませんでした。\rエラー№= 53",
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
