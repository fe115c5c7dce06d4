#include "manager/letter_update.h"

#include <gtest/gtest.h>

namespace ndek {
namespace {

using Kind = DriveMapping::Kind;

TEST(LetterUpdate, OnlyWhatNDekMappedIsUnmappedAndWhatIsMappedAlreadyIsLeft) {
  const struct {
    const char* loaded;
    const char* wanted;
    DriveMapping now;
    LetterUpdate expected;
  } cases[] = {
      {R"(d:\old)", R"(d:\new)", {Kind::kFolder, R"(D:\Old\)"}, {true, true}},
      {R"(d:\old)", "", {Kind::kFolder, R"(d:\old)"}, {true, false}},
      {R"(\\srv\old)", R"(\\srv\new)", {Kind::kNetwork, R"(\\SRV\old)"}, {true, true}},
      {R"(d:\a)", R"(d:\a)", {Kind::kFolder, R"(D:\A)"}, {false, false}},
      {R"(d:\old)", R"(d:\new)", {Kind::kFolder, R"(d:\new)"}, {false, false}},
      {R"(d:\)", R"(d:\)", {Kind::kFolder, "D:"}, {false, false}},
      // Not made by NDek: mapped somewhere else, or by the other command.
      {R"(d:\old)", R"(d:\new)", {Kind::kFolder, R"(e:\other)"}, {false, true}},
      {R"(\\srv\pub)", "", {Kind::kFolder, R"(\\srv\pub)"}, {false, false}},
      {"", R"(d:\new)", {Kind::kFolder, R"(d:\x)"}, {false, true}},
      {R"(d:\old)", R"(d:\new)", {}, {false, true}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(plan_letter_update(c.loaded, c.wanted, c.now), c.expected)
        << c.loaded << " -> " << c.wanted << " while mapped to " << c.now.target;
  }
}

}  // namespace
}  // namespace ndek
