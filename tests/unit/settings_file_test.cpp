#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <numeric>

#include "tests/fakes/cp932_code_page.h"
#include "tests/fakes/fake_file_system.h"

namespace ndek {
namespace {

using testing::FakeFileSystem;
using testing::Cp932CodePage;

constexpr const char* kPath = "C:\\Tools\\NDek.ini";

class SettingsFile : public ::testing::Test {
 protected:
  SettingsReadResult read(const std::string& content, std::size_t max = kMaxRecords) {
    fs.files[kPath] = content;
    return read_settings(io, kPath, max);
  }

  FakeFileSystem fs;
  Cp932CodePage cp932;
  SettingsIo io{fs, cp932};
};

std::vector<DriveSetting> records(std::initializer_list<std::pair<const char*, const char*>> list) {
  std::vector<DriveSetting> out;
  for (auto [d, f] : list) out.push_back({d, f});
  return out;
}

TEST_F(SettingsFile, MissingFileIsFailure53) {
  const auto result = read_settings(io, kPath);
  EXPECT_EQ(result.failure, kErrFileNotFound);
  EXPECT_TRUE(result.records.empty());
}

TEST_F(SettingsFile, EmptyFileHasNoRecordsAndNoFailure) {
  const auto result = read("");
  EXPECT_EQ(result.failure, kOk);
  EXPECT_TRUE(result.records.empty());
}

TEST_F(SettingsFile, ReadsQuotedAndUnquotedFields) {
  const auto result = read(
      "\"C:\",\"c:\\my docs\"\r\n"
      "D:,d:\\data\r\n"
      "  \"E:\" , \"e:\\x\"  \r\n"
      "F: ,  f:\\y  \r\n");
  EXPECT_EQ(result.failure, kOk);
  EXPECT_EQ(result.records, records({{"C:", "c:\\my docs"}, {"D:", "d:\\data"}, {"E:", "e:\\x"},
                                     {"F:", "f:\\y"}}));
}

TEST_F(SettingsFile, AcceptsCrOnlyLfOnlyAndNoFinalLineEnd) {
  EXPECT_EQ(read("\"C:\",\"c:\\a\"\r\"D:\",\"d:\\b\"").records,
            records({{"C:", "c:\\a"}, {"D:", "d:\\b"}}));
  EXPECT_EQ(read("\"C:\",\"c:\\a\"\n\"D:\",\"d:\\b\"\n").records,
            records({{"C:", "c:\\a"}, {"D:", "d:\\b"}}));
}

TEST_F(SettingsFile, BlankLinesAndCtrlZAtTheEndEndTheFile) {
  for (const char* ending :
       {"\r\n", "\r\n\r\n  \r\n\t\n", "\r\n\x1A", "\r\n\r\n\x1A\r\n", "\x1A"}) {
    const auto result = read(std::string("\"C:\",\"c:\\a\"") + ending);
    EXPECT_EQ(result.failure, kOk) << ::testing::PrintToString(ending);
    EXPECT_EQ(result.records, records({{"C:", "c:\\a"}}));
  }
  // Elsewhere a blank line is still an empty field, and so is an empty field at a line's end.
  EXPECT_EQ(read("\"C:\",\"c:\\a\"\r\n\r\n\r\n\"D:\",\"d:\\b\"\r\n\r\n").records,
            records({{"C:", "c:\\a"}, {"", ""}, {"D:", "d:\\b"}}));
  EXPECT_EQ(read("\"C:\",\r\n").records, records({{"C:", ""}}));
}

TEST_F(SettingsFile, FieldsPairAcrossLineBreaks) {
  const auto result = read("\"C:\"\r\n\"c:\\a\",\"D:\"\r\n\"d:\\b\"\r\n");
  EXPECT_EQ(result.failure, kOk);
  EXPECT_EQ(result.records, records({{"C:", "c:\\a"}, {"D:", "d:\\b"}}));
}

TEST_F(SettingsFile, QuotedFieldKeepsCommasAndDropsTextAfterItsQuote) {
  EXPECT_EQ(read("\"C:\"junk,\"c:\\a,b\"tail\r\n").records, records({{"C:", "c:\\a,b"}}));
}

TEST_F(SettingsFile, DriveFieldWithoutFolderFailsAfterEarlierRecords) {
  for (const char* ending : {"\"E:\"\r\n", "\"E:\"", "\"E:\",", "\"E:\"\r\n\r\n\x1A"}) {
    const auto result = read(std::string("\"C:\",\"c:\\a\"\r\n") + ending);
    EXPECT_NE(result.failure, kOk) << ending;
    EXPECT_NE(result.failure, kErrFileNotFound);
    EXPECT_NE(result.failure, kErrFileExists);
    EXPECT_EQ(result.records, records({{"C:", "c:\\a"}})) << ending;
  }
}

TEST_F(SettingsFile, ReadsAtMostMaxRecords) {
  std::string content;
  for (int i = 0; i < 150; ++i) content += "\"X:\",\"d:\\" + std::to_string(i) + "\"\r\n";
  const auto result = read(content);
  EXPECT_EQ(result.failure, kOk);
  ASSERT_EQ(result.records.size(), 100u);
  EXPECT_EQ(result.records.back().folder, "d:\\99");
  // Record 101 is never read, so damage after it goes unnoticed.
  EXPECT_EQ(read(content + "\"broken\"").records.size(), 100u);
  EXPECT_EQ(read(content, 3).records.size(), 3u);
}

TEST_F(SettingsFile, UnquotedNumericDriveFieldIsMarked) {
  const auto result = read("5,d:\\x\r\n\"5\",d:\\y\r\n5a,d:\\z\r\n-1.5e3,d:\\w\r\n");
  ASSERT_EQ(result.records.size(), 4u);
  EXPECT_TRUE(result.records[0].drive_is_number);
  EXPECT_FALSE(result.records[1].drive_is_number);
  EXPECT_FALSE(result.records[2].drive_is_number);
  EXPECT_TRUE(result.records[3].drive_is_number);
}

TEST_F(SettingsFile, ShiftJisIsDecodedBeforeFieldsAreUsed) {
  // "表" is 0x95 0x5C in Shift-JIS: its trail byte is a backslash.
  const auto result = read("\"T:\",\"d:\\\x95\x5C\\\x83\x66\x81\x5B\x83\x5E\"\r\n");
  EXPECT_EQ(result.failure, kOk);
  EXPECT_EQ(result.records, records({{"T:", "d:\\表\\データ"}}));
}

// Without a mark the whole file is UTF-8 when all of it is valid UTF-8 and some of it is
// not ASCII, and Shift-JIS otherwise.
TEST_F(SettingsFile, EncodingWithoutAMarkIsTakenFromTheWholeFile) {
  const auto sjis = [this](const std::string& text) {
    std::string bytes;
    EXPECT_TRUE(cp932.encode(text, bytes)) << text;
    return bytes;
  };
  const struct {
    std::string bytes;
    std::vector<DriveSetting> expected;
  } cases[] = {
      {"\"P:\",\"d:\\写真\\家族 2024年\"\r\n\"S:\",\"\\\\サーバー\\共有\"\r\n",
       records({{"P:", "d:\\写真\\家族 2024年"}, {"S:", "\\\\サーバー\\共有"}})},
      {"\"P:\",\"" + sjis("d:\\写真\\家族 2024年") + "\"\r\n",
       records({{"P:", "d:\\写真\\家族 2024年"}})},
      // "ﾄｳ" in Shift-JIS is also valid UTF-8 ("ĳ"); the next record is not.
      {"\"T:\",\"" + sjis("d:\\ﾄｳ") + "\"\r\n\"U:\",\"" + sjis("d:\\データ") + "\"\r\n",
       records({{"T:", "d:\\ﾄｳ"}, {"U:", "d:\\データ"}})},
  };
  for (const auto& c : cases) {
    const auto result = read(c.bytes);
    EXPECT_EQ(result.failure, kOk) << c.bytes;
    EXPECT_EQ(result.records, c.expected) << c.bytes;
  }
}

TEST_F(SettingsFile, ByteOrderMarkMeansUtf8) {
  const auto result = read("\xEF\xBB\xBF\"K:\",\"d:\\한국어\"\r\n");
  EXPECT_EQ(result.failure, kOk);
  EXPECT_EQ(result.records, records({{"K:", "d:\\한국어"}}));
}

TEST_F(SettingsFile, UndecodableTextIsAFailure) {
  EXPECT_EQ(read("\xEF\xBB\xBF\"K:\",\"\xC3\x28\"\r\n").failure, kErrInvalidFileFormat);
  EXPECT_EQ(read("\"K:\",\"\x81\"\r\n").failure, kErrInvalidFileFormat);  // a lone lead byte
}

TEST_F(SettingsFile, OverlongFieldFailsWithoutReadingTheWholeFile) {
  std::size_t consumed = 0;
  fs.streams[kPath] = [&] { return testing::make_repeating_input("x", 1ull << 30, &consumed); };
  auto result = read_settings(io, kPath);
  EXPECT_EQ(result.failure, kErrBadRecordLength);
  EXPECT_LT(consumed, 1u << 20);

  consumed = 0;
  fs.streams[kPath] = [&] { return testing::make_repeating_input("\"", 1ull << 30, &consumed); };
  result = read_settings(io, kPath);
  EXPECT_EQ(result.failure, kErrBadRecordLength);  // all of it trails the first closing quote
  EXPECT_LT(consumed, 1u << 20);

  consumed = 0;
  fs.streams[kPath] = [&] { return testing::make_repeating_input("\"\",", 1ull << 30, &consumed); };
  result = read_settings(io, kPath);
  EXPECT_EQ(result.failure, kOk);
  EXPECT_EQ(result.records.size(), 100u);  // 200 empty fields, then it stops
  EXPECT_LT(consumed, 1u << 20);
  fs.streams.clear();

  // Just inside the limit is fine.
  EXPECT_EQ(read("\"C:\",\"" + std::string(kMaxFieldChars, 'a') + "\"").failure, kOk);
  EXPECT_EQ(read("\"C:\",\"" + std::string(kMaxFieldChars + 1, 'a') + "\"").failure,
            kErrBadRecordLength);
}

TEST_F(SettingsFile, ReadFailureKeepsTheRecordsBeforeIt) {
  // Serves the first 16 bytes, then fails: the first record (14 bytes) is whole by then.
  struct FailingInput : InputFile {
    std::string content = "\"C:\",\"c:\\a\"\r\n\"D:\",\"d:\\b\"\r\n";
    std::size_t pos = 0;
    ErrorNumber read(char* buffer, std::size_t capacity, std::size_t& got) override {
      got = 0;
      if (pos >= 16) return kErrDeviceIo;
      got = std::min<std::size_t>(capacity, 16 - pos);
      content.copy(buffer, got, pos);
      pos += got;
      return kOk;
    }
  };
  fs.streams[kPath] = [] { return std::make_unique<FailingInput>(); };
  const auto result = read_settings(io, kPath);
  EXPECT_EQ(result.failure, kErrDeviceIo);
  EXPECT_EQ(result.records, records({{"C:", "c:\\a"}}));
}

TEST_F(SettingsFile, WritesOneCrLfLinePerRecordInOrder) {
  ASSERT_EQ(write_settings(io, kPath, records({{"C:", "c:\\a"}, {"F:", "f:\\my docs"}})), kOk);
  EXPECT_EQ(fs.files[kPath], "\"C:\",\"c:\\a\"\r\n\"F:\",\"f:\\my docs\"\r\n");
  ASSERT_EQ(write_settings(io, kPath, {}), kOk);
  EXPECT_EQ(fs.files[kPath], "");
  EXPECT_EQ(fs.files.size(), 1u);  // no temporary file left
}

TEST_F(SettingsFile, WritesShiftJisWhenTheCodePageHoldsEveryCharacter) {
  ASSERT_EQ(write_settings(io, kPath, records({{"T:", "d:\\表\\データ"}})), kOk);
  EXPECT_EQ(fs.files[kPath], "\"T:\",\"d:\\\x95\x5C\\\x83\x66\x81\x5B\x83\x5E\"\r\n");
}

TEST_F(SettingsFile, WritesUtf8WithMarkWhenACharacterWouldBeLost) {
  ASSERT_EQ(write_settings(io, kPath, records({{"T:", "d:\\表"}, {"K:", "d:\\한국어"}})), kOk);
  EXPECT_EQ(fs.files[kPath], "\xEF\xBB\xBF\"T:\",\"d:\\表\"\r\n\"K:\",\"d:\\한국어\"\r\n");
}

TEST_F(SettingsFile, WritesUtf8WithMarkWhenShiftJisWouldPassForUtf8) {
  ASSERT_EQ(write_settings(io, kPath, records({{"T:", "d:\\ﾄｳ"}})), kOk);
  EXPECT_EQ(fs.files[kPath], "\xEF\xBB\xBF\"T:\",\"d:\\ﾄｳ\"\r\n");
}

TEST_F(SettingsFile, FailedWriteLeavesTheOldFileAndNoTemporary) {
  const std::string old_content = "\"Q:\",\"q:\\old\"\r\n";
  for (const char* step : {"attributes", "create", "write", "flush", "close", "replace"}) {
    fs.files = {{kPath, old_content}};
    fs.failures = {{step, kErrDiskFull}};
    EXPECT_EQ(write_settings(io, kPath, records({{"C:", "c:\\new"}})), kErrDiskFull) << step;
    EXPECT_EQ(fs.files, (std::map<std::string, std::string>{{kPath, old_content}})) << step;
  }
}

// Another program holding the file open makes the replace fail for a while.
TEST_F(SettingsFile, ReplaceWaitsAboutASecondForAFileHeldOpen) {
  const auto save = [this](ErrorNumber failure, int times) {
    fs.pauses.clear();
    fs.failures = {{"replace", failure}};
    fs.failures_left = {{"replace", times}};
    return write_settings(io, kPath, records({{"C:", "c:\\a"}}));
  };
  EXPECT_EQ(save(kErrPathFileAccess, 2), kOk);
  EXPECT_EQ(fs.pauses.size(), 2u);
  // Held for good: 70 whichever way the system refused, not 75 (read-only).
  for (const ErrorNumber held : {kErrPermissionDenied, kErrPathFileAccess}) {
    EXPECT_EQ(save(held, 1000), kErrPermissionDenied);
    const auto waited =
        std::accumulate(fs.pauses.begin(), fs.pauses.end(), std::chrono::milliseconds{0});
    EXPECT_GE(waited.count(), 800);
    EXPECT_LE(waited.count(), 1500);
  }
  EXPECT_EQ(save(kErrDiskFull, 1000), kErrDiskFull);
  EXPECT_TRUE(fs.pauses.empty());
}

TEST_F(SettingsFile, ASaveRemovesWhatACutShortSaveLeftBehind) {
  fs.files = {{kPath, "old"}, {"C:\\Tools\\~other.tmp", ""}};
  fs.failures = {{"write", kErrDiskFull}, {"remove", kErrPermissionDenied}};
  ASSERT_NE(write_settings(io, kPath, records({{"C:", "c:\\a"}})), kOk);
  ASSERT_EQ(fs.files.size(), 3u);  // its temporary file stayed

  fs.failures.clear();
  ASSERT_EQ(write_settings(io, kPath, records({{"C:", "c:\\a"}})), kOk);
  EXPECT_EQ(fs.files, (std::map<std::string, std::string>{{kPath, "\"C:\",\"c:\\a\"\r\n"},
                                                          {"C:\\Tools\\~other.tmp", ""}}));
}

TEST_F(SettingsFile, BackupKeepsThePreviousFileAndReplacesAnOlderOne) {
  constexpr const char* kBackup = "C:\\Tools\\NDek.ini.bak";
  fs.files = {{kPath, "\"Q:\",\"q:\\old\"\r\n\"R:\""}, {kBackup, "older"}};
  ASSERT_EQ(write_settings(io, kPath, records({{"C:", "c:\\a"}}), kBackup), kOk);
  EXPECT_EQ(fs.files,
            (std::map<std::string, std::string>{{kPath, "\"C:\",\"c:\\a\"\r\n"},
                                                {kBackup, "\"Q:\",\"q:\\old\"\r\n\"R:\""}}));

  // No file, nothing to keep.
  fs.files = {};
  ASSERT_EQ(write_settings(io, kPath, {}, kBackup), kOk);
  EXPECT_EQ(fs.files.count(kBackup), 0u);

  // A copy that fails stops the save before the file is touched.
  fs.files = {{kPath, "old"}};
  fs.failures = {{"read", kErrDeviceIo}};
  EXPECT_EQ(write_settings(io, kPath, {}, kBackup), kErrDeviceIo);
  EXPECT_EQ(fs.files, (std::map<std::string, std::string>{{kPath, "old"}}));
}

TEST_F(SettingsFile, ReadOnlyFileIsRefusedWithItsNumber) {
  fs.files[kPath] = "old";
  fs.read_only.insert(kPath);
  EXPECT_EQ(write_settings(io, kPath, records({{"C:", "c:\\a"}})), kErrPathFileAccess);
  EXPECT_EQ(fs.files[kPath], "old");
}

}  // namespace
}  // namespace ndek
