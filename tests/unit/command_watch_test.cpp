#include "mounter/command_watch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/fakes/fake_platform.h"

namespace ndek {
namespace {

TEST(CommandWatch,
     TriesAgainForTwoMinutesWhatIsNotReachableButNeverARefusedPasswordOrAHungCommand) {
  testing::FakePlatform platform;
  const DriveCommand unreachable{"net.exe", "net use Y: \"\\\\s\\y\""};
  const DriveCommand refused{"net.exe", "net use Z: \"\\\\s\\z\""};
  const DriveCommand hung{"net.exe", "net use X: \"\\\\s\\x\""};
  platform.outcomes[hung.line] = {{0, testing::FakePlatform::kForever, ""}};
  platform.outcomes[unreachable.line].assign(20,
                                             {2, 0, "\r\nシステム エラー 53 が発生しました。\r\n"});
  platform.outcomes[refused.line] = {{2, 0, "System error 1326 has occurred.\r\n\r\nBad."}};
  CommandWatch watch(platform, 0);
  watch.start("Y:", unreachable, true);
  watch.start("Z:", refused, true);
  watch.start("X:", hung, true);  // left alone at its time limit, not tried again
  watch.wait();
  // Pauses that double, the last cut short so that the last try is made two minutes after the
  // start.
  EXPECT_THAT(platform.start_times[unreachable.line],
              ::testing::ElementsAre(0, 2000, 6000, 14000, 30000, 62000, 120000));
  EXPECT_THAT(platform.start_times[refused.line], ::testing::ElementsAre(0));
  EXPECT_THAT(platform.start_times[hung.line], ::testing::ElementsAre(0));
  EXPECT_EQ(watch.report({}),
            "次の仮想ドライブを設定できませんでした。\r\rY:（終了コード= 2　エラー№= 53）\r"
            "Z:（Bad.　エラー№= 1326）\rX:（応答がありません）\r"
            "ユーザー名とパスワードは、仮想ドライブマネージャーの設定終了で保存できます。\r");
}

}  // namespace
}  // namespace ndek
