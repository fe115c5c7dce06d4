#include "platform/os_version.h"

#include <gtest/gtest.h>

#include "drives/drive_command.h"

namespace ndek {
namespace {

// One row per way through the chain: one, two (4.90) and three decimals, a whole number, and
// either side of 5.0 for the persistence option.
TEST(OsVersion, WordReadsAsADecimalWhoseTextDecidesThePersistenceOption) {
  const struct {
    unsigned major, minor;
    const char* text;
    std::string_view option;
  } cases[] = {
      {4, 90, "4.9", ""},
      {5, 0, "5", kPersistentNo},
      {5, 1, "5.1", kPersistentNo},
      {6, 255, "6.255", kPersistentNo},
  };
  for (const auto& c : cases) {
    const float version = version_from_word(c.major | (c.minor << 8) | 0x23F00000u);
    EXPECT_EQ(version_text(version), c.text) << c.major << "." << c.minor;
    EXPECT_EQ(persistence_option(version), c.option) << c.text;
  }
}

}  // namespace
}  // namespace ndek
