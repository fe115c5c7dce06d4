#include "platform/win32/win32.h"

#include <memory>
#include <string>

#include "gtest/gtest.h"
#include "platform/win32/file_system_win.h"
#include "platform/win32/strings_win.h"
#include "platform/win32/unique_handle_win.h"
#include "tests/e2e/harness.h"

namespace ndek {
namespace {

// A Japanese folder name: every path goes through the UTF-8 to UTF-16 boundary.
class Win32FileSystemTest : public ::testing::Test {
 protected:
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

  e2e::Scenario folder_{e2e::current_test_name(), "設定"};
  Win32FileSystem files_;
  const std::string target_ = folder_.path("NDek.ini");
  const std::wstring wide_target_ = to_wide(target_);
};

// Failures come as the runtime's numbers.
TEST_F(Win32FileSystemTest, ReadingGetsTheWholeContentAndLeavesTheFileOpenToWritingAndDeleting) {
  std::unique_ptr<InputFile> reader;
  EXPECT_EQ(files_.open_read(target_, reader), kErrFileNotFound);
  const std::string content = "\"C:\",\"c:\\my docs\"\r\n\x89\xBC";
  folder_.write_file("NDek.ini", content);
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

// Scanners, backup clients and older readers open the file for reading without delete
// sharing; the save waits on exactly these numbers.
TEST_F(Win32FileSystemTest, ReplacingAFileHeldOpenByAReaderIsRefusedAndLeavesIt) {
  ASSERT_EQ(save("old"), kOk);
  for (const DWORD sharing : {FILE_SHARE_READ, FILE_SHARE_READ | FILE_SHARE_WRITE}) {
    const UniqueFileHandle reader(CreateFileW(wide_target_.c_str(), GENERIC_READ, sharing, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reader);
    const ErrorNumber err = save("new");
    EXPECT_TRUE(err == kErrPermissionDenied || err == kErrPathFileAccess ||
                err == kErrReplacedInUse)
        << err << " sharing " << sharing;
    EXPECT_EQ(e2e::read_file_bytes(target_), "old");
  }
}

TEST_F(Win32FileSystemTest, LeftoverTemporaryFilesAreRemovedOnceNoLongerOpen) {
  std::unique_ptr<OutputFile> left, running;
  std::string left_path, running_path;
  EXPECT_EQ(files_.create_temp_beside(folder_.path("missing\\NDek.ini"), left, left_path),
            kErrPathNotFound);
  ASSERT_EQ(files_.create_temp_beside(target_, left, left_path), kOk);
  ASSERT_EQ(files_.create_temp_beside(target_, running, running_path), kOk);
  left.reset();  // as a save that was cut short leaves it
  const std::string left_replaced = left_path + kReplacedSuffix;
  folder_.write_file(left_replaced.substr(left_replaced.find_last_of('\\') + 1), "");
  const char* others[] = {"NDek.ini", "~NDek.ini.bak", "~NDek.ini.x1.tmp", "~other.1.tmp",
                          "~NDek.ini.tmp"};
  for (const char* name : others) folder_.write_file(name, "");

  files_.remove_leftover_temps(target_);
  EXPECT_FALSE(e2e::file_exists(left_path));
  EXPECT_FALSE(e2e::file_exists(left_replaced));
  EXPECT_TRUE(e2e::file_exists(running_path));
  for (const char* name : others) EXPECT_TRUE(folder_.has_file(name));
  running.reset();
  files_.remove_leftover_temps(target_);
  EXPECT_FALSE(e2e::file_exists(running_path));
}

}  // namespace
}  // namespace ndek
