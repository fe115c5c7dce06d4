#include <windows.h>

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
      {"d:\\work", "d:\\work"},
      {"仮想ドライブ", "\x89\xBC\x91\x7A\x83\x68\x83\x89\x83\x43\x83\x75"},
      {"ｷｬﾝｾﾙ", "\xB7\xAC\xDD\xBE\xD9"},
      // Second bytes equal to a backslash must not split the characters.
      {"c:\\ソ表", "c:\\\x83\x5C\x95\x5C"},
      {"①", "\x87\x40"},
  };
  for (const auto& c : cases) {
    std::string ansi = "stale", utf8 = "stale";
    EXPECT_TRUE(code_page_.encode(c.utf8, ansi)) << c.utf8;
    EXPECT_EQ(ansi, c.ansi) << c.utf8;
    EXPECT_TRUE(code_page_.decode(c.ansi, utf8)) << c.utf8;
    EXPECT_EQ(utf8, c.utf8);
  }
}

TEST_F(Win32AnsiCodePageTest, EncodingFailsRatherThanChangeACharacter) {
  const char* cases[] = {
      "c:\\caf\xC3\xA9",   // é: best fit would give a plain e
      "\xC2\xA5",          // ¥: best fit would give a backslash
      "\xE2\x82\xAC",      // €
      "\xF0\x9F\x98\x80",  // outside the basic plane
      "c:\\\xFF",          // not UTF-8
      "\xED\xA0\x80",      // an encoded surrogate
      "\xE4\xBB",          // a cut-off character
  };
  for (const char* utf8 : cases) {
    std::string ansi;
    EXPECT_FALSE(code_page_.encode(utf8, ansi)) << ::testing::PrintToString(std::string(utf8));
  }
}

TEST_F(Win32AnsiCodePageTest, DecodingFailsOnBytesThatAreNotText) {
  const char* cases[] = {
      "c:\\\x81",  // a lead byte at the end
      "\x81\x20",  // a lead byte before a blank
  };
  for (const char* ansi : cases) {
    std::string utf8;
    EXPECT_FALSE(code_page_.decode(ansi, utf8)) << ::testing::PrintToString(std::string(ansi));
  }
}

}  // namespace
}  // namespace ndek
