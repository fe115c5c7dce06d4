// NDekMan.exe driven as a user would: clicks on its grid and buttons, typing into its dialog,
// its messages answered; then the settings file it wrote and the commands it started (caught
// by recorders standing in for subst.exe and net.exe in the system folder).
#include "platform/win32/win32.h"
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wincred.h>

#include <string>
#include <vector>

#include "platform/twips.h"
#include "platform/win32/strings_win.h"
#include "tests/e2e/harness.h"

namespace ndek::e2e {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr char kMainClass[] = "NDekManMain";
constexpr char kDialogClass[] = "NDekManAssign";
constexpr char kHelpClass[] = "NDekManHelp";
constexpr int kAssign = 1, kDelete = 2, kHelp = 3, kFinish = 4, kGrid = 6;
constexpr int kCombo = 201, kFolder = 202, kOk = 203;
constexpr int kHidden = 0;

// The grid in twips, as the table fills it: one header row, rows of 240 twips, the folder
// column from 1700 twips on.
constexpr int kRowTwips = 240;
constexpr int kFolderColumnTwips = 1700;

// "\"C:\",\"c:\\データ\"" and so on in code page 932.
const std::string kDataSjis = "c:\\\x83\x66\x81\x5B\x83\x5E";  // c:\データ

HWND item(HWND parent, int id) {
  const HWND control = GetDlgItem(parent, id);
  if (control == nullptr) throw HarnessError("no control " + std::to_string(id));
  return control;
}

void click_later(HWND parent, int id) { PostMessageW(item(parent, id), BM_CLICK, 0, 0); }

// A mouse click on a row's folder cell, the grid scrolled to the top; the grid's text is then
// that row's.
void click_folder(HWND grid, int row) {
  const int dpi = static_cast<int>(GetDpiForWindow(grid));
  const LPARAM at = MAKELPARAM(twips_to_pixels(kFolderColumnTwips + kRowTwips, dpi),
                               twips_to_pixels(row * kRowTwips + kRowTwips / 2, dpi));
  PostMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(grid, WM_LBUTTONUP, 0, at);
  const std::string label = std::string("   ") + static_cast<char>('A' + row - 1) + ":";
  if (!poll_until([&] { return window_text(grid).rfind(label, 0) == 0; })) {
    throw HarnessError("row " + label + " not selected; the grid reads " + window_text(grid));
  }
}

// Types into an edit control one character at a time, as the keyboard would.
void type(HWND edit, const std::string& text) {
  for (wchar_t c : to_wide(text)) SendMessageW(edit, WM_CHAR, c, 1);
}

class NDekMan : public ::testing::Test {
 protected:
  NDekMan() { scenario.copy_program("NDekMan.exe"); }

  // Starts the manager and waits for its main window.
  HWND start() {
    manager.emplace(scenario.start("NDekMan.exe"));
    main = wait_for_window(manager->id(), kMainClass);
    grid = item(main, kGrid);
    return main;
  }

  HWND open_dialog() {
    click_later(main, kAssign);
    return wait_for_window(manager->id(), kDialogClass);
  }

  Scenario scenario{current_test_name()};
  std::optional<Process> manager;
  HWND main = nullptr;
  HWND grid = nullptr;
};

// Which commands finish starts is the manager's unit tests'; that it starts them hidden, the
// password scenario's.
TEST_F(NDekMan, AssignDeleteAndFinishSaveTheTableInTheCodePage) {
  if (!install_system_stand_ins()) GTEST_SKIP() << "the stand-ins for subst and net need Wine";
  scenario.write_file("NDek.ini", "\"C:\",\"" + kDataSjis +
                                      "\"\r\n\"E:\",\"e:\\old\"\r\n\"n:\\\",\"\\\\SRV\\Pub\"\r\n");
  start();
  click_folder(grid, 5);
  click_later(main, kDelete);
  ASSERT_TRUE(poll_until([&] { return window_text(grid).find("e:\\old") == std::string::npos; }))
      << window_text(grid);

  click_folder(grid, 4);
  const HWND dialog = open_dialog();
  // Typed over the combo box's "D:".
  const HWND drive = FindWindowExW(item(dialog, kCombo), nullptr, L"Edit", nullptr);
  SendMessageW(drive, EM_SETSEL, 0, -1);
  type(drive, "x");
  type(item(dialog, kFolder), "d:\\my docs");
  SendMessageW(item(dialog, kOk), BM_CLICK, 0, 0);  // sent: handled before it returns
  EXPECT_EQ(window_text(grid), "   X:  －  d:\\my docs");

  click_later(main, kFinish);
  const MessageBoxView notice = wait_for_message_box(manager->id());
  EXPECT_EQ(notice.title, "再起動確認") << notice.text;
  notice.press(IDOK);
  EXPECT_EQ(manager->wait_for_exit(), 0u);
  // Drive fields as written, folders lower-cased by the load, in the system's code page.
  EXPECT_EQ(
      scenario.read_file("NDek.ini"),
      "\"C:\",\"" + kDataSjis + "\"\r\n\"N:\",\"\\\\srv\\pub\"\r\n\"X:\",\"d:\\my docs\"\r\n");
}

TEST_F(NDekMan, AShareThatWantsAPasswordMapsAfterOnePromptAndThePasswordIsInNoFile) {
  if (!install_system_stand_ins()) GTEST_SKIP() << "the stand-ins for subst and net need Wine";
  constexpr wchar_t kServer[] = L"ndek-e2e-nas";
  const std::wstring password = L"Pw-ndek-7731";
  CredDeleteW(kServer, CRED_TYPE_DOMAIN_PASSWORD, 0);
  scenario.write_file("stand-in.txt", "logon ndek-e2e-nas\n");
  scenario.write_file("NDek.ini", "\"Z:\",\"\\\\ndek-e2e-nas\\pub\"\r\n");
  start();
  click_later(main, kFinish);
  const HWND prompt = wait_for_window(manager->id(), "#32770");
  for (HWND child : child_windows(prompt)) {
    if (window_class(child) != "Edit") continue;
    const bool secret = (GetWindowLongW(child, GWL_STYLE) & ES_PASSWORD) != 0;
    SendMessageW(child, WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(secret ? password.c_str() : L"NAS\\user"));
  }
  PostMessageW(prompt, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(poll_until([&] { return !IsWindow(prompt); }));

  const MessageBoxView notice = wait_for_message_box(manager->id());
  EXPECT_EQ(notice.title, "再起動確認") << notice.text;
  notice.press(IDOK);
  manager->wait_for_exit();
  const std::string map = "net use Z: \"\\\\ndek-e2e-nas\\pub\" /persistent:no";
  EXPECT_THAT(describe_sorted(scenario.records()),
              ElementsAre(expected_start("net.exe", map, kHidden),
                          expected_start("net.exe", map, kHidden)));
  // The stand-in for net let the second try in: a credential was stored for the server.
  CredDeleteW(kServer, CRED_TYPE_DOMAIN_PASSWORD, 0);

  const std::string utf8 = to_utf8(password);
  const std::string utf16(reinterpret_cast<const char*>(password.data()), password.size() * 2);
  WIN32_FIND_DATAW found{};
  const UniqueFindHandle files(FindFirstFileW(to_wide(scenario.path("*")).c_str(), &found));
  ASSERT_TRUE(files);
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::string bytes = read_file_bytes(scenario.path(to_utf8(found.cFileName))).value_or("");
    EXPECT_EQ(bytes.find(utf8), std::string::npos) << to_utf8(found.cFileName);
    EXPECT_EQ(bytes.find(utf16), std::string::npos) << to_utf8(found.cFileName);
  } while (FindNextFileW(files.get(), &found));
}

TEST_F(NDekMan, ActivationBringsTheOpenDialogForwardAndF1InEitherWindowOpensTheHelpText) {
  scenario.copy_program("NDek.hlp");
  start();
  const auto open_help = [&](auto press) {
    press();
    const HWND help = wait_for_window(manager->id(), kHelpClass);
    const std::string text = control_text(help, 1);
    PostMessageW(help, WM_CLOSE, 0, 0);
    EXPECT_TRUE(poll_until([&] { return !IsWindow(help); }));
    return text;
  };
  EXPECT_THAT(open_help([&] { click_later(main, kHelp); }), HasSubstr("ドライブ設定"));
  open_help([&] { PostMessageW(item(main, kAssign), WM_KEYDOWN, VK_F1, 0); });
  const HWND dialog = open_dialog();
  open_help([&] { PostMessageW(item(dialog, kFolder), WM_KEYDOWN, VK_F1, 0); });
  // Another program's window comes in front of both; then the user activates the manager, as
  // its task-bar button or Alt+Tab would.
  const UniqueWindow other(CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 200,
                                           100, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(SetForegroundWindow(other.get()));
  ASSERT_TRUE(poll_until([&] { return GetForegroundWindow() == other.get(); }));
  ASSERT_TRUE(SetForegroundWindow(main));
  EXPECT_TRUE(poll_until([&] { return GetForegroundWindow() == dialog; }))
      << "in front: " << window_class(GetForegroundWindow());
  EXPECT_FALSE(IsWindowEnabled(main));
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  ASSERT_TRUE(poll_until([&] { return !IsWindow(dialog); }));
  PostMessageW(main, WM_CLOSE, 0, 0);  // the close box ends it without a word
  const auto box = wait_for_exit_or_message_box(*manager);
  EXPECT_FALSE(box) << "unexpected message: " << box->title << " / " << box->text;
  manager->wait_for_exit();
}

}  // namespace
}  // namespace ndek::e2e
