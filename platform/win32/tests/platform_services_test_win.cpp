#include "platform/win32/win32.h"

#include <string>

#include "gtest/gtest.h"
#include "platform/command_line.h"
#include "platform/win32/platform_services_win.h"
#include "platform/win32/program_dir_win.h"
#include "platform/win32/strings_win.h"
#include "platform/win32/tests/test_support_win.h"
#include "platform/win32/unique_handle_win.h"

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

// Starts this test program in its recording role and reads what it saw.
TEST(Win32PlatformTest, StartsTheCommandLineAsGivenWithTheWindowStyle) {
  testing::ScratchFolder folder(L"ndek-run");
  Win32Platform platform;
  const std::string self = program_file(platform.ProgramDir(), "ndek_platform_win_tests.exe");
  const struct {
    WindowStyle style;
    int show_command;
  } cases[] = {
      {WindowStyle::kHidden, SW_HIDE},
      {WindowStyle::kNormalFocus, SW_SHOWNORMAL},
      {WindowStyle::kMinimizedFocus, SW_SHOWMINIMIZED},
  };
  for (const auto& c : cases) {
    const std::wstring record =
        folder.file(L"started-" + std::to_wstring(static_cast<int>(c.style)) + L".txt");
    const std::string command = quote_argument(self) + " --record " +
                                quote_argument(to_utf8(record)) + " X: \"d:\\my docs\" " +
                                quote_argument("e:\\仮想\\");
    ASSERT_EQ(platform.RunCommand(command, c.style), kOk);
    // RunCommand does not wait; the started program needs a moment to write its record.
    for (int i = 0; i < 1000 && !testing::file_exists(record); ++i) Sleep(20);
    EXPECT_EQ(testing::read_whole_file(record),
              std::to_string(c.show_command) + "\nX:\nd:\\my docs\ne:\\仮想\\\n");
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
