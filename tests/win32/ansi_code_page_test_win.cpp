#include "platform/win32/win32.h"

#include <string>

#include "gtest/gtest.h"
#include "platform/win32/ansi_code_page_win.h"

namespace ndek {
namespace {

// The cases are those of the Japanese code page the settings files are written in. What does
// convert, the scenarios read and write on the way (and the settings tests on Windows).
class Win32AnsiCodePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetACP() != 932) GTEST_SKIP() << "system code page is " << GetACP() << ", not 932";
  }
  Win32AnsiCodePage code_page_;
};

TEST_F(Win32AnsiCodePageTest, ConversionFailsRatherThanChangeACharacter) {
  const std::pair<bool, const char*> cases[] = {
      {true, "c:\\caf\xC3\xA9"},   // é: best fit would give a plain e
      {true, "\xF0\x9F\x98\x80"},  // outside the basic plane
      {true, "c:\\\xFF"},          // not UTF-8
      {false, "\x81\x20"},         // a lead byte before a blank
  };
  for (auto [encoding, text] : cases) {
    std::string out;
    EXPECT_FALSE(encoding ? code_page_.encode(text, out) : code_page_.decode(text, out))
        << ::testing::PrintToString(std::string(text));
  }
}

}  // namespace
}  // namespace ndek
