#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <numeric>

#include "tests/fakes/cp932_code_page.h"
#include "tests/fakes/fake_file_system.h"

namespace ndek {
namespace {

using Files = std::map<std::string, std::string>;

constexpr const char* kPath = "C:\\Tools\\NDek.ini";

// "C:=c:\a|5#=d:\x": each record's drive and folder; # marks a drive field read as a number.
std::string shown(const SettingsReadResult& result) {
  std::string text;
  for (const DriveSetting& r : result.records) {
    text += (text.empty() ? "" : "|") + r.drive + (r.drive_is_number ? "#" : "") + "=" + r.folder;
  }
  return text;
}

const std::vector<DriveSetting> kOneRecord = {{"C:", "c:\\a"}};

class SettingsFile : public ::testing::Test {
 protected:
  SettingsReadResult read(const std::string& content, std::size_t max = kMaxRecords) {
    fs.files[kPath] = content;
    return read_settings(io, kPath, max);
  }
  std::string sjis(const std::string& text) {
    std::string bytes;
    EXPECT_TRUE(cp932.encode(text, bytes)) << text;
    return bytes;
  }

  testing::FakeFileSystem fs;
  testing::Cp932CodePage cp932;
  SettingsIo io{fs, cp932};
};

TEST_F(SettingsFile, ReadsRecordsAsWrittenByHandOrByPrograms) {
  const struct {
    std::string bytes;
    ErrorNumber failure;
    std::string records;
  } cases[] = {
      {"", kOk, ""},
      {"\"C:\",\"c:\\my docs\"\r\nD:,d:\\data\r\n  \"E:\" , \"e:\\x\"  \r\nF: ,  f:\\y  \r\n", kOk,
       "C:=c:\\my docs|D:=d:\\data|E:=e:\\x|F:=f:\\y"},
      {"\"C:\",\"c:\\a\"\r\"D:\",\"d:\\b\"\n\"E:\",e:\n", kOk, "C:=c:\\a|D:=d:\\b|E:=e:"},
      {"\"C:\"\r\n\"c:\\a\",\"D:\"\r\n\"d:\\b\"\r\n", kOk, "C:=c:\\a|D:=d:\\b"},
      {"\"C:\"junk,\"c:\\a,b\"tail\r\n", kOk, "C:=c:\\a,b"},
      {"5,d:\\x\r\n\"5\",d:\\y\r\n5a,d:\\z\r\n-1.5e3,d:\\w\r\n", kOk,
       "5#=d:\\x|5=d:\\y|5a=d:\\z|-1.5e3#=d:\\w"},
      // Blank lines and a Ctrl-Z end the file at its end; elsewhere a blank line is a field.
      {"\"C:\",\"c:\\a\"\r\n\r\n  \r\n\t\n", kOk, "C:=c:\\a"},
      {"\"C:\",\"c:\\a\"\x1A", kOk, "C:=c:\\a"},
      {"\"C:\",\"c:\\a\"\r\n\r\n\r\n\"D:\",\"d:\\b\"\r\n\r\n", kOk, "C:=c:\\a|=|D:=d:\\b"},
      // A drive field without its folder: the records before it stay.
      {"\"C:\",\"c:\\a\"\r\n\"E:\"\r\n", kErrInputPastEnd, "C:=c:\\a"},
      // Encodings: Shift-JIS (表 ends in the backslash's byte), UTF-8 with or without a mark;
      // without one the whole file is UTF-8 only when all of it is valid UTF-8.
      {"\"T:\",\"d:\\\x95\x5C\\\x83\x66\x81\x5B\x83\x5E\"\r\n", kOk, "T:=d:\\表\\データ"},
      {"\xEF\xBB\xBF\"K:\",\"d:\\한국어\"\r\n", kOk, "K:=d:\\한국어"},
      // Shift-JIS that is also 2-byte UTF-8 ("ﾅｶﾆｼ" = C5 B6 C6 BC) stays Shift-JIS, and so
      // does 2-byte UTF-8 that is valid Shift-JIS ("café" reads as "cafﾃｩ").
      {"\"N:\",\"d:\\\xC5\xB6\xC6\xBC\"\r\n", kOk, "N:=d:\\ﾅｶﾆｼ"},
      {"\"C:\",\"d:\\caf\xC3\xA9\"\r\n", kOk, "C:=d:\\cafﾃｩ"},
      // A 3-byte sequence, or text that is no Shift-JIS, makes it UTF-8.
      {"\"N:\",\"d:\\\xC5\xB6\"\r\n\"U:\",\"d:\\ü€\"\r\n", kOk, "N:=d:\\Ŷ|U:=d:\\ü€"},
      {"\"C:\",\"d:\\caf\xC3\xA9\xD1\x8F\"\r\n", kOk, "C:=d:\\caféя"},
      // Blanks around the drive field go.
      {"\" D: \",\" d:\\x \"\r\n", kOk, "D:= d:\\x "},
      {"\xEF\xBB\xBF\"K:\",\"\xC3\x28\"\r\n", kErrInvalidFileFormat, ""},
      {"\"K:\",\"\x81\"\r\n", kErrInvalidFileFormat, ""},
      {"\"C:\",\"" + std::string(kMaxFieldChars, 'a') + "\"", kOk,
       "C:=" + std::string(kMaxFieldChars, 'a')},
      {"\"C:\",\"" + std::string(kMaxFieldChars + 1, 'a') + "\"", kErrBadRecordLength, ""},
  };
  for (const auto& c : cases) {
    const SettingsReadResult result = read(c.bytes);
    EXPECT_EQ(result.failure, c.failure) << ::testing::PrintToString(c.bytes.substr(0, 60));
    EXPECT_EQ(shown(result), c.records) << ::testing::PrintToString(c.bytes.substr(0, 60));
  }
}

TEST_F(SettingsFile, ReadsAtMostMaxRecordsAndStopsEarlyInEndlessFields) {
  std::string records;
  for (int i = 0; i < 150; ++i) records += "\"X:\",\"d:\\" + std::to_string(i) + "\"\r\n";
  const auto result = read(records);
  ASSERT_EQ(result.records.size(), 100u);
  EXPECT_EQ(result.records.back().folder, "d:\\99");
  // Record 101 is never read, so damage after it goes unnoticed.
  EXPECT_EQ(read(records + "\"broken\"").failure, kOk);
  EXPECT_EQ(read(records, 3).records.size(), 3u);

  const std::pair<std::string, ErrorNumber> cases[] = {
      {"x", kErrBadRecordLength},
      {"\"", kErrBadRecordLength},  // all of it trails the first closing quote
      {"\"\",", kOk}};              // 200 empty fields, then it stops
  for (const auto& [pattern, failure] : cases) {
    fs.bytes_read = 0;
    std::string content;
    while (content.size() < (4u << 20)) content += pattern;
    EXPECT_EQ(read(content).failure, failure) << pattern;
    EXPECT_LT(fs.bytes_read, 1u << 20) << pattern;
  }
}

TEST_F(SettingsFile, MissingFileIs53AndAReadFailureKeepsTheRecordsBeforeIt) {
  EXPECT_EQ(read_settings(io, kPath).failure, kErrFileNotFound);
  fs.read_block = 16;  // the first record (14 bytes) is whole when the second read fails
  fs.failures = {{"read", {kOk, kErrDeviceIo}}};
  const auto result = read("\"C:\",\"c:\\a\"\r\n\"D:\",\"d:\\b\"\r\n");
  EXPECT_EQ(result.failure, kErrDeviceIo);
  EXPECT_EQ(shown(result), "C:=c:\\a");
}

TEST_F(SettingsFile, WritesCrLfLinesInShiftJisOrElseUtf8WithAMarkAndOnlyWhatReadsBack) {
  const struct {
    std::vector<DriveSetting> records;
    std::string bytes;
  } cases[] = {
      {{{"C:", "c:\\a"}, {"F:", "f:\\my docs"}}, "\"C:\",\"c:\\a\"\r\n\"F:\",\"f:\\my docs\"\r\n"},
      {{}, ""},
      {{{"T:", "d:\\表\\データ"}}, "\"T:\",\"d:\\\x95\x5C\\\x83\x66\x81\x5B\x83\x5E\"\r\n"},
      {{{"T:", "d:\\表"}, {"K:", "d:\\한국어"}},
       "\xEF\xBB\xBF\"T:\",\"d:\\表\"\r\n\"K:\",\"d:\\한국어\"\r\n"},
      // Shift-JIS that is also 2-byte UTF-8 reads back as Shift-JIS; with a 3-byte sequence
      // ("陝ｱ" = E8 9F B1) it would not, so it gets the mark.
      {{{"N:", "d:\\ﾅｶﾆｼ"}}, "\"N:\",\"d:\\\xC5\xB6\xC6\xBC\"\r\n"},
      {{{"T:", "d:\\陝ｱ"}}, "\xEF\xBB\xBF\"T:\",\"d:\\陝ｱ\"\r\n"},
      // A record that would not read back as it is stays out.
      {{{"Q:", "d:\\a\" /D \""}, {" R:", "r:\\"}, {"S:", "s:\\"}}, "\"S:\",\"s:\\\"\r\n"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(write_settings(io, kPath, c.records), kOk);
    EXPECT_EQ(fs.files, (Files{{kPath, c.bytes}}));
  }
}

TEST_F(SettingsFile, FailedWriteLeavesTheOldFileOrAWholeNewOneAndNoTemporary) {
  const std::string old_content = "\"Q:\",\"q:\\old\"\r\n";
  const std::pair<const char*, ErrorNumber> cases[] = {
      {"attributes", kErrDiskFull},
      {"create", kErrDiskFull},
      {"write", kErrDiskFull},
      {"flush", kErrDiskFull},
      {"close", kErrDiskFull},
      {"replace", kErrDiskFull},
      {"replace", kErrReplacementNotMovedBack},  // the old file is put back
      {"replace", kErrReplacementNotMoved}};     // the old file is gone: the new one stands
  for (const auto& [step, failure] : cases) {
    fs.files = {{kPath, old_content}};
    fs.failures = {{step, {failure}}};
    const bool saved = failure == kErrReplacementNotMoved;
    EXPECT_EQ(write_settings(io, kPath, kOneRecord), saved ? kOk : failure) << step << failure;
    EXPECT_EQ(fs.files, (Files{{kPath, saved ? "\"C:\",\"c:\\a\"\r\n" : old_content}})) << failure;
  }
  fs.files = {{kPath, old_content}};
  fs.failures.clear();
  fs.read_only.insert(kPath);
  EXPECT_EQ(write_settings(io, kPath, kOneRecord), kErrPathFileAccess);
  EXPECT_EQ(fs.files, (Files{{kPath, old_content}}));
}

// Another program holding the file open makes the replace fail for a while.
TEST_F(SettingsFile, ReplaceWaitsAboutFiveSecondsForAFileHeldOpen) {
  const auto save = [this](std::deque<ErrorNumber> answers) {
    fs.files = {{kPath, "old"}};
    fs.pauses.clear();
    fs.failures = {{"replace", answers}};
    return write_settings(io, kPath, kOneRecord);
  };
  EXPECT_EQ(save({kErrPathFileAccess, kErrReplacedInUse, kOk}), kOk);
  EXPECT_EQ(fs.pauses.size(), 2u);
  // Held for good: 70 whichever way the system refused, not 75 (read-only).
  for (const ErrorNumber held : {kErrPermissionDenied, kErrPathFileAccess, kErrReplacedInUse}) {
    EXPECT_EQ(save({held}), kErrPermissionDenied);
    const auto waited =
        std::accumulate(fs.pauses.begin(), fs.pauses.end(), std::chrono::milliseconds{0});
    EXPECT_GE(waited.count(), 4500);
    EXPECT_LE(waited.count(), 5500);
  }
  EXPECT_EQ(save({kErrDiskFull}), kErrDiskFull);
  EXPECT_TRUE(fs.pauses.empty());
}

TEST_F(SettingsFile, ASaveRemovesWhatACutShortSaveLeftBehind) {
  fs.files = {{kPath, "old"}, {"C:\\Tools\\~other.tmp", ""}};
  fs.failures = {{"write", {kErrDiskFull}}, {"remove", {kErrPermissionDenied}}};
  ASSERT_NE(write_settings(io, kPath, kOneRecord), kOk);
  ASSERT_EQ(fs.files.size(), 3u);  // its temporary file stayed

  fs.failures.clear();
  ASSERT_EQ(write_settings(io, kPath, kOneRecord), kOk);
  EXPECT_EQ(fs.files, (Files{{kPath, "\"C:\",\"c:\\a\"\r\n"}, {"C:\\Tools\\~other.tmp", ""}}));
}

TEST_F(SettingsFile, BackupKeepsThePreviousFileAndReplacesAnOlderOne) {
  constexpr const char* kBackup = "C:\\Tools\\NDek.ini.bak";
  fs.files = {{kPath, "\"Q:\",\"q:\\old\"\r\n\"R:\""}, {kBackup, "older"}};
  ASSERT_EQ(write_settings(io, kPath, kOneRecord, kBackup), kOk);
  EXPECT_EQ(fs.files,
            (Files{{kPath, "\"C:\",\"c:\\a\"\r\n"}, {kBackup, "\"Q:\",\"q:\\old\"\r\n\"R:\""}}));

  fs.files = {};  // no file, nothing to keep
  ASSERT_EQ(write_settings(io, kPath, {}, kBackup), kOk);
  EXPECT_EQ(fs.files, (Files{{kPath, ""}}));

  // A copy that fails stops the save before the file is touched.
  fs.files = {{kPath, "old"}};
  fs.failures = {{"read", {kErrDeviceIo}}};
  EXPECT_EQ(write_settings(io, kPath, {}, kBackup), kErrDeviceIo);
  EXPECT_EQ(fs.files, (Files{{kPath, "old"}}));
}

}  // namespace
}  // namespace ndek
