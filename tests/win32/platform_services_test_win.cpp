#include "platform/win32/win32.h"
#include <tlhelp32.h>

#include <algorithm>
#include <memory>
#include <optional>
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
      {L"\\\\server\\share\\NDek.exe", L"\\\\server\\share"},
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

// This program's standard input, for as long as it lives: a pipe that stays open and empty,
// as a console would that nobody types into.
class InputThatNeverEnds {
 public:
  InputThatNeverEnds() : saved_(GetStdHandle(STD_INPUT_HANDLE)) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    if (CreatePipe(&read_end, &write_end, &inheritable, 0)) {
      read_end_.reset(read_end);
      write_end_.reset(write_end);
      SetStdHandle(STD_INPUT_HANDLE, read_end);
    }
  }
  InputThatNeverEnds(const InputThatNeverEnds&) = delete;
  InputThatNeverEnds& operator=(const InputThatNeverEnds&) = delete;
  ~InputThatNeverEnds() { SetStdHandle(STD_INPUT_HANDLE, saved_); }

 private:
  HANDLE saved_;
  UniqueKernelHandle read_end_;
  UniqueKernelHandle write_end_;
};

// Starts the recorder that stands in for the system commands, under a command line that
// names another program, and reads what it saw.
TEST(Win32PlatformTest, StartsTheProgramFileWithTheCommandLineAndStyle) {
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
    const e2e::Scenario folder(e2e::current_test_name() + std::to_string(c.show_command));
    ASSERT_TRUE(
        CopyFileW(to_wide(recorder).c_str(), to_wide(folder.path("subst.exe")).c_str(), FALSE));
    const std::string command = "subst X: \"d:\\仮想\\한국어\"";
    // Held on to: letting go of a hidden command would end it.
    std::unique_ptr<StartedCommand> started;
    ASSERT_EQ(platform.RunCommand(folder.path("subst.exe"), command, c.style, started), kOk);
    // RunCommand does not wait; the recorder holds its log alone until the line is whole.
    std::optional<std::string> bytes;
    for (int i = 0; i < 1000 && !(bytes = folder.read_file("record.log")); ++i) Sleep(20);
    ASSERT_TRUE(bytes) << "no record";
    const auto record = e2e::parse_record_line(bytes->substr(0, bytes->find('\n')));
    ASSERT_TRUE(record) << *bytes;
    EXPECT_EQ(record->show_window, c.show_command);
    EXPECT_EQ(record->command_line, command);
  }
}

// How many processes run the program file `path`; with `end`, they are ended as well, so
// that none outlives a failed test.
int processes_of(const std::wstring& path, bool end = false) {
  const UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    const UniqueKernelHandle process(OpenProcess(
        PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
    wchar_t image[MAX_PATH];
    DWORD size = MAX_PATH;
    if (process && QueryFullProcessImageNameW(process.get(), 0, image, &size) &&
        CompareStringOrdinal(image, -1, path.c_str(), -1, TRUE) == CSTR_EQUAL) {
      ++count;
      if (end) TerminateProcess(process.get(), 1);
    }
  }
  return count;
}

// net.exe hands its work to net1.exe, a console program it starts with no flags. Neither may
// show a console window nor wait for input nobody can type; what they print comes back as
// text; and letting go of the command ends both.
TEST(Win32PlatformTest, ACommandAndItsConsoleChildShowNoWindowGetNoInputAndEndWhenLetGo) {
  Win32Platform platform;
  const InputThatNeverEnds input;
  const std::string recorder = program_file(platform.ProgramDir(), "recorder.exe");
  const e2e::Scenario folder(e2e::current_test_name());
  for (const char* name : {"net.exe", "net1.exe"}) {
    ASSERT_TRUE(CopyFileW(to_wide(recorder).c_str(), to_wide(folder.path(name)).c_str(), FALSE));
  }
  folder.write_file("stand-in.txt", "Z: 2/53\r\nhang\r\n");
  const std::wstring net = to_wide(folder.path("net.exe"));
  const std::wstring net1 = to_wide(folder.path("net1.exe"));
  std::unique_ptr<StartedCommand> started;
  ASSERT_EQ(platform.RunCommand(folder.path("net.exe"), "net use Z: \"\\\\s\\p\"",
                                WindowStyle::kHidden, started),
            kOk);
  // net prints, starts net1 and waits for it; net1 records its start and hangs.
  std::string log;
  for (int i = 0; i < 500 && std::count(log.begin(), log.end(), '\n') < 2; ++i) {
    Sleep(20);
    log = folder.read_file("record.log").value_or("");
  }
  ASSERT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
  for (std::size_t at = 0, end; (end = log.find('\n', at)) != std::string::npos; at = end + 1) {
    const auto record = e2e::parse_record_line(log.substr(at, end - at));
    ASSERT_TRUE(record) << log;
    EXPECT_EQ(record->input, "ends") << record->program;
    EXPECT_NE(record->console, "visible") << record->program;  // none, or one without a window
  }
  EXPECT_EQ(
      started->Output(),
      "\r\nシステム エラー 53 が発生しました。\r\n\r\nネットワーク パスが見つかりません。\r\n\r\n");
  ASSERT_EQ(processes_of(net1), 1);
  started.reset();
  for (int i = 0; i < 250 && processes_of(net1) > 0; ++i) Sleep(20);
  EXPECT_EQ(processes_of(net1, true) + processes_of(net, true), 0);
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
