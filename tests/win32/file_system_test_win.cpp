#include <windows.h>

#include <memory>
#include <string>

#include "gtest/gtest.h"
#include "platform/win32/file_system_win.h"
#include "platform/win32/strings_win.h"
#include "platform/win32/unique_handle_win.h"
#include "tests/win32/test_support_win.h"

namespace ndek {
namespace {

using testing::ScratchFolder;

// A Japanese folder name: every path goes through the UTF-8 to UTF-16 boundary.
class Win32FileSystemTest : public ::testing::Test {
 protected:
  Win32FileSystemTest() : folder_(L"ndek-設定") {}

  // The whole save sequence as the settings writer runs it.
  ErrorNumber save(const std::string& target, const std::string& bytes) {
    std::unique_ptr<OutputFile> file;
    std::string temp;
    if (ErrorNumber err = files_.create_temp_beside(target, file, temp)) return err;
    if (ErrorNumber err = file->write(bytes.data(), bytes.size())) return err;
    if (ErrorNumber err = file->flush()) return err;
    if (ErrorNumber err = file->close()) return err;
    return files_.replace(temp, target);
  }

  std::string read_all(const std::string& path) {
    std::unique_ptr<InputFile> file;
    EXPECT_EQ(files_.open_read(path, file), kOk);
    std::string bytes;
    if (!file) return bytes;
    char buffer[3];  // small, so that the content takes several reads
    std::size_t got = 0;
    while (file->read(buffer, sizeof buffer, got) == kOk && got > 0) bytes.append(buffer, got);
    return bytes;
  }

  ScratchFolder folder_;
  Win32FileSystem files_;
};

TEST_F(Win32FileSystemTest, OpeningAMissingFileOrFolderGivesTheRuntimeNumbers) {
  std::unique_ptr<InputFile> file;
  EXPECT_EQ(files_.open_read(folder_.utf8_file(L"NDek.ini"), file), kErrFileNotFound);
  EXPECT_EQ(files_.open_read(folder_.utf8_file(L"missing\\NDek.ini"), file), kErrPathNotFound);
  EXPECT_EQ(file, nullptr);
}

TEST_F(Win32FileSystemTest, ReadsTheWholeContentAndThenNothing) {
  const std::string content = "\"C:\",\"c:\\my docs\"\r\n\x89\xBC";
  ASSERT_TRUE(testing::write_whole_file(folder_.file(L"NDek.ini"), content));
  EXPECT_EQ(read_all(folder_.utf8_file(L"NDek.ini")), content);
}

TEST_F(Win32FileSystemTest, ReadingLeavesTheFileOpenToWritingAndDeleting) {
  ASSERT_TRUE(testing::write_whole_file(folder_.file(L"NDek.ini"), "old"));
  std::unique_ptr<InputFile> reader;
  ASSERT_EQ(files_.open_read(folder_.utf8_file(L"NDek.ini"), reader), kOk);
  const UniqueFileHandle other(CreateFileW(folder_.file(L"NDek.ini").c_str(),
                                           GENERIC_WRITE | DELETE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_TRUE(other);
}

TEST_F(Win32FileSystemTest, ASaveKeepsTheAttributesOfTheFileItReplaces) {
  const std::wstring target = folder_.file(L"NDek.ini");
  ASSERT_TRUE(testing::write_whole_file(target, "old"));
  ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_EQ(save(folder_.utf8_file(L"NDek.ini"), "new"), kOk);
  EXPECT_EQ(testing::read_whole_file(target), "new");
  EXPECT_NE(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL));
}

TEST_F(Win32FileSystemTest, LeftoverTemporaryFilesAreRemovedUnlessStillOpen) {
  const std::string target = folder_.utf8_file(L"NDek.ini");
  std::unique_ptr<OutputFile> left, running;
  std::string left_path, running_path;
  ASSERT_EQ(files_.create_temp_beside(target, left, left_path), kOk);
  ASSERT_EQ(files_.create_temp_beside(target, running, running_path), kOk);
  left.reset();  // as a save that was cut short leaves it
  const wchar_t* others[] = {L"NDek.ini", L"~NDek.ini.bak", L"~NDek.ini.x1.tmp", L"~other.1.tmp",
                             L"~NDek.ini.tmp"};
  for (const wchar_t* name : others) ASSERT_TRUE(testing::write_whole_file(folder_.file(name), ""));

  files_.remove_leftover_temps(target);
  EXPECT_FALSE(testing::file_exists(to_wide(left_path)));
  EXPECT_TRUE(testing::file_exists(to_wide(running_path)));
  for (const wchar_t* name : others) EXPECT_TRUE(testing::file_exists(folder_.file(name)));
}

TEST_F(Win32FileSystemTest, SavingCreatesOrReplacesTheTargetAndLeavesNoTemporaryFile) {
  const std::string target = folder_.utf8_file(L"NDek.ini");
  ASSERT_EQ(save(target, "\"D:\",\"d:\\work\"\r\n"), kOk);
  EXPECT_EQ(testing::read_whole_file(folder_.file(L"NDek.ini")), "\"D:\",\"d:\\work\"\r\n");
  ASSERT_EQ(save(target, ""), kOk);
  EXPECT_EQ(testing::read_whole_file(folder_.file(L"NDek.ini")), "");
  EXPECT_EQ(folder_.file_count(), 1u);
}

TEST_F(Win32FileSystemTest, TemporaryFilesAreNewDistinctAndBesideTheTarget) {
  const std::string target = folder_.utf8_file(L"NDek.ini");
  std::unique_ptr<OutputFile> first, second;
  std::string first_path, second_path;
  ASSERT_EQ(files_.create_temp_beside(target, first, first_path), kOk);
  ASSERT_EQ(files_.create_temp_beside(target, second, second_path), kOk);
  EXPECT_NE(first_path, second_path);
  EXPECT_NE(first_path, target);
  const std::string directory = target.substr(0, target.rfind('\\') + 1);
  for (const std::string& path : {first_path, second_path}) {
    EXPECT_EQ(path.substr(0, directory.size()), directory);
    EXPECT_EQ(path.find('\\', directory.size()), std::string::npos) << path;
  }
  EXPECT_EQ(folder_.file_count(), 2u);
}

TEST_F(Win32FileSystemTest, TemporaryFileInAMissingFolderFails) {
  std::unique_ptr<OutputFile> file;
  std::string temp;
  EXPECT_EQ(files_.create_temp_beside(folder_.utf8_file(L"missing\\NDek.ini"), file, temp),
            kErrPathNotFound);
}

TEST_F(Win32FileSystemTest, DroppingAnOutputFileClosesIt) {
  std::unique_ptr<OutputFile> file;
  std::string temp;
  ASSERT_EQ(files_.create_temp_beside(folder_.utf8_file(L"NDek.ini"), file, temp), kOk);
  // Opened without sharing: nothing else can remove it while it is open.
  EXPECT_NE(files_.remove(temp), kOk);
  file.reset();
  EXPECT_EQ(files_.remove(temp), kOk);
  EXPECT_EQ(folder_.file_count(), 0u);
}

TEST_F(Win32FileSystemTest, RemovingAMissingFileIs53) {
  EXPECT_EQ(files_.remove(folder_.utf8_file(L"NDek.ini")), kErrFileNotFound);
}

TEST_F(Win32FileSystemTest, ReadOnlyAttribute) {
  ASSERT_TRUE(testing::write_whole_file(folder_.file(L"plain.ini"), "x"));
  ASSERT_TRUE(testing::write_whole_file(folder_.file(L"locked.ini"), "x"));
  ASSERT_TRUE(SetFileAttributesW(folder_.file(L"locked.ini").c_str(), FILE_ATTRIBUTE_READONLY));
  const struct {
    const wchar_t* name;
    bool read_only;
  } cases[] = {
      {L"plain.ini", false},
      {L"locked.ini", true},
      {L"missing.ini", false},
      {L"missing\\NDek.ini", false},
  };
  for (const auto& c : cases) {
    bool read_only = !c.read_only;
    EXPECT_EQ(files_.is_read_only(folder_.utf8_file(c.name), read_only), kOk) << c.name;
    EXPECT_EQ(read_only, c.read_only) << c.name;
  }
}

}  // namespace
}  // namespace ndek
