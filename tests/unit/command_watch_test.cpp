#include "mounter/command_watch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/fakes/fake_platform.h"

namespace ndek {
namespace {

TEST(CommandWatch, TriesAgainWhatIsNotReachableYetButNeverARefusedPasswordAndSaysWhereToGiveIt) {
  testing::FakePlatform platform;
  const DriveCommand unreachable{"net.exe", "net use Y: \"\\\\s\\y\""};
  const DriveCommand refused{"net.exe", "net use Z: \"\\\\s\\z\""};
  platform.outcomes[unreachable.line] = {{2, 0, "\r\nシステム エラー 53 が発生しました。\r\n"}};
  platform.outcomes[refused.line] = {{2, 0, "System error 1326 has occurred.\r\n\r\nBad."}};
  CommandWatch watch(platform, 0);
  watch.start("Y:", unreachable, true);
  watch.start("Z:", refused, true);
  watch.wait();
  EXPECT_THAT(platform.start_times[unreachable.line], ::testing::ElementsAre(0, 2000));
  EXPECT_THAT(platform.start_times[refused.line], ::testing::ElementsAre(0));
  EXPECT_EQ(watch.report({}),
            "次の仮想ドライブを設定できませんでした。\r\rZ:（Bad.　エラー№= 1326）\r"
            "ユーザー名とパスワードは、仮想ドライブマネージャーの設定終了で保存できます。\r");
}

}  // namespace
}  // namespace ndek
