#include "platform/twips.h"

#include <gtest/gtest.h>

namespace ndek {
namespace {

TEST(TwipsToPixels, ConvertsAtTheWindowsDpiWithRounding) {
  EXPECT_EQ(twips_to_pixels(3735, 96), 249);   // 248.999...
  EXPECT_EQ(twips_to_pixels(3735, 144), 374);  // 373.5 rounds up
  EXPECT_EQ(twips_to_pixels(7, 96), 0);
  EXPECT_EQ(twips_to_pixels(-15, 96), -1);
}

}  // namespace
}  // namespace ndek
