#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "platform/command_line.h"
#include "platform/win32/platform_services_win.h"
#include "platform/win32/program_dir_win.h"
#include "platform/win32/strings_win.h"
#include "platform/win32/unique_handle_win.h"
#include "tests/e2e/record_line.h"
#include "tests/win32/test_support_win.h"

namespace ndek {
namespace {

TEST(DirectoryOfTest, KeepsTheSeparatorOnlyAtADriveRoot) {
  const struct {
    const wchar_t* path;
    const wchar_t* directory;
  } cases[] = {
      {L"C:\\Tools\\NDek.exe", L"C:\\Tools"},
      {L"C:\\NDek.exe", L"C:\\"},
      {L"C:\\Program Files\\仮想\\NDek.exe", L"C:\\Program Files\\仮想"},
      {L"\\\\server\\share\\NDek.exe", L"\\\\server\\share"},
      {L"\\\\?\\C:\\NDek.exe", L"\\\\?\\C:\\"},
      {L"\\\\?\\C:\\Tools\\NDek.exe", L"\\\\?\\C:\\Tools"},
  };
  for (const auto& c : cases) EXPECT_EQ(directory_of(c.path), c.directory) << to_utf8(c.path);
}

TEST(Win32PlatformTest, ProgramDirHoldsTheRunningProgram) {
  Win32Platform platform;
  const std::string directory = platform.ProgramDir();
  ASSERT_FALSE(directory.empty());
  EXPECT_NE(directory.back(), '\\');
  EXPECT_TRUE(testing::file_exists(to_wide(program_file(directory, "ndek_platform_win_tests.exe"))))
      << directory;
}

TEST(Win32PlatformTest, LettersWithoutADriveHaveNoRoot) {
  Win32Platform platform;
  const DWORD drives = GetLogicalDrives();
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string root = std::string(1, letter) + ":\\";
    const DriveKind kind = platform.DriveType(root);
    if (drives & (1u << (letter - 'A'))) {
      EXPECT_NE(kind, DriveKind::kNoRoot) << root;
    } else {
      EXPECT_EQ(kind, DriveKind::kNoRoot) << root;
    }
  }
}

TEST(Win32PlatformTest, AProgramThatCannotBeFoundIs53) {
  Win32Platform platform;
  EXPECT_EQ(platform.RunCommand("ndek-no-such-program-4f1c.exe /x", WindowStyle::kHidden),
            kErrFileNotFound);
}

TEST(Win32PlatformTest, AFileThatIsNoProgramFailsWithAnotherNumber) {
  testing::ScratchFolder folder(L"ndek-run");
  ASSERT_TRUE(testing::write_whole_file(folder.file(L"subst.exe"), "not a program\r\n"));
  Win32Platform platform;
  const ErrorNumber err =
      platform.RunCommand(quote_argument(folder.utf8_file(L"subst.exe")), WindowStyle::kHidden);
  EXPECT_NE(err, kOk);
  EXPECT_NE(err, kErrFileNotFound);
}

// Starts the recorder that stands in for the system commands and reads what it saw.
TEST(Win32PlatformTest, StartsTheCommandLineAsGivenWithTheWindowStyle) {
  Win32Platform platform;
  const std::string recorder = program_file(platform.ProgramDir(), "recorder.exe");
  const struct {
    WindowStyle style;
    int show_command;
  } cases[] = {
      {WindowStyle::kHidden, SW_HIDE},
      {WindowStyle::kNormalFocus, SW_SHOWNORMAL},
      {WindowStyle::kMinimizedFocus, SW_SHOWMINIMIZED},
  };
  for (const auto& c : cases) {
    testing::ScratchFolder folder(L"ndek-run");
    ASSERT_TRUE(CopyFileW(to_wide(recorder).c_str(), folder.file(L"subst.exe").c_str(), FALSE));
    const std::string command = quote_argument(folder.utf8_file(L"subst.exe")) +
                                " X: \"d:\\my docs\" " + quote_argument("e:\\仮想\\");
    ASSERT_EQ(platform.RunCommand(command, c.style), kOk);
    // RunCommand does not wait; the recorder holds its log alone until the line is whole.
    std::optional<std::string> bytes;
    for (int i = 0; i < 1000 && !(bytes = testing::read_whole_file(folder.file(L"record.log")));
         ++i) {
      Sleep(20);
    }
    ASSERT_TRUE(bytes) << "no record";
    const auto record = e2e::parse_record_line(bytes->substr(0, bytes->find('\n')));
    ASSERT_TRUE(record) << *bytes;
    EXPECT_EQ(record->show_window, c.show_command);
    EXPECT_EQ(record->command_line, command);
    EXPECT_EQ(record->arguments, (std::vector<std::string>{folder.utf8_file(L"subst.exe"),
                                                           "X:", "d:\\my docs", "e:\\仮想\\"}));
  }
}

TEST(Win32PlatformTest, PumpingHandlesPendingMessagesAndKeepsTheQuitMessage) {
  Win32Platform platform;
  PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
  PostQuitMessage(7);
  platform.PumpEvents();
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 7u);
  EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST(Win32PlatformTest, EndProgramHidesTheWindowsAndEndsTheMessageLoop) {
  Win32Platform platform;
  const UniqueWindow window(CreateWindowExW(0, L"STATIC", L"NDek", WS_POPUP | WS_VISIBLE, 0, 0, 100,
                                            50, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(window);
  ASSERT_TRUE(IsWindowVisible(window.get()));
  EXPECT_FALSE(platform.ended());
  platform.EndProgram();
  EXPECT_TRUE(platform.ended());
  EXPECT_FALSE(IsWindowVisible(window.get()));
  MSG message;
  bool quit = false;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    quit = quit || message.message == WM_QUIT;
  EXPECT_TRUE(quit);
}

TEST(Win32PlatformTest, HelpWithoutAViewerIs53AndOtherwiseGoesToTheViewer) {
  Win32Platform platform;
  EXPECT_EQ(platform.ShowHelp("C:\\Tools\\NDek.hlp", kHelpFinder), kErrFileNotFound);
  std::string opened;
  platform.set_help_viewer([&opened](const std::string& file, int command) {
    opened = file + "|" + std::to_string(command);
    return kErrPathFileAccess;
  });
  EXPECT_EQ(platform.ShowHelp("C:\\Tools\\NDek.hlp", kHelpFinder), kErrPathFileAccess);
  EXPECT_EQ(opened, "C:\\Tools\\NDek.hlp|15");
}

}  // namespace
}  // namespace ndek
