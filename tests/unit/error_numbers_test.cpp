#include "platform/error_numbers.h"

#include <gtest/gtest.h>

namespace ndek {
namespace {

TEST(ErrorNumbers, SystemCodesMapOntoTheRuntimeNumbers) {
  EXPECT_EQ(error_number_from_system(0), kOk);
  EXPECT_EQ(error_number_from_system(2), 53);    // file not found
  EXPECT_EQ(error_number_from_system(3), 76);    // path not found
  EXPECT_EQ(error_number_from_system(5), 75);    // access denied
  EXPECT_EQ(error_number_from_system(80), 58);   // file exists
  EXPECT_EQ(error_number_from_system(183), 58);  // already exists
  EXPECT_EQ(error_number_from_system(32), 70);   // sharing violation
  EXPECT_EQ(error_number_from_system(33), 70);   // lock violation
  EXPECT_EQ(error_number_from_system(112), 61);  // disk full
  EXPECT_EQ(error_number_from_system(1359), 2359);  // no counterpart: kept recognisable
}

TEST(ErrorNumbers, TextHasALeadingBlankUnlessNegative) {
  EXPECT_EQ(error_number_text(75), " 75");
  EXPECT_EQ(error_number_text(0), " 0");
  EXPECT_EQ(error_number_text(-5), "-5");
}

}  // namespace
}  // namespace ndek
