#include "mounter/mount_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mounter/mounter_text.h"
#include "tests/fakes/fake_system.h"

namespace ndek {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::net_use;
using testing::subst;

const std::string kAsk = std::string("message[52|") + mounter_text::kTitle + "] ";
const std::string kNotSetUp = kAsk + mounter_text::kNotSetUp;
const std::string kFaulty = kAsk + mounter_text::kFaulty;
// The report asks to stay above other windows and to come to the front (48 | 0x40000 | 0x10000).
const std::string kFailures = std::string("message[327728|") + mounter_text::kTitle +
                              "] 次の仮想ドライブを設定できませんでした。\r\r";
const std::string kNet = "net use Z: \"\\\\s\\p\" /persistent:no";

// Records what the run does to the startup window, in the same log as the platform calls.
class RecordingWindow : public MountWindow {
 public:
  explicit RecordingWindow(testing::FakePlatform& platform) : platform_(platform) {}
  void disable_timer() override { platform_.calls.push_back("timer off"); }
  void set_progress(const std::string& text) override {
    platform_.calls.push_back("label " + text);
  }
  void hide() override { platform_.calls.push_back("window hidden"); }

 private:
  testing::FakePlatform& platform_;
};

class MountRun : public ::testing::Test, protected testing::FakeSystem {
 protected:
  void run() {
    mount_run(platform, io, 5.1f, window);
    EXPECT_TRUE(platform.ended);
  }
  void settings(std::string content) { fs.files["C:\\Tools\\NDek.ini"] = std::move(content); }

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

// Missing (53, or 58 as the open may report it) and faulty settings ask whether to start the
// manager beside the program: by its bare name in a normal window after a missing file, by
// its quoted full path minimised after a faulty one.
TEST_F(MountRun, MissingOrFaultySettingsOfferTheManager) {
  const std::string start = "run[1] D:\\NDekMan.exe | NDekMan.exe";
  const std::string not_started = std::string("message[48|") + mounter_text::kTitle +
                                  "] 仮想ドライブマネージャーを起動できませんでした。\rエラー№= 53";
  const struct {
    const char* settings;  // none: no file
    ErrorNumber open_failure, start_failure;
    int answer;
    std::vector<std::string> calls;
  } cases[] = {
      {"", kOk, kOk, kAnswerYes, {"window hidden"}},
      {nullptr, kOk, kOk, kAnswerYes, {kNotSetUp, start}},
      {nullptr, kErrFileExists, kOk, kAnswerNo, {kNotSetUp}},
      {nullptr, kErrPermissionDenied, kOk, kAnswerNo, {kFaulty}},
      {"\"E:\"", kOk, kOk, kAnswerYes, {kFaulty, "run[2] D:\\NDekMan.exe | \"D:\\NDekMan.exe\""}},
      {nullptr, kOk, kErrFileNotFound, kAnswerYes, {kNotSetUp, start, not_started}},
  };
  for (const auto& c : cases) {
    platform = {};
    fs = {};
    platform.program_dir = "D:\\";
    if (c.settings) fs.files["D:\\NDek.ini"] = c.settings;
    fs.failures["open"] = {c.open_failure};
    if (c.start_failure) platform.run_failures["NDekMan.exe"] = c.start_failure;
    platform.message_box_answers = {c.answer};
    run();
    std::vector<std::string> expected = c.calls;
    expected.insert(expected.begin(), "timer off");
    expected.push_back("end");
    EXPECT_THAT(platform.calls, ElementsAreArray(expected)) << c.calls.back();
  }
}

TEST_F(MountRun, DrivesThatCouldNotBeSetUpAreListedInOneMessageAtTheEnd) {
  settings("\"X:\",\"d:\\a\"\r\n\"Y:\",\"d:\\b\"\r\n\"W:\",\"d:\\w\"\r\n");
  platform.run_failures["subst X: \"d:\\a\""] = kErrFileNotFound;
  platform.outcomes["subst Y: \"d:\\b\""] = {{1, 50}};
  run();
  EXPECT_THAT(platform.calls_of("label"), ElementsAre("label Y: ← d:\\b", "label W: ← d:\\w"));
  EXPECT_THAT(platform.calls_of("message"),
              ElementsAre(kFailures + "X: ← d:\\a（コマンドを起動できませんでした　エラー№= 53）\r"
                                      "Y: ← d:\\b（終了コード= 1）\r"));
}

// The question about faulty settings comes first; the drives before the record are still
// reported.
TEST_F(MountRun, RecordThatCannotBeACommandStopsTheRunAndTheDrivesBeforeItAreReported) {
  settings("\"X:\",\"d:\\a\"\r\nY:,d:\\a\" /d \"\r\n\"D:\",\"d:\\never\"\r\n");
  platform.outcomes["subst X: \"d:\\a\""] = {{1, 0}};
  platform.message_box_answers = {kAnswerNo};
  run();
  EXPECT_THAT(platform.calls,
              ElementsAre("timer off", subst("X: \"d:\\a\""), "label X: ← d:\\a", "pump", kFaulty,
                          "window hidden", kFailures + "X: ← d:\\a（終了コード= 1）\r", "end"));
}

// The pauses between tries are the command watch's; here only net use is tried again, and
// that with the window gone.
TEST_F(MountRun, OnlyNetUseIsTriedAgainAndThatWithTheWindowGone) {
  settings("\"X:\",\"d:\\a\"\r\n\"Z:\",\"\\\\s\\p\"\r\n");
  platform.outcomes[kNet] = {{2, 100}};
  platform.outcomes["subst X: \"d:\\a\""] = {{1, 100}};
  run();
  EXPECT_EQ(platform.calls_of("run").size(), 3u);
  EXPECT_THAT(std::vector(platform.calls.end() - 4, platform.calls.end()),
              ElementsAre("window hidden", net_use("Z: \"\\\\s\\p\" /persistent:no"),
                          kFailures + "X: ← d:\\a（終了コード= 1）\r", "end"));
}

// Run again in the same log-on: a letter that already has its folder (as finish compares, a
// remembered share even while unavailable) gets no command but still shows; a letter held by
// something else is reported with what holds it.
TEST_F(MountRun, LettersAlreadyThereAreNotMappedAgainAndHeldOnesSayWhy) {
  settings(
      "\"X:\",\"d:\\data\"\r\n\"z:\",\"\\\\s\\p\"\r\n\"Y:\",\"d:\\y\"\r\n"
      "\"W:\",\"d:\\w\"\r\n\"V:\",\"d:\\v\"\r\n");
  platform.mappings["X:"] = {DriveMapping::Kind::kFolder, "D:\\Data\\"};
  platform.mappings["Z:"] = {DriveMapping::Kind::kNetwork, "\\\\S\\p"};
  platform.mappings["Y:"] = {DriveMapping::Kind::kFolder, "d:\\other"};
  platform.drive_kinds["W:\\"] = DriveKind::kRemovable;
  run();
  EXPECT_THAT(platform.calls_of("run"), ElementsAre(subst("V: \"d:\\v\"")));
  EXPECT_THAT(platform.calls_of("label"),
              ElementsAre("label X: ← d:\\data", "label z: ← \\\\s\\p", "label V: ← d:\\v"));
  EXPECT_THAT(platform.calls_of("message"),
              ElementsAre(kFailures + "Y: ← d:\\y（すでに d:\\other に割り当てられています）\r"
                                      "W: ← d:\\w（すでにリムーバブル ディスクが使っています）\r"));
}

// The watcher's quiet run maps what is still missing: not a letter mapped before in this
// log-on (the user may have removed it since), nor one held by something else.
TEST_F(MountRun, RemountMapsOnlyFreeLettersNotMappedBeforeAndShowsNothing) {
  settings("\"X:\",\"d:\\a\"\r\n\"Z:\",\"\\\\s\\p\"\r\n");
  platform.outcomes[kNet].assign(7, {53, 0});
  platform.message_box_answers = {kAnswerOk};
  const LetterSet at_log_on = mount_run(platform, io, 5.1f, window, AfterRun::kStay);
  EXPECT_FALSE(platform.ended);
  EXPECT_EQ(at_log_on, 1u << ('X' - 'A'));

  platform.calls.clear();
  settings("\"X:\",\"d:\\a\"\r\n\"Z:\",\"\\\\s\\p\"\r\n\"W:\",\"d:\\w\"\r\n\"V:\",\"d:\\v\"\r\n");
  platform.drive_kinds["W:\\"] = DriveKind::kRemovable;
  platform.mappings["V:"] = {DriveMapping::Kind::kFolder, "d:\\v"};
  const LetterSet now = remount(platform, io, 5.1f, at_log_on);
  EXPECT_THAT(platform.calls, ElementsAre("lock", net_use(kNet.substr(8)), "unlock"));
  EXPECT_EQ(now, at_log_on | 1u << ('Z' - 'A') | 1u << ('V' - 'A'));
  EXPECT_FALSE(platform.ended);
}

}  // namespace
}  // namespace ndek
