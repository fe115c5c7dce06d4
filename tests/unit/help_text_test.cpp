#include "manager/help_text.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_file_system.h"

namespace ndek {
namespace {

constexpr const char* kPath = "C:\\Tools\\NDek.hlp";

TEST(HelpText, ReadsUtf8WithOrWithoutAByteOrderMark) {
  testing::FakeFileSystem fs;
  fs.read_block = 3;  // a character split across reads
  for (const std::string prefix : {"", "\xEF\xBB\xBF"}) {
    fs.files[kPath] = prefix + "ドライブ設定\r\n";
    std::string text;
    EXPECT_EQ(read_help_text(fs, kPath, text), kOk);
    EXPECT_EQ(text, "ドライブ設定\r\n");
  }
}

TEST(HelpText, FailuresComeBackAsTheirNumbers) {
  testing::FakeFileSystem fs;
  std::string text = "old";
  EXPECT_EQ(read_help_text(fs, kPath, text), kErrFileNotFound);
  EXPECT_EQ(text, "");

  fs.files[kPath] = "\x83\x68\x83\x89\x83\x43\x83\x75";  // Shift-JIS, not UTF-8
  EXPECT_EQ(read_help_text(fs, kPath, text), kErrInvalidFileFormat);
  EXPECT_EQ(text, "");

  fs.files[kPath] = "ok";
  fs.failures["read"] = {kErrDeviceIo};
  EXPECT_EQ(read_help_text(fs, kPath, text), kErrDeviceIo);
}

TEST(HelpText, EveryLineBreakBecomesCrLf) {
  EXPECT_EQ(with_crlf_breaks("a\nb\r\nc\rd\n\n"), "a\r\nb\r\nc\r\nd\r\n\r\n");
  EXPECT_EQ(with_crlf_breaks("\r"), "\r\n");
  EXPECT_EQ(with_crlf_breaks("no break"), "no break");
}

}  // namespace
}  // namespace ndek
