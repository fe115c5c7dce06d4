#include "platform/os_version.h"
#include "settings/drive_command.h"

#include <gtest/gtest.h>

#include <charconv>
#include <string>

namespace ndek {
namespace {

std::uint32_t word(unsigned major, unsigned minor) { return major | (minor << 8) | 0x23F00000u; }

// Every possible major and minor, against the standard library's exact conversions: the text
// "major.minor" read as the nearest float, and that float's shortest text.
TEST(OsVersion, EveryWordMatchesTheExactDecimalConversions) {
  int mismatches = 0;
  for (unsigned major = 0; major < 256; ++major) {
    for (unsigned minor = 0; minor < 256; ++minor) {
      const std::string text = std::to_string(major) + "." + std::to_string(minor);
      float expected = 0;
      std::from_chars(text.data(), text.data() + text.size(), expected);
      char buffer[32];
      const std::string expected_text(buffer, std::to_chars(buffer, buffer + sizeof buffer, expected).ptr);

      const float version = version_from_word(word(major, minor));
      const std::string version_string = version_text(version);
      if (version != expected || version_string != expected_text) {
        if (++mismatches <= 5) {
          ADD_FAILURE() << text << ": " << version_string << " instead of " << expected_text;
        }
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(OsVersion, PersistenceOptionFromVersionFiveOn) {
  EXPECT_EQ(persistence_option(version_from_word(word(5, 0))), " /persistent:no");
  EXPECT_EQ(persistence_option(version_from_word(word(10, 0))), " /persistent:no");
  EXPECT_EQ(persistence_option(version_from_word(word(4, 90))), "");
  EXPECT_EQ(persistence_option(version_from_word(word(4, 10))), "");
}

}  // namespace
}  // namespace ndek
