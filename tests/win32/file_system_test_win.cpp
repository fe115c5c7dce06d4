#include "platform/win32/win32.h"

#include <memory>
#include <string>

#include "gtest/gtest.h"
#include "platform/win32/file_system_win.h"
#include "platform/win32/strings_win.h"
#include "platform/win32/unique_handle_win.h"
#include "tests/e2e/harness.h"
#include "tests/win32/test_support_win.h"

namespace ndek {
namespace {

using testing::ScratchFolder;

// A Japanese folder name: every path goes through the UTF-8 to UTF-16 boundary.
class Win32FileSystemTest : public ::testing::Test {
 protected:
  Win32FileSystemTest() : folder_(L"ndek-設定") {}

  // The whole save sequence as the settings writer runs it.
  ErrorNumber save(const std::string& bytes) {
    std::unique_ptr<OutputFile> file;
    std::string temp;
    if (ErrorNumber err = files_.create_temp_beside(target_, file, temp)) return err;
    if (ErrorNumber err = file->write(bytes.data(), bytes.size())) return err;
    if (ErrorNumber err = file->flush()) return err;
    if (ErrorNumber err = file->close()) return err;
    const std::string replaced = temp + kReplacedSuffix;
    const ErrorNumber err = files_.replace(temp, target_, replaced);
    if (err == kErrFileNotFound) return files_.move(temp, target_);  // the first save
    if (err == kOk) files_.remove(replaced);
    return err;
  }

  ScratchFolder folder_;
  Win32FileSystem files_;
  const std::wstring wide_target_ = folder_.file(L"NDek.ini");
  const std::string target_ = to_utf8(wide_target_);
};

TEST_F(Win32FileSystemTest, MissingFilesAndFoldersGiveTheRuntimeNumbers) {
  std::unique_ptr<InputFile> input;
  std::unique_ptr<OutputFile> output;
  std::string temp;
  const std::string in_missing_folder = folder_.utf8_file(L"missing\\NDek.ini");
  EXPECT_EQ(files_.open_read(target_, input), kErrFileNotFound);
  EXPECT_EQ(files_.open_read(in_missing_folder, input), kErrPathNotFound);
  EXPECT_EQ(files_.create_temp_beside(in_missing_folder, output, temp), kErrPathNotFound);
  EXPECT_EQ(files_.remove(target_), kErrFileNotFound);
}

TEST_F(Win32FileSystemTest, ReadingGetsTheWholeContentAndLeavesTheFileOpenToWritingAndDeleting) {
  const std::string content = "\"C:\",\"c:\\my docs\"\r\n\x89\xBC";
  ASSERT_TRUE(testing::write_whole_file(wide_target_, content));
  std::unique_ptr<InputFile> reader;
  ASSERT_EQ(files_.open_read(target_, reader), kOk);
  const UniqueFileHandle other(CreateFileW(wide_target_.c_str(), GENERIC_WRITE | DELETE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_TRUE(other);
  std::string bytes;
  char buffer[3];  // small, so that the content takes several reads
  std::size_t got = 0;
  while (reader->read(buffer, sizeof buffer, got) == kOk && got > 0) bytes.append(buffer, got);
  EXPECT_EQ(bytes, content);
}

TEST_F(Win32FileSystemTest, SavingReplacesTheTargetKeepsItsAttributesAndLeavesNoTemporaryFile) {
  ASSERT_EQ(save("old"), kOk);
  ASSERT_TRUE(SetFileAttributesW(wide_target_.c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_EQ(save("\"D:\",\"d:\\work\"\r\n"), kOk);
  EXPECT_EQ(e2e::read_file_bytes(to_utf8(wide_target_)), "\"D:\",\"d:\\work\"\r\n");
  EXPECT_NE(GetFileAttributesW(wide_target_.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  EXPECT_EQ(folder_.file_count(), 1u);
}

// Scanners and older readers open the file for reading without delete sharing.
TEST_F(Win32FileSystemTest, ReplacingAFileHeldOpenByAReaderIsRefusedAndLeavesIt) {
  ASSERT_EQ(save("old"), kOk);
  const UniqueFileHandle reader(CreateFileW(wide_target_.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(reader);
  const ErrorNumber err = save("new");
  EXPECT_TRUE(err == kErrPermissionDenied || err == kErrPathFileAccess || err == kErrReplacedInUse)
      << err;
  EXPECT_EQ(e2e::read_file_bytes(target_), "old");
}

TEST_F(Win32FileSystemTest, LeftoverTemporaryFilesAreRemovedOnceNoLongerOpen) {
  std::unique_ptr<OutputFile> left, running;
  std::string left_path, running_path;
  ASSERT_EQ(files_.create_temp_beside(target_, left, left_path), kOk);
  ASSERT_EQ(files_.create_temp_beside(target_, running, running_path), kOk);
  left.reset();  // as a save that was cut short leaves it
  const std::wstring left_replaced = to_wide(left_path + kReplacedSuffix);
  ASSERT_TRUE(testing::write_whole_file(left_replaced, ""));
  const wchar_t* others[] = {L"NDek.ini", L"~NDek.ini.bak", L"~NDek.ini.x1.tmp", L"~other.1.tmp",
                             L"~NDek.ini.tmp"};
  for (const wchar_t* name : others) ASSERT_TRUE(testing::write_whole_file(folder_.file(name), ""));

  files_.remove_leftover_temps(target_);
  EXPECT_FALSE(testing::file_exists(to_wide(left_path)));
  EXPECT_FALSE(testing::file_exists(left_replaced));
  EXPECT_TRUE(testing::file_exists(to_wide(running_path)));
  for (const wchar_t* name : others) EXPECT_TRUE(testing::file_exists(folder_.file(name)));
  running.reset();
  files_.remove_leftover_temps(target_);
  EXPECT_FALSE(testing::file_exists(to_wide(running_path)));
}

}  // namespace
}  // namespace ndek
