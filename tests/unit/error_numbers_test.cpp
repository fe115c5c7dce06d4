#include "platform/error_numbers.h"

#include <gtest/gtest.h>

namespace ndek {
namespace {

TEST(ErrorNumbers, SystemCodesMapOntoTheRuntimeNumbers) {
  // Not found (file, path), access denied, exists (two ways), sharing and lock violations,
  // disk full; a code without counterpart is kept recognisable.
  const std::pair<std::uint32_t, ErrorNumber> cases[] = {{0, kOk},  {2, 53},     {3, 76},  {5, 75},
                                                         {80, 58},  {183, 58},   {32, 70}, {33, 70},
                                                         {112, 61}, {1359, 2359}};
  for (auto [code, number] : cases) EXPECT_EQ(error_number_from_system(code), number) << code;
}

TEST(ErrorNumbers, TextHasALeadingBlankUnlessNegative) {
  EXPECT_EQ(error_number_text(75) + error_number_text(0) + error_number_text(-5), " 75 0-5");
}

}  // namespace
}  // namespace ndek
