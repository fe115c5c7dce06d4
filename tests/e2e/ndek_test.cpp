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
constexpr int kHidden = 0;

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

TEST_F(NDek, ShiftJisRecordsBecomeHiddenCommandsFromTheSystemFolderAfterTheWindowShows) {
  // Programs of the same names beside NDek.exe and in the folder it is started in.
  const Scenario elsewhere(current_test_name() + "_current");
  for (const char* name : {"subst.exe", "net.exe"}) {
    scenario.add_recorder(name);
    CopyFileW(to_wide(tools_dir() + "\\recorder.exe").c_str(),
              to_wide(elsewhere.path(name)).c_str(), FALSE);
  }
  // d:\ソフト\表 in code page 932: the last byte of ソ and of 表 is the backslash's.
  scenario.write_file("NDek.ini",
                      "\"J:\",\"d:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C\"\r\n"
                      "\"P:\",\"c:\\my docs\"\r\n\"X:\",\"d:\\\"\r\n\"Y:\",\"\\\\srv\\pub\\\"\r\n");
  const Process ndek = scenario.start("NDek.exe", {}, elsewhere.dir());
  const HWND window = wait_for_window(ndek.id(), "NDekStartupWindow");
  EXPECT_FALSE(scenario.has_file("record.log"));  // the commands wait for the window's timer
  EXPECT_EQ(window_text(window), kTitle);
  EXPECT_TRUE((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0 ||
              GetWindow(window, GW_OWNER) != nullptr)
      << "shown in the task bar";

  const std::vector<RecordLine> records = finish(ndek);
  EXPECT_THAT(arguments_after_program(records),
              ElementsAre("J: | d:\\ソフト\\表", "P: | c:\\my docs", "X: | d:\\",
                          "use | Y: | \\\\srv\\pub\\ | /persistent:no"));
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
    EXPECT_TRUE(record.show_window_set && record.show_window == SW_HIDE) << record.command_line;
  }
}

TEST_F(NDek, MissingSettingsYesStartsTheManagerByBareNameInANormalWindow) {
  const std::vector<RecordLine> records = finish(scenario.start("NDek.exe"),
                                                 "仮想ドライブの設定がされていません。\r\r設定のた"
                                                 "め仮想ドライブマネージャーを起動しますか？\r\r",
                                                 IDYES);
  EXPECT_THAT(describe_sorted(records),
              ElementsAre(expected_start("NDekMan.exe", "NDekMan.exe", SW_SHOWNORMAL)));
}

TEST_F(NDek, NetUseIsTriedAgainWithoutAWindowAndWhatFailedIsListedInOneMessage) {
  const FreedLetters letters({"X:", "Y:"});
  const std::string folder = scenario.path("y folder");
  // One failed try only: a wait of more than five seconds without messages would make the
  // system take NDek for hung just as its message box comes up.
  scenario.write_file("stand-in.txt", "map\r\nX: 1\r\nR: 2\r\n");
  scenario.write_file("NDek.ini", "\"X:\",\"d:\\a\"\r\n\"Y:\",\"" + folder +
                                      "\"\r\n\"R:\",\"\\\\server\\share\"\r\n");
  const Process ndek = scenario.start("NDek.exe");
  ASSERT_TRUE(poll_until([&] { return scenario.records().size() == 3; }));
  // Waiting for the next try, the mounter shows nothing.
  EXPECT_TRUE(poll_until([&] { return top_level_windows(ndek.id()).empty(); }));
  EXPECT_TRUE(ndek.running());

  const std::vector<RecordLine> records =
      finish(ndek, "次の仮想ドライブを設定できませんでした。\r\rX: ← d:\\a（終了コード= 1）\r");
  const std::string net =
      expected_start("net.exe", "net use R: \"\\\\server\\share\" /persistent:no", kHidden);
  const std::vector<std::string> started = describe_sorted(records);
  EXPECT_EQ(std::count(started.begin(), started.end(), net), 2);
  EXPECT_EQ(dos_device("X:"), std::nullopt);
  EXPECT_EQ(dos_device("Y:"), "\\??\\" + folder);
}

TEST_F(NDek, TheReportGivesTheReasonNetPrintedInCodePage932) {
  scenario.write_file("stand-in.txt", "R: 2/85\r\n");
  scenario.write_file("NDek.ini", "\"R:\",\"\\\\nas\\share\"\r\n");
  finish(scenario.start("NDek.exe"),
         "次の仮想ドライブを設定できませんでした。\r\rR: ← "
         "\\\\nas\\share（ローカル デバイス名は既に使用されています。　エラー№= 85）\r");
}

}  // namespace
}  // namespace ndek::e2e
