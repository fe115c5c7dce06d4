#include "manager/help_text.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_file_system.h"

namespace ndek {
namespace {

constexpr const char* kPath = "C:\\Tools\\NDek.hlp";

TEST(HelpText, ReadsUtf8WithOrWithoutAByteOrderMarkAndGivesFailuresAsTheirNumbers) {
  const struct {
    std::string content;
    ErrorNumber read_failure, failure;
    std::string text;
  } cases[] = {
      {"ドライブ設定\r\n", kOk, kOk, "ドライブ設定\r\n"},
      {"\xEF\xBB\xBFドライブ設定\r\n", kOk, kOk, "ドライブ設定\r\n"},
      {"\x83\x68\x83\x89\x83\x43\x83\x75", kOk, kErrInvalidFileFormat, ""},  // Shift-JIS
      {"ok", kErrDeviceIo, kErrDeviceIo, ""},
  };
  for (const auto& c : cases) {
    testing::FakeFileSystem fs;
    fs.read_block = 3;  // a character split across reads
    fs.files[kPath] = c.content;
    fs.failures["read"] = {c.read_failure};
    std::string text = "old";
    EXPECT_EQ(read_help_text(fs, kPath, text), c.failure) << c.content;
    EXPECT_EQ(text, c.text) << c.content;
  }
}

}  // namespace
}  // namespace ndek
