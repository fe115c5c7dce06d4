// NDek.exe from start to end: its settings file in, the commands it starts (caught by
// recorders standing in for subst.exe and net.exe in the system folder, and for NDekMan.exe
// beside it) and its messages out.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/strings_win.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/window_places.h"

namespace ndek::e2e {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kTitle = "仮想ドライブ設定";
const std::string kNotSetUp =
    "仮想ドライブの設定がされていません。\r\r設定のため仮想ドライブマネージャーを起動しますか？\r"
    "\r";
const std::string kFaulty =
    "設定情報に何からの異常が発生してるため、仮想ドライブを設定できません。\r\r"
    "設定のため仮想ドライブマネージャーを起動しますか？\r\r";
constexpr int kHidden = 0;
constexpr int kNormal = 1;
constexpr int kMinimized = 2;

class NDek : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!install_system_stand_ins()) GTEST_SKIP() << "the stand-ins for subst and net need Wine";
  }

  // Runs NDek on `settings` (no file when nothing) until it ends by itself, which it must do
  // without asking anything; the starts it caused, once they have all been recorded.
  std::vector<RecordLine> run_to_end(const std::optional<std::string>& settings) {
    if (settings) scenario.write_file("NDek.ini", *settings);
    const Process ndek = scenario.start("NDek.exe");
    const auto box = wait_for_exit_or_message_box(ndek);
    EXPECT_FALSE(box) << "unexpected message: " << box->title << " / " << box->text;
    ndek.wait_for_exit();
    scenario.wait_until_idle();
    return scenario.records();
  }

  // Runs NDek until it asks, checks the question, answers it and waits for the end.
  std::vector<RecordLine> answer_question(const std::string& question, int answer) {
    const Process ndek = scenario.start("NDek.exe");
    const MessageBoxView box = wait_for_message_box(ndek.id());
    EXPECT_EQ(box.title, kTitle);
    EXPECT_EQ(box.text, question);
    EXPECT_TRUE(box.has_button(IDYES) && box.has_button(IDNO) && !box.has_button(IDOK));
    box.press(answer);
    const auto second = wait_for_exit_or_message_box(ndek);
    EXPECT_FALSE(second) << "unexpected message: " << second->title << " / " << second->text;
    ndek.wait_for_exit();
    scenario.wait_until_idle();
    return scenario.records();
  }

  Scenario scenario{current_test_name()};
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

TEST_F(NDek, MissingSettingsYesStartsTheManagerByBareNameInANormalWindow) {
  EXPECT_THAT(describe_sorted(answer_question(kNotSetUp, IDYES)),
              ElementsAre(expected_start("NDekMan.exe", "NDekMan.exe", kNormal)));
  EXPECT_FALSE(scenario.has_file("NDek.ini"));
}

TEST_F(NDek, MissingSettingsNoStartsNothing) {
  EXPECT_THAT(answer_question(kNotSetUp, IDNO), IsEmpty());
}

TEST_F(NDek, EmptySettingsEndQuietlyWithoutCommands) { EXPECT_THAT(run_to_end(""), IsEmpty()); }

TEST_F(NDek, RecordsBecomeHiddenSubstAndNetUseCommands) {
  const std::vector<RecordLine> records = run_to_end(
      "\"X:\",\"d:\\data\"\r\n"
      "\"Y:\",\"\\\\server\\share\"\r\n"
      "\"P:\",\"c:\\my docs\"\r\n"
      "\"c:\",\"d:\\work\"\r\n"
      "\"Q:\",\"\\data\"\r\n");
  // The system here reports version 5 or later: network drives are not made persistent.
  EXPECT_THAT(
      describe_sorted(records),
      ElementsAre(
          expected_start("net.exe", "net use Y: \"\\\\server\\share\" /persistent:no", kHidden),
          expected_start("subst.exe", "subst P: \"c:\\my docs\"", kHidden),
          expected_start("subst.exe", "subst Q: \"\\data\"", kHidden),
          expected_start("subst.exe", "subst X: \"d:\\data\"", kHidden),
          expected_start("subst.exe", "subst c: \"d:\\work\"", kHidden)));
  EXPECT_THAT(arguments_after_program(records),
              ElementsAre("P: | c:\\my docs", "Q: | \\data", "X: | d:\\data", "c: | d:\\work",
                          "use | Y: | \\\\server\\share | /persistent:no"));
}

TEST_F(NDek, RootFolderReachesTheCommandUnchanged) {
  // A closing quote right after a backslash would swallow the quote ("d:\" reads as d:").
  const std::vector<RecordLine> records =
      run_to_end("\"X:\",\"d:\\\"\r\n\"Y:\",\"\\\\srv\\pub\\\"\r\n");
  EXPECT_THAT(describe_sorted(records),
              ElementsAre(expected_start("net.exe",
                                         "net use Y: \"\\\\srv\\pub\\\\\" /persistent:no", kHidden),
                          expected_start("subst.exe", "subst X: \"d:\\\\\"", kHidden)));
  EXPECT_THAT(arguments_after_program(records),
              ElementsAre("X: | d:\\", "use | Y: | \\\\srv\\pub\\ | /persistent:no"));
}

TEST_F(NDek, HundredTwentyRecordsStartTheFirstHundred) {
  std::string settings;
  std::vector<std::string> expected;
  for (int i = 0; i < 120; ++i) {
    const std::string drive(1, static_cast<char>('A' + i % 26));
    const std::string folder = "d:\\f" + std::to_string(i);
    settings += "\"" + drive + ":\",\"" + folder + "\"\r\n";
    if (i < 100)
      expected.push_back(
          expected_start("subst.exe", "subst " + drive + ": \"" + folder + "\"", kHidden));
  }
  EXPECT_EQ(describe_sorted(run_to_end(settings)), sorted(expected));
}

TEST_F(NDek, ShiftJisFoldersKeepTheirJapaneseText) {
  // d:\ソフト\表 and d:\データ in code page 932; the last byte of ソ and of 表 is 0x5C, the
  // code of the backslash.
  const std::vector<RecordLine> records = run_to_end(
      "\"J:\",\"d:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C\"\r\n"
      "\"K:\",\"d:\\\x83\x66\x81\x5B\x83\x5E\"\r\n");
  EXPECT_THAT(describe_sorted(records),
              ElementsAre(expected_start("subst.exe", "subst J: \"d:\\ソフト\\表\"", kHidden),
                          expected_start("subst.exe", "subst K: \"d:\\データ\"", kHidden)));
  EXPECT_THAT(arguments_after_program(records),
              ElementsAre("J: | d:\\ソフト\\表", "K: | d:\\データ"));
}

TEST_F(NDek, Utf8SettingsWithByteOrderMarkKeepTextOutsideTheCodePage) {
  const std::vector<RecordLine> records =
      run_to_end("\xEF\xBB\xBF\"K:\",\"d:\\한국어 자료\"\r\n\"L:\",\"\\\\서버\\공유\"\r\n");
  EXPECT_THAT(describe_sorted(records),
              ElementsAre(expected_start("net.exe", "net use L: \"\\\\서버\\공유\" /persistent:no",
                                         kHidden),
                          expected_start("subst.exe", "subst K: \"d:\\한국어 자료\"", kHidden)));
}

TEST_F(NDek, FaultySettingsStartNothingAndYesStartsTheManagerMinimizedByFullPath) {
  scenario.write_file("NDek.ini", "\"C:\",\"c:\\a\"\r\n\"E:\"\r\n");
  const std::vector<RecordLine> records = answer_question(kFaulty, IDYES);
  const std::string manager = scenario.path("NDekMan.exe");
  EXPECT_THAT(describe_sorted(records),
              ElementsAre(expected_start("NDekMan.exe", "\"" + manager + "\"", kMinimized)));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_THAT(records[0].arguments, ElementsAre(manager));
}

TEST_F(NDek, FaultySettingsNoStartsNothing) {
  scenario.write_file("NDek.ini", "\"C:\",\"c:\\a\"\r\n\"E:\"\r\n");
  EXPECT_THAT(answer_question(kFaulty, IDNO), IsEmpty());
}

// The program's own directory reaches the settings file name and the manager's command line
// intact.
TEST(NDekFolder, ProgramDirectoryWithBlankAndJapaneseTextIsUsedIntact) {
  Scenario scenario(current_test_name(), "仮想 ドライブ");
  scenario.prepare_mounter();
  scenario.write_file("NDek.ini", "\"E:\"\r\n");
  const Process ndek = scenario.start("NDek.exe");
  const MessageBoxView box = wait_for_message_box(ndek.id());
  // The settings were found (else the question would be the one about missing settings).
  EXPECT_EQ(box.text, kFaulty);
  box.press(IDYES);
  ndek.wait_for_exit();
  scenario.wait_until_idle();
  const std::vector<RecordLine> records = scenario.records();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(describe(records[0]),
            expected_start("NDekMan.exe", "\"" + scenario.path("NDekMan.exe") + "\"", kMinimized));
  EXPECT_THAT(records[0].arguments, ElementsAre(scenario.path("NDekMan.exe")));
}

TEST_F(NDek, CommandsComeFromTheSystemFolderNotFromBesideItOrTheCurrentFolder) {
  // Programs of the same names beside NDek.exe and in the folder it is started in.
  const Scenario elsewhere(current_test_name() + "_current");
  for (const char* name : {"subst.exe", "net.exe"}) {
    scenario.add_recorder(name);
    CopyFileW(to_wide(tools_dir() + "\\recorder.exe").c_str(),
              to_wide(elsewhere.path(name)).c_str(), FALSE);
  }
  scenario.write_file("NDek.ini", "\"X:\",\"d:\\data\"\r\n\"Y:\",\"\\\\server\\share\"\r\n");
  const Process ndek = scenario.start("NDek.exe", {}, elsewhere.dir());
  const auto box = wait_for_exit_or_message_box(ndek);
  EXPECT_FALSE(box) << "unexpected message: " << box->title << " / " << box->text;
  ndek.wait_for_exit();
  scenario.wait_until_idle();

  // A 32-bit program on 64-bit Windows is given System32 and sent on to SysWOW64, where the
  // started programs then find themselves.
  wchar_t system_dir[MAX_PATH];
  BOOL wow64 = FALSE;
  const UINT length = IsWow64Process(GetCurrentProcess(), &wow64) && wow64
                          ? GetSystemWow64DirectoryW(system_dir, MAX_PATH)
                          : GetSystemDirectoryW(system_dir, MAX_PATH);
  const std::string expected_dir = to_utf8(std::wstring_view(system_dir, length));
  const std::vector<RecordLine> records = scenario.records();
  ASSERT_EQ(records.size(), 2u);
  for (const RecordLine& record : records) {
    const std::string dir = record.program.substr(0, record.program.find_last_of('\\'));
    EXPECT_EQ(
        CompareStringOrdinal(to_wide(dir).c_str(), -1, to_wide(expected_dir).c_str(), -1, TRUE),
        CSTR_EQUAL)
        << record.program;
  }
}

TEST_F(NDek, DrivesThatCouldNotBeSetUpAreListedInOneMessageAndTheOthersAreMapped) {
  const FreedLetters letters({"X:", "Y:"});
  const std::string folder = scenario.path("y folder");
  scenario.write_file("stand-in.txt", "map\r\nX: 1\r\n");
  scenario.write_file("NDek.ini", "\"X:\",\"d:\\a\"\r\n\"Y:\",\"" + folder + "\"\r\n");
  const Process ndek = scenario.start("NDek.exe");
  const MessageBoxView box = wait_for_message_box(ndek.id());
  EXPECT_EQ(box.title, kTitle);
  EXPECT_EQ(box.text, "次の仮想ドライブを設定できませんでした。\r\rX: ← d:\\a（終了コード= 1）\r");
  EXPECT_TRUE(box.has_button(IDOK) && !box.has_button(IDYES) && !box.has_button(IDNO));
  // The startup window went before the message.
  EXPECT_THAT(top_level_windows(ndek.id(), "NDekStartupWindow"), IsEmpty());
  box.press(IDOK);
  const auto second = wait_for_exit_or_message_box(ndek);
  EXPECT_FALSE(second) << "a second message: " << second->text;
  ndek.wait_for_exit();
  EXPECT_EQ(dos_device("X:"), std::nullopt);
  EXPECT_EQ(dos_device("Y:"), "\\??\\" + folder);
}

TEST_F(NDek, NetUseThatFailsAtFirstIsTriedAgainWithoutAWindowUntilItSucceeds) {
  scenario.write_file("stand-in.txt", "R: 2 2\r\n");
  scenario.write_file("NDek.ini", "\"R:\",\"\\\\server\\share\"\r\n");
  const Process ndek = scenario.start("NDek.exe");
  ASSERT_TRUE(poll_until([&] { return scenario.records().size() == 1; }));
  // Waiting for the next try, the mounter shows nothing.
  EXPECT_TRUE(poll_until([&] { return top_level_windows(ndek.id()).empty(); }));
  EXPECT_TRUE(ndek.running());
  const auto box = wait_for_exit_or_message_box(ndek);
  EXPECT_FALSE(box) << "unexpected message: " << box->title << " / " << box->text;
  ndek.wait_for_exit();
  scenario.wait_until_idle();
  const std::string net =
      expected_start("net.exe", "net use R: \"\\\\server\\share\" /persistent:no", kHidden);
  EXPECT_THAT(describe_sorted(scenario.records()), ElementsAre(net, net, net));
}

TEST_F(NDek, StartupWindowIsABorderlessTitleShownBeforeAnyCommand) {
  scenario.write_file("NDek.ini", "\"X:\",\"d:\\data\"\r\n");
  const Process ndek = scenario.start("NDek.exe");
  const HWND window =
      wait_for_window(ndek.id(), {}, [](HWND w) { return window_class(w) != "#32770"; });
  // The run waits for the window's timer; nothing may have been started yet.
  EXPECT_FALSE(scenario.has_file("record.log"));
  EXPECT_EQ(window_text(window), kTitle);

  const LONG style = GetWindowLongW(window, GWL_STYLE);
  const LONG ex_style = GetWindowLongW(window, GWL_EXSTYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MAXIMIZEBOX | WS_MINIMIZEBOX), 0);
  EXPECT_EQ(
      ex_style & (WS_EX_APPWINDOW | WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE), 0);
  EXPECT_TRUE((ex_style & WS_EX_TOOLWINDOW) != 0 || GetWindow(window, GW_OWNER) != nullptr)
      << "shown in the task bar";

  // 3735 x 855 twips, at the window's resolution.
  const UINT dpi = GetDpiForWindow(window);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, MulDiv(3735, static_cast<int>(dpi), 1440));
  EXPECT_EQ(client.bottom, MulDiv(855, static_cast<int>(dpi), 1440));

  // Centred on the screen.
  RECT frame{};
  GetWindowRect(window, &frame);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
  EXPECT_NEAR(frame.left + frame.right, monitor.rcWork.left + monitor.rcWork.right, 2);
  EXPECT_NEAR(frame.top + frame.bottom, monitor.rcWork.top + monitor.rcWork.bottom, 2);

  bool has_title = false;
  for (HWND child : child_windows(window))
    has_title = has_title || window_text(child) == "仮想ドライブ　設定";
  EXPECT_TRUE(has_title);

  ndek.wait_for_exit();
  scenario.wait_until_idle();
  EXPECT_THAT(describe_sorted(scenario.records()),
              ElementsAre(expected_start("subst.exe", "subst X: \"d:\\data\"", kHidden)));
}

TEST_F(NDek, StartupWindowTakesTheSuggestedPlaceAndLaysOutAgainWhenTheDpiChanges) {
  // Without settings the run stops at its question, with the window still up.
  const Process ndek = scenario.start("NDek.exe");
  const MessageBoxView box = wait_for_message_box(ndek.id());
  expect_dpi_change_followed(ndek, wait_for_window(ndek.id(), "NDekStartupWindow"), {100, 80});
  box.press(IDNO);
  ndek.wait_for_exit();
}

}  // namespace
}  // namespace ndek::e2e
