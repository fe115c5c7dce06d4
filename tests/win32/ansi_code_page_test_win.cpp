#include "platform/win32/win32.h"

#include <string>

#include "gtest/gtest.h"
#include "platform/win32/ansi_code_page_win.h"

namespace ndek {
namespace {

// The cases are those of the Japanese code page the settings files are written in.
class Win32AnsiCodePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetACP() != 932) GTEST_SKIP() << "system code page is " << GetACP() << ", not 932";
  }
  Win32AnsiCodePage code_page_;
};

TEST_F(Win32AnsiCodePageTest, TextInTheCodePageConvertsBothWays) {
  const struct {
    const char* utf8;
    const char* ansi;
  } cases[] = {
      {"", ""},
      {"仮想ドライブ", "\x89\xBC\x91\x7A\x83\x68\x83\x89\x83\x43\x83\x75"},
      {"ｷｬﾝｾﾙ", "\xB7\xAC\xDD\xBE\xD9"},
      // Second bytes equal to a backslash must not split the characters.
      {"c:\\ソ表", "c:\\\x83\x5C\x95\x5C"},
  };
  for (const auto& c : cases) {
    std::string ansi = "stale", utf8 = "stale";
    EXPECT_TRUE(code_page_.encode(c.utf8, ansi)) << c.utf8;
    EXPECT_EQ(ansi, c.ansi) << c.utf8;
    EXPECT_TRUE(code_page_.decode(c.ansi, utf8)) << c.utf8;
    EXPECT_EQ(utf8, c.utf8);
  }
}

TEST_F(Win32AnsiCodePageTest, ConversionFailsRatherThanChangeACharacter) {
  const std::pair<bool, const char*> cases[] = {
      {true, "c:\\caf\xC3\xA9"},   // é: best fit would give a plain e
      {true, "\xC2\xA5"},          // ¥: best fit would give a backslash
      {true, "\xF0\x9F\x98\x80"},  // outside the basic plane
      {true, "c:\\\xFF"},          // not UTF-8
      {true, "\xE4\xBB"},          // a cut-off character
      {false, "c:\\\x81"},         // a lead byte at the end
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
