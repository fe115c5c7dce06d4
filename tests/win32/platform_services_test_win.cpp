#include "platform/win32/win32.h"

#include <memory>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "platform/win32/platform_services_win.h"
#include "platform/win32/program_dir_win.h"
#include "platform/win32/strings_win.h"
#include "platform/win32/unique_handle_win.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/record_line.h"

namespace ndek {
namespace {

TEST(DirectoryOfTest, KeepsTheSeparatorOnlyAtADriveRoot) {
  const struct {
    const wchar_t* path;
    const wchar_t* directory;
  } cases[] = {
      {L"C:\\NDek.exe", L"C:\\"},
      {L"C:\\Program Files\\仮想\\NDek.exe", L"C:\\Program Files\\仮想"},
      {L"\\\\?\\C:\\NDek.exe", L"\\\\?\\C:\\"},
  };
  for (const auto& c : cases) EXPECT_EQ(directory_of(c.path), c.directory) << to_utf8(c.path);
}

ErrorNumber run(Win32Platform& platform, const std::string& program, const std::string& line,
                WindowStyle style = WindowStyle::kHidden) {
  std::unique_ptr<StartedCommand> started;
  return platform.RunCommand(program, line, style, started);
}

TEST(Win32PlatformTest, AProgramThatCannotBeFoundIs53AndAFileThatIsNoProgramAnotherNumber) {
  const e2e::Scenario folder(e2e::current_test_name());
  Win32Platform platform;
  EXPECT_EQ(run(platform, folder.path("ndek-no-such-program.exe"), "subst X: d:\\a"),
            kErrFileNotFound);
  folder.write_file("subst.exe", "not a program\r\n");
  const ErrorNumber err = run(platform, folder.path("subst.exe"), "subst X: d:\\a");
  EXPECT_NE(err, kOk);
  EXPECT_NE(err, kErrFileNotFound);
}

// Starts the recorder that stands in for the system commands, under a command line that
// names another program, and reads what it saw.
TEST(Win32PlatformTest, StartsTheProgramFileWithTheCommandLineAndStyle) {
  Win32Platform platform;
  const struct {
    WindowStyle style;
    int show_command;
  } cases[] = {
      {WindowStyle::kHidden, SW_HIDE},
      {WindowStyle::kNormalFocus, SW_SHOWNORMAL},
      {WindowStyle::kMinimizedFocus, SW_SHOWMINIMIZED},
  };
  for (const auto& c : cases) {
    e2e::Scenario folder(e2e::current_test_name() + std::to_string(c.show_command));
    const std::string subst = folder.add_recorder("subst.exe");
    const std::string command = "subst X: \"d:\\仮想\\한국어\"";
    // Held on to: letting go of a hidden command would end it.
    std::unique_ptr<StartedCommand> started;
    ASSERT_EQ(platform.RunCommand(subst, command, c.style, started), kOk);
    // RunCommand does not wait; the recorder holds its log alone until the line is whole.
    ASSERT_TRUE(e2e::poll_until([&] { return !folder.records().empty(); })) << "no record";
    EXPECT_EQ(folder.records()[0].show_window, c.show_command);
    EXPECT_EQ(folder.records()[0].command_line, command);
  }
}

// net.exe hands its work to net1.exe, a console program it starts with no flags. Neither may
// show a console window nor wait for input nobody can type; what they print comes back as
// text; and letting go of the command ends both.
TEST(Win32PlatformTest, ACommandAndItsConsoleChildShowNoWindowGetNoInputAndEndWhenLetGo) {
  Win32Platform platform;
  // Our standard input: a pipe that stays open and empty, as a console nobody types into.
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  ASSERT_TRUE(CreatePipe(&read_end, &write_end, &inheritable, 0));
  const UniqueKernelHandle input(read_end), input_writer(write_end);
  SetStdHandle(STD_INPUT_HANDLE, read_end);
  e2e::Scenario folder(e2e::current_test_name());
  folder.add_recorder("net1.exe");
  folder.write_file("stand-in.txt", "Z: 2/53\r\nhang\r\n");
  std::unique_ptr<StartedCommand> started;
  ASSERT_EQ(platform.RunCommand(folder.add_recorder("net.exe"), "net use Z: \"\\\\s\\p\"",
                                WindowStyle::kHidden, started),
            kOk);
  // net prints, starts net1 and waits for it; net1 records its start and hangs.
  ASSERT_TRUE(e2e::poll_until([&] { return folder.records().size() == 2; }));
  for (const e2e::RecordLine& record : folder.records()) {
    EXPECT_EQ(record.input, "ends") << record.program;
    EXPECT_NE(record.console, "visible") << record.program;  // none, or one without a window
  }
  EXPECT_EQ(
      started->Output(),
      "\r\nシステム エラー 53 が発生しました。\r\n\r\nネットワーク パスが見つかりません。\r\n\r\n");
  ASSERT_EQ(folder.running_processes().size(), 2u);
  started.reset();
  EXPECT_TRUE(e2e::poll_until([&] { return folder.running_processes().empty(); }));
}

TEST(Win32PlatformTest, CurrentMappingTellsAFolderGivenToSubstFromADiskAndNothing) {
  Win32Platform platform;
  const e2e::FreedLetters letters({"Q:"});
  EXPECT_EQ(platform.CurrentMapping("Q:"), DriveMapping{});
  ASSERT_TRUE(DefineDosDeviceW(0, L"Q:", L"C:\\windows\\仮想 dir"));
  EXPECT_EQ(platform.CurrentMapping("Q:"),
            (DriveMapping{DriveMapping::Kind::kFolder, "C:\\windows\\仮想 dir"}));
  DefineDosDeviceW(DDD_REMOVE_DEFINITION, L"Q:", nullptr);
  ASSERT_TRUE(DefineDosDeviceW(DDD_RAW_TARGET_PATH, L"Q:", L"\\??\\UNC\\server\\share"));
  EXPECT_EQ(platform.CurrentMapping("Q:"),
            (DriveMapping{DriveMapping::Kind::kFolder, "\\\\server\\share"}));
  const std::string system_drive = platform.SystemDir().substr(0, 2);
  EXPECT_EQ(platform.CurrentMapping(system_drive), DriveMapping{}) << system_drive;
}

TEST(Win32PlatformTest, WaitingAndPumpingHandleMessagesAndPumpingKeepsTheQuitMessage) {
  Win32Platform platform;
  MSG message;
  PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
  platform.WaitForCommands({}, 50);
  EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_REMOVE)) << "not handled";
  PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
  PostQuitMessage(7);
  platform.PumpEvents();
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 7u);
  EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

}  // namespace
}  // namespace ndek
