#include "platform/error_numbers.h"

#include <gtest/gtest.h>

namespace ndek {
namespace {

TEST(ErrorNumbers, SystemCodesMapOntoTheRuntimeNumbers) {
  // The two numbers the recovery steers by, one shown to the user, and a code without
  // counterpart kept recognisable.
  const std::pair<std::uint32_t, ErrorNumber> cases[] = {{2, 53}, {80, 58}, {32, 70}, {1359, 2359}};
  for (auto [code, number] : cases) EXPECT_EQ(error_number_from_system(code), number) << code;
}

TEST(ErrorNumbers, TextHasALeadingBlankUnlessNegative) {
  EXPECT_EQ(error_number_text(75) + error_number_text(0) + error_number_text(-5), " 75 0-5");
}

}  // namespace
}  // namespace ndek
