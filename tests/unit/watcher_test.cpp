#include "mounter/watcher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mounter/mounter_mode.h"
#include "tests/fakes/fake_system.h"

namespace ndek {
namespace {

using ::testing::ElementsAre;
using testing::subst;

// Records the timer in the same log as the platform calls.
class RecordingTimer : public WatchTimer {
 public:
  explicit RecordingTimer(testing::FakePlatform& platform) : platform_(platform) {}
  void arm(std::int64_t in_ms) override {
    platform_.calls.push_back("timer " + std::to_string(in_ms));
  }
  void disarm() override { platform_.calls.push_back("timer off"); }

 private:
  testing::FakePlatform& platform_;
};

class WatcherTest : public ::testing::Test, protected testing::FakeSystem {
 protected:
  WatcherTest() { fs.files["C:\\Tools\\NDek.ini"] = "\"X:\",\"d:\\a\"\r\n"; }
  void at(std::int64_t ms) { platform.now_ms = ms; }

  RecordingTimer timer{platform};
  Watcher watcher{platform, io, 5.1f, timer};
};

// A burst of changes is looked at once, when it has settled or has gone on too long; nothing
// runs before; changes during the log-on run wait for it.
TEST_F(WatcherTest, ChangesSettleAndComeTogetherIntoOneLook) {
  watcher.changed();
  EXPECT_TRUE(platform.calls.empty());
  watcher.logged_on(0);
  for (std::int64_t t = 4000; t <= 28000; t += 4000) {
    at(t);
    watcher.changed();
  }
  at(29999);
  watcher.timer();
  EXPECT_TRUE(platform.calls_of("run").empty());
  at(30000);
  watcher.timer();
  EXPECT_THAT(platform.calls,
              ElementsAre("timer 5000", "timer 5000", "timer 5000", "timer 5000", "timer 5000",
                          "timer 5000", "timer 5000", "timer 2000", "timer off", "timer 1",
                          "timer off", "lock", subst("X: \"d:\\a\""), "unlock"));
  EXPECT_EQ(watcher.mapped(), 1u << ('X' - 'A'));
}

TEST_F(WatcherTest, RequestLooksAtOnceAndAnotherLookLeavesWhatItMappedAlone) {
  watcher.logged_on(0);
  watcher.asked();
  // X is free again (the user removed it): it stays so.
  watcher.asked();
  EXPECT_THAT(platform.calls,
              ElementsAre("lock", subst("X: \"d:\\a\""), "unlock", "lock", "unlock"));
}

TEST(MounterMode, SwitchesAndRefusals) {
  EXPECT_EQ(mounter_mode(L""), MounterMode::kLogOn);
  EXPECT_EQ(mounter_mode(L" /WATCH "), MounterMode::kWatch);
  EXPECT_EQ(mounter_mode(L"/remount"), MounterMode::kRemount);
  EXPECT_EQ(mounter_mode(L"/Stop"), MounterMode::kStop);
  EXPECT_EQ(mounter_mode(L"/watch x"), MounterMode::kLogOn);
  EXPECT_EQ(refusal(MounterMode::kWatch, false, true), Refusal::kNone);
  EXPECT_EQ(refusal(MounterMode::kWatch, true, true), Refusal::kLogOnOnly);
  EXPECT_EQ(refusal(MounterMode::kRemount, false, false), Refusal::kNothing);
  EXPECT_EQ(refusal(MounterMode::kStop, true, false), Refusal::kNone);
}

}  // namespace
}  // namespace ndek
