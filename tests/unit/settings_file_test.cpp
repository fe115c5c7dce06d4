#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <random>

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

TEST_F(SettingsFile, FieldsPairAcrossLineBreaks) {
  const auto result = read("\"C:\"\r\n\"c:\\a\",\"D:\"\r\n\"d:\\b\"\r\n");
  EXPECT_EQ(result.failure, kOk);
  EXPECT_EQ(result.records, records({{"C:", "c:\\a"}, {"D:", "d:\\b"}}));
}

TEST_F(SettingsFile, QuotedFieldKeepsCommasAndDropsTextAfterItsQuote) {
  EXPECT_EQ(read("\"C:\"junk,\"c:\\a,b\"tail\r\n").records, records({{"C:", "c:\\a,b"}}));
}

TEST_F(SettingsFile, DriveFieldWithoutFolderFailsAfterEarlierRecords) {
  for (const char* ending : {"\"E:\"\r\n", "\"E:\"", "\"E:\","}) {
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

TEST_F(SettingsFile, FailedWriteLeavesTheOldFileAndNoTemporary) {
  const std::string old_content = "\"Q:\",\"q:\\old\"\r\n";
  for (const char* step : {"attributes", "create", "write", "flush", "close", "replace"}) {
    fs.files = {{kPath, old_content}};
    fs.failures = {{step, kErrDiskFull}};
    EXPECT_EQ(write_settings(io, kPath, records({{"C:", "c:\\new"}})), kErrDiskFull) << step;
    EXPECT_EQ(fs.files, (std::map<std::string, std::string>{{kPath, old_content}})) << step;
  }
}

TEST_F(SettingsFile, ReadOnlyFileIsRefusedWithItsNumber) {
  fs.files[kPath] = "old";
  fs.read_only.insert(kPath);
  EXPECT_EQ(write_settings(io, kPath, records({{"C:", "c:\\a"}})), kErrPathFileAccess);
  EXPECT_EQ(fs.files[kPath], "old");
}

// Whatever the writer stores reads back unchanged.
TEST_F(SettingsFile, RoundTripsGeneratedRecordSets) {
  const std::vector<std::string> pieces = {"a",    "Z",    " ",   ",",     "\\",   "docs", "表",
                                           "ﾃﾞｰﾀ", "한",   "😀",  "'",     "&",    "..",   "%x%",
                                           "\\\\", "\t",   "é",   "—",     "~",    "¥"};
  std::mt19937 random(12345);
  for (int set = 0; set < 300; ++set) {
    std::vector<DriveSetting> written;
    const int count = random() % 27;
    for (int i = 0; i < count; ++i) {
      std::string folder = "d:\\";
      const int length = set == 0 ? 2000 : random() % 12;
      for (int k = 0; k < length; ++k) folder += pieces[random() % pieces.size()];
      written.push_back({std::string(1, static_cast<char>('A' + i)) + ":", folder});
    }
    ASSERT_EQ(write_settings(io, kPath, written), kOk);
    const auto result = read_settings(io, kPath);
    ASSERT_EQ(result.failure, kOk) << "set " << set;
    ASSERT_EQ(result.records, written) << "set " << set;
  }
}

}  // namespace
}  // namespace ndek
