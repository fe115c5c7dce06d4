#include "platform/os_version.h"
#include "settings/drive_command.h"

#include <gtest/gtest.h>

namespace ndek {
namespace {

std::uint32_t word(unsigned major, unsigned minor) { return major | (minor << 8) | 0x23F00000u; }

TEST(OsVersion, MajorAndMinorReadAsADecimalFraction) {
  EXPECT_EQ(version_from_word(word(5, 1)), 5.1f);
  EXPECT_EQ(version_from_word(word(4, 10)), 4.1f);
  EXPECT_EQ(version_from_word(word(4, 90)), 4.9f);
  EXPECT_EQ(version_from_word(word(5, 0)), 5.0f);
  EXPECT_EQ(version_from_word(word(10, 0)), 10.0f);
  EXPECT_EQ(version_from_word(word(6, 2)), 6.2f);
}

TEST(OsVersion, TextIsTheShortestDecimal) {
  EXPECT_EQ(version_text(version_from_word(word(5, 1))), "5.1");
  EXPECT_EQ(version_text(version_from_word(word(4, 10))), "4.1");
  EXPECT_EQ(version_text(version_from_word(word(5, 0))), "5");
  EXPECT_EQ(version_text(version_from_word(word(6, 3))), "6.3");
}

TEST(OsVersion, PersistenceOptionFromVersionFiveOn) {
  EXPECT_EQ(persistence_option(version_from_word(word(5, 0))), " /persistent:no");
  EXPECT_EQ(persistence_option(version_from_word(word(10, 0))), " /persistent:no");
  EXPECT_EQ(persistence_option(version_from_word(word(4, 90))), "");
  EXPECT_EQ(persistence_option(version_from_word(word(4, 10))), "");
}

}  // namespace
}  // namespace ndek
