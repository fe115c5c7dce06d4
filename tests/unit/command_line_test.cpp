#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace ndek {
namespace {

TEST(QuoteArgument, QuotesSoTheParserGetsItBack) {
  const std::pair<const char*, const char*> cases[] = {
      {"", R"("")"},
      {R"(d:\my docs)", R"("d:\my docs")"},
      // A root: the backslash before the closing quote must not escape it.
      {R"(d:\)", R"("d:\\")"},
      {R"(\\srv\pub\\)", R"("\\srv\pub\\\\")"},
      {R"(a"b)", R"("a\"b")"},
      {R"(a\"b)", R"("a\\\"b")"},
  };
  for (auto [argument, quoted] : cases) EXPECT_EQ(quote_argument(argument), quoted) << argument;
}

}  // namespace
}  // namespace ndek
