#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace ndek {
namespace {

struct QuoteCase {
  const char* argument;
  const char* quoted;
};

class QuoteArgument : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(QuoteArgument, QuotesSoTheParserGetsItBack) {
  EXPECT_EQ(quote_argument(GetParam().argument), GetParam().quoted);
}

INSTANTIATE_TEST_SUITE_P(
    Table, QuoteArgument,
    ::testing::Values(QuoteCase{"", R"("")"}, QuoteCase{R"(d:\data)", R"("d:\data")"},
                      QuoteCase{R"(d:\my docs)", R"("d:\my docs")"},
                      // A root: the backslash before the closing quote must not escape it.
                      QuoteCase{R"(d:\)", R"("d:\\")"},
                      QuoteCase{R"(\\srv\pub\\)", R"("\\srv\pub\\\\")"},
                      QuoteCase{R"(a"b)", R"("a\"b")"}, QuoteCase{R"(a\"b)", R"("a\\\"b")"},
                      QuoteCase{R"(\\server\share)", R"("\\server\share")"},
                      QuoteCase{"d:\\日本語\\", "\"d:\\日本語\\\\\""}),
    [](const ::testing::TestParamInfo<QuoteCase>& info) { return "Case" + std::to_string(info.index); });

}  // namespace
}  // namespace ndek
