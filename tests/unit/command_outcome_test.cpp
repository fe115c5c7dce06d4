#include "settings/command_outcome.h"

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

}  // namespace
}  // namespace ndek
