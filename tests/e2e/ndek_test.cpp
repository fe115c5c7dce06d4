// NDek.exe from start to end, run from a folder with a blank and Japanese text in its name:
// its settings file in, the commands it starts (caught by recorders standing in for subst.exe
// and net.exe in the system folder, and for NDekMan.exe beside it) and its messages out.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/strings_win.h"
#include "tests/e2e/harness.h"

namespace ndek::e2e {
namespace {

using ::testing::ElementsAre;

const std::string kTitle = "仮想ドライブ設定";

class NDek : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!install_system_stand_ins()) GTEST_SKIP() << "the stand-ins for subst and net need Wine";
  }

  // Checks the message NDek shows (none when `text` is empty) and answers it; waits until
  // NDek and the commands it started have ended, and returns what they recorded.
  std::vector<RecordLine> finish(const Process& ndek, const std::string& text = {},
                                 int answer = IDOK) {
    if (!text.empty()) {
      const MessageBoxView box = wait_for_message_box(ndek.id());
      EXPECT_EQ(box.title, kTitle);
      EXPECT_EQ(box.text, text);
      box.press(answer);
    }
    const auto box = wait_for_exit_or_message_box(ndek);
    EXPECT_FALSE(box) << "unexpected message: " << box->title << " / " << box->text;
    ndek.wait_for_exit();
    scenario.wait_until_idle();
    return scenario.records();
  }

  Scenario scenario{current_test_name(), "仮想 ドライブ"};
  const std::string ndek_path = scenario.prepare_mounter();
};

// "X: | d:\data": the parsed arguments after the program's own name.
std::vector<std::string> arguments_after_program(const std::vector<RecordLine>& records) {
  std::vector<std::string> lines;
  for (const RecordLine& record : records) {
    std::string line;
    for (std::size_t i = 1; i < record.arguments.size(); ++i) {
      line += (i > 1 ? " | " : "") + record.arguments[i];
    }
    lines.push_back(line);
  }
  return sorted(std::move(lines));
}

// The share's command fails; the report gives the reason net printed, in code page 932.
TEST_F(NDek, ShiftJisRecordsBecomeCommandsFromTheSystemFolderAfterTheWindowShows) {
  // Programs of the same names beside NDek.exe and in the folder it is started in.
  Scenario elsewhere(current_test_name() + "_current");
  for (const char* name : {"subst.exe", "net.exe"}) {
    scenario.add_recorder(name);
    elsewhere.add_recorder(name);
  }
  // d:\ソフト\表 in code page 932: the last byte of ソ and of 表 is the backslash's.
  scenario.write_file("NDek.ini",
                      "\"J:\",\"d:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C\"\r\n"
                      "\"P:\",\"c:\\my docs\"\r\n\"X:\",\"d:\\\"\r\n\"Y:\",\"\\\\srv\\pub\\\"\r\n");
  scenario.write_file("stand-in.txt", "Y: 2/85\r\n");
  const Process ndek = scenario.start("NDek.exe", {}, elsewhere.dir());
  const HWND window = wait_for_window(ndek.id(), "NDekStartupWindow");
  EXPECT_FALSE(scenario.has_file("record.log"));  // the commands wait for the window's timer
  EXPECT_EQ(window_text(window), kTitle);
  EXPECT_TRUE((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0 ||
              GetWindow(window, GW_OWNER) != nullptr)
      << "shown in the task bar";

  const std::vector<RecordLine> records = finish(
      ndek,
      "次の仮想ドライブを設定できませんでした。\r\rY: ← \\\\srv\\pub\\（ローカル デバイス名は"
      "既に使用されています。　エラー№= 85）\r");
  // A trailing backslash stays out of the command, except on a drive root.
  EXPECT_THAT(arguments_after_program(records),
              ElementsAre("J: | d:\\ソフト\\表", "P: | c:\\my docs", "X: | d:\\",
                          "use | Y: | \\\\srv\\pub | /persistent:no"));
  // A 32-bit program on 64-bit Windows is given System32 and sent on to SysWOW64, where the
  // started programs then find themselves.
  wchar_t system_dir[MAX_PATH];
  BOOL wow64 = FALSE;
  const std::wstring expected_dir(system_dir, IsWow64Process(GetCurrentProcess(), &wow64) && wow64
                                                  ? GetSystemWow64DirectoryW(system_dir, MAX_PATH)
                                                  : GetSystemDirectoryW(system_dir, MAX_PATH));
  for (const RecordLine& record : records) {
    const std::wstring dir = to_wide(record.program.substr(0, record.program.rfind('\\')));
    EXPECT_EQ(CompareStringOrdinal(dir.c_str(), -1, expected_dir.c_str(), -1, TRUE), CSTR_EQUAL)
        << record.program;
  }
}

// Sends a message as the system would to the watcher's hidden window.
void send(HWND window, UINT message, WPARAM wparam) {
  DWORD_PTR result = 0;
  ASSERT_NE(SendMessageTimeoutW(window, message, wparam, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);
}

// The watcher maps, after resume, unlock and a second instance's hand-over, the letters that
// could not be mapped before, and never the one the user removed; it shows nothing and ends at
// log-off.
TEST_F(NDek, WatcherBringsBackWhatWasNotMappedYetAndLeavesARemovedLetterAlone) {
  const FreedLetters letters({"X:", "Y:", "Z:", "W:"});
  std::string ini;
  for (const char* letter : {"X", "Y", "Z", "W"}) {
    ini += std::string("\"") + letter + ":\",\"" + scenario.path(letter) + "\"\r\n";
  }
  scenario.write_file("NDek.ini", ini);
  scenario.write_file("stand-in.txt", "map\r\nY: 1\r\nZ: 1 1\r\nW: 1 1 1\r\n");
  const auto mapped = [&](const char* letter) {
    return poll_until(
        [&] { return dos_device(std::string(letter) + ":") == "\\??\\" + scenario.path(letter); });
  };

  const Process ndek = scenario.start("NDek.exe", "/watch");
  wait_for_message_box(ndek.id()).press(IDOK);
  ASSERT_TRUE(mapped("X"));
  const std::vector<HWND> watch = top_level_windows(ndek.id(), "NDekWatchWindow", false);
  ASSERT_EQ(watch.size(), 1u);
  EXPECT_EQ(GetWindow(watch[0], GW_OWNER), nullptr);
  DefineDosDeviceW(DDD_REMOVE_DEFINITION, L"X:", nullptr);  // the user removes X

  send(watch[0], WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
  EXPECT_TRUE(mapped("Y"));
  send(watch[0], WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
  EXPECT_TRUE(mapped("Z"));
  EXPECT_EQ(scenario.start("NDek.exe", "/watch").wait_for_exit(), 0u);
  EXPECT_TRUE(mapped("W"));

  EXPECT_EQ(dos_device("X:"), std::nullopt);
  EXPECT_TRUE(top_level_windows(ndek.id()).empty());
  // Log-off; a watcher still busy with a look ends before it answers.
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(watch[0], WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
  SendMessageTimeoutW(watch[0], WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &answer);
  ndek.wait_for_exit();
  scenario.wait_until_idle();
  const std::vector<std::string> started = arguments_after_program(scenario.records());
  EXPECT_EQ(std::count(started.begin(), started.end(), "X: | " + scenario.path("X")), 1);
  EXPECT_EQ(std::count(started.begin(), started.end(), "W: | " + scenario.path("W")), 4);
}

std::uint64_t cpu_ms(const Process& process) {
  FILETIME created, ended, kernel, user;
  GetProcessTimes(process.handle(), &created, &ended, &kernel, &user);
  const auto ms = [](FILETIME t) {
    return ((std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime) / 10000;
  };
  return ms(kernel) + ms(user);
}

// Idle, the watcher waits on messages and the address-change event (which Wine never
// signals) without using the processor; "/stop" ends it.
TEST_F(NDek, IdleWatcherUsesNoProcessorAndStopEndsIt) {
  scenario.write_file("NDek.ini", "");
  const Process ndek = scenario.start("NDek.exe", "/watch");
  // The log-on run is over once the startup window has gone and the watch window stays.
  ASSERT_TRUE(poll_until([&] {
    return top_level_windows(ndek.id(), "NDekStartupWindow", false).empty() &&
           top_level_windows(ndek.id(), "NDekWatchWindow", false).size() == 1;
  }));
  const std::uint64_t before = cpu_ms(ndek);
  Sleep(2000);
  EXPECT_LT(cpu_ms(ndek) - before, 100u) << "the idle watcher spins";
  EXPECT_EQ(scenario.start("NDek.exe", "/stop").wait_for_exit(), 0u);
  ndek.wait_for_exit();
}

}  // namespace
}  // namespace ndek::e2e
