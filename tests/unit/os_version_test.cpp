#include "platform/os_version.h"

#include <gtest/gtest.h>

#include <charconv>
#include <string>

#include "settings/drive_command.h"

namespace ndek {
namespace {

std::uint32_t word(unsigned major, unsigned minor) { return major | (minor << 8) | 0x23F00000u; }

// Every possible major and minor, against the standard library's exact conversions: the text
// "major.minor" read as the nearest float, and that float's shortest text.
TEST(OsVersion, EveryWordMatchesTheExactDecimalConversions) {
  for (unsigned major = 0; major < 256; ++major) {
    for (unsigned minor = 0; minor < 256; ++minor) {
      const std::string text = std::to_string(major) + "." + std::to_string(minor);
      float expected = 0;
      std::from_chars(text.data(), text.data() + text.size(), expected);
      char buffer[32];
      const std::string expected_text(buffer,
                                      std::to_chars(buffer, buffer + sizeof buffer, expected).ptr);

      const float version = version_from_word(word(major, minor));
      ASSERT_EQ(version, expected) << text;
      ASSERT_EQ(version_text(version), expected_text) << text;
    }
  }
}

TEST(OsVersion, PersistenceOptionFromVersionFiveOn) {
  for (auto [major, minor, option] :
       {std::tuple{5u, 0u, " /persistent:no"}, {10u, 0u, " /persistent:no"}, {4u, 90u, ""}}) {
    EXPECT_EQ(persistence_option(version_from_word(word(major, minor))), option)
        << major << "." << minor;
  }
}

}  // namespace
}  // namespace ndek
