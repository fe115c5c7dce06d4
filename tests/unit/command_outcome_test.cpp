#include "drives/command_outcome.h"

#include <gtest/gtest.h>

namespace ndek {
namespace {

std::vector<std::string> numbered_lines(int count) {
  std::vector<std::string> lines;
  for (int i = 1; i <= count; ++i) lines.push_back("line " + std::to_string(i));
  return lines;
}

TEST(FailureReport, ListsAtMostTenLinesThenHowManyMore) {
  const std::string intro = "次の仮想ドライブを設定できませんでした。\r\r";
  std::string ten;
  for (const std::string& line : numbered_lines(10)) ten += line + "\r";
  EXPECT_EQ(failure_report(numbered_lines(10)), intro + ten);
  EXPECT_EQ(failure_report(numbered_lines(11)), intro + ten + "ほか 1 件\r");
  EXPECT_EQ(failure_report(numbered_lines(26)), intro + ten + "ほか 16 件\r");
}

// What `net use` prints when it fails: a blank line, the system error, a blank line, why.
std::string net_output(const std::string& error_line, const std::string& reason) {
  return "\r\n" + error_line + "\r\n\r\n" + reason + "\r\n\r\n";
}

TEST(FailureLine, ShowsTheCommandsOwnReasonInOneLineWithItsNumberAndElseTheExitCode) {
  const struct {
    std::uint32_t exit_code;
    std::string output;
    std::string how;
  } cases[] = {
      {2, net_output("システム エラー 53 が発生しました。", "ネットワーク パスが見つかりません。"),
       "ネットワーク パスが見つかりません。　エラー№= 53"},
      {2, net_output("System error 1326 has occurred.", "The user name or password is incorrect."),
       "The user name or password is incorrect.　エラー№= 1326"},
      {2, "システム エラー 85 が発生しました。\r\n", "終了コード= 2　エラー№= 85"},
      {1, "", "終了コード= 1"},
      {1, "\t the\x1b folder\x7f is gone \r\n", "the  folder  is gone"},
      {2,
       net_output("システム エラー 1219 が発生しました。",
                  "同じユーザーによる、サーバーまたは共有リソースへの複数のユーザー名での複数の接"
                  "続は許可されません。"),
       "同じユーザーによる、サーバーまたは共有リソース…　エラー№= 1219"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(failure_line("Z: ← \\\\s\\p", outcome_of_exit(c.exit_code, c.output)),
              "Z: ← \\\\s\\p（" + c.how + "）")
        << c.output;
  }
}

}  // namespace
}  // namespace ndek
