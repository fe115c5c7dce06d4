// NDekMan.exe driven as a user would: clicks on its grid and buttons, typing into its dialog,
// its messages answered; then the settings file it wrote and the commands it started (caught
// by recorders standing in for subst.exe and net.exe), and the mounter run on that file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "manager/manager_text.h"
#include "platform/twips.h"
#include "platform/win32/strings_win.h"
#include "platform/win32/unique_handle_win.h"
#include "tests/e2e/harness.h"

namespace ndek::e2e {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr char kMainClass[] = "NDekManMain";
constexpr char kDialogClass[] = "NDekManAssign";
constexpr char kHelpClass[] = "NDekManHelp";
constexpr int kAssign = 1, kDelete = 2, kHelp = 3, kFinish = 4, kCancel = 5, kGrid = 6;
constexpr int kCombo = 201, kFolder = 202, kOk = 203, kDialogCancel = 204;
constexpr int kHidden = 0;

// The grid's shape in twips, as the table fills it: one header row, rows of 240 twips.
constexpr int kRowTwips = 240;
constexpr int kColumnTwips[] = {700, 1000, 5040};

// "\"C:\",\"c:\\データ\"" and so on in code page 932.
const std::string kDataSjis = "c:\\\x83\x66\x81\x5B\x83\x5E";            // c:\データ
const std::string kSoftSjis = "d:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C";  // d:\ソフト\表

HWND item(HWND parent, int id) {
  const HWND control = GetDlgItem(parent, id);
  if (control == nullptr) throw HarnessError("no control " + std::to_string(id));
  return control;
}

// Sent, not posted: the caller goes on only once the program has handled it. Only for clicks
// that open no modal window.
void click_now(HWND parent, int id) { SendMessageW(item(parent, id), BM_CLICK, 0, 0); }
void click_later(HWND parent, int id) { PostMessageW(item(parent, id), BM_CLICK, 0, 0); }

POINT cell_centre(HWND grid, int row, int col) {
  const int dpi = static_cast<int>(GetDpiForWindow(grid));
  int x = 0;
  for (int c = 0; c < col; ++c) x += twips_to_pixels(kColumnTwips[c], dpi);
  x += twips_to_pixels(kColumnTwips[col], dpi) / 2;
  const int height = twips_to_pixels(kRowTwips, dpi);
  return {x, row * height + height / 2};
}

// A mouse click on a cell of the grid scrolled to the top; the grid's text is then that row's.
void click_cell(HWND grid, int row, int col) {
  const POINT at = cell_centre(grid, row, col);
  PostMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  PostMessageW(grid, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  const std::string label = std::string("   ") + static_cast<char>('A' + row - 1) + ":";
  if (!poll_until([&] { return window_text(grid).rfind(label, 0) == 0; })) {
    throw HarnessError("row " + label + " not selected; the grid reads " + window_text(grid));
  }
}

// Types into an edit control one character at a time, as the keyboard would.
void type(HWND edit, const std::string& text) {
  for (wchar_t c : to_wide(text)) SendMessageW(edit, WM_CHAR, c, 1);
}

HWND combo_edit(HWND dialog) {
  const HWND edit = FindWindowExW(item(dialog, kCombo), nullptr, L"Edit", nullptr);
  if (edit == nullptr) throw HarnessError("the combo box has no edit part");
  return edit;
}

// Replaces the combo box's text by typing over it.
void type_drive(HWND dialog, const std::string& text) {
  const HWND edit = combo_edit(dialog);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  type(edit, text);
}

RECT client_rect_on_screen(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return client;
}

RECT rect_in_parent(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

RECT twips_rect(int left, int top, int width, int height, int dpi) {
  const int x = twips_to_pixels(left, dpi);
  const int y = twips_to_pixels(top, dpi);
  return {x, y, x + twips_to_pixels(width, dpi), y + twips_to_pixels(height, dpi)};
}

bool same_rect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string describe_rect(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

class NDekMan : public ::testing::Test {
 protected:
  NDekMan() {
    scenario.copy_program("NDekMan.exe");
    scenario.copy_program("NDek.hlp");
    scenario.add_recorder("subst.exe");
    scenario.add_recorder("net.exe");
  }

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

  // Presses finish, expects the save-failure message with `number` as shown, answers it and
  // waits until the manager has ended without another message.
  void finish_with_save_failure(const std::string& number) {
    click_later(main, kFinish);
    const MessageBoxView box = wait_for_message_box(manager->id());
    EXPECT_EQ(box.title, "エラー");
    EXPECT_EQ(box.text, "設定データの記録ができませんでした。\rエラー№=" + number +
                            "\rApp.Path=" + scenario.dir());
    box.press(IDOK);
    const auto second = wait_for_exit_or_message_box(*manager);
    EXPECT_FALSE(second) << "a second message: " << second->text;
    manager->wait_for_exit();
  }

  // Ends the manager with its close box and waits until it has gone.
  void close_main() {
    PostMessageW(main, WM_CLOSE, 0, 0);
    const auto box = wait_for_exit_or_message_box(*manager);
    EXPECT_FALSE(box) << "unexpected message: " << box->title << " / " << box->text;
    manager->wait_for_exit();
  }

  Scenario scenario{current_test_name()};
  std::optional<Process> manager;
  HWND main = nullptr;
  HWND grid = nullptr;
};

TEST_F(NDekMan, AssignDeleteAndFinishSaveTheTableAndMapItAtOnce) {
  scenario.write_file("NDek.ini", "\"C:\",\"" + kDataSjis +
                                      "\"\r\n"
                                      "\"E:\",\"e:\\old\"\r\n"
                                      "\"n:\\\",\"\\\\SRV\\Pub\"\r\n");
  start();

  click_cell(grid, 5, 2);
  click_later(main, kDelete);
  ASSERT_TRUE(poll_until([&] { return window_text(grid).find("e:\\old") == std::string::npos; }))
      << window_text(grid);

  click_cell(grid, 4, 2);
  const HWND dialog = open_dialog();
  EXPECT_FALSE(IsWindowEnabled(main));
  EXPECT_EQ(control_text(dialog, kCombo), "D:");
  EXPECT_EQ(control_text(dialog, kFolder), "");

  // Normalising runs on every typed character.
  const std::pair<const char*, const char*> typed[] = {{"x", "X:"}, {"7", ""},  {"d", "D:"},
                                                       {"@", ""},   {"Ｘ", ""}, {"Z", "Z:"}};
  for (auto [keys, shown] : typed) {
    type_drive(dialog, keys);
    EXPECT_EQ(control_text(dialog, kCombo), shown) << keys;
  }
  // Typing on after the colon keeps the letter.
  type_drive(dialog, "x");
  type(combo_edit(dialog), "yz");
  EXPECT_EQ(control_text(dialog, kCombo), "X:");

  type(item(dialog, kFolder), "d:\\my docs");
  EXPECT_EQ(control_text(dialog, kFolder), "d:\\my docs");
  click_now(dialog, kOk);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_EQ(window_text(grid), "   X:  －  d:\\my docs");

  click_later(main, kFinish);
  const MessageBoxView notice = wait_for_message_box(manager->id());
  EXPECT_EQ(notice.title, manager_text::kRestartTitle);
  EXPECT_EQ(notice.text, manager_text::kRestartNotice);
  EXPECT_TRUE(notice.has_button(IDOK) && !notice.has_button(IDYES));
  // The commands are started before the notice (the manager waits for none of them).
  ASSERT_TRUE(poll_until([&] { return scenario.records().size() == 3; }))
      << scenario.records().size() << " commands recorded";
  EXPECT_THAT(
      describe_sorted(scenario.records()),
      ElementsAre(expected_start("net.exe", "net use N: \"\\\\srv\\pub\" /persistent:no", kHidden),
                  expected_start("subst.exe", "subst C: \"c:\\データ\"", kHidden),
                  expected_start("subst.exe", "subst X: \"d:\\my docs\"", kHidden)));
  notice.press(IDOK);
  EXPECT_EQ(manager->wait_for_exit(), 0u);

  // Drive fields as written, folders lower-cased by the load, in the system's code page.
  EXPECT_EQ(scenario.read_file("NDek.ini"), "\"C:\",\"" + kDataSjis +
                                                "\"\r\n"
                                                "\"N:\",\"\\\\srv\\pub\"\r\n"
                                                "\"X:\",\"d:\\my docs\"\r\n");

  // At the next log-on the mounter maps the same drives the same way.
  const std::vector<std::string> by_manager = describe_sorted(scenario.records());
  ASSERT_TRUE(DeleteFileW(to_wide(scenario.path("record.log")).c_str()));
  scenario.copy_program("NDek.exe");
  const Process ndek = scenario.start("NDek.exe");
  const auto box = wait_for_exit_or_message_box(ndek);
  EXPECT_FALSE(box) << "unexpected message: " << box->title << " / " << box->text;
  ndek.wait_for_exit();
  scenario.wait_until_idle();
  EXPECT_EQ(describe_sorted(scenario.records()), by_manager);
}

TEST_F(NDekMan, OkWithoutDriveOrFolderKeepsTheDialogOpen) {
  start();
  click_cell(grid, 3, 1);
  const HWND dialog = open_dialog();
  EXPECT_EQ(control_text(dialog, kCombo), "C:");
  click_now(dialog, kOk);  // no folder
  EXPECT_TRUE(IsWindowVisible(dialog));
  type(item(dialog, kFolder), "c:\\a");
  type_drive(dialog, "7");
  click_now(dialog, kOk);  // no drive
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_FALSE(IsWindowEnabled(main));
  click_now(dialog, kDialogCancel);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_EQ(window_text(grid), "   C:  固定ﾃﾞｨｽｸ  ");
  close_main();
}

TEST_F(NDekMan, CancelAfterChangesLeavesTheSettingsFileAsItWas) {
  const std::string settings = "\"c:\",\"C:\\Upper Case\"\r\n\"D:\",\"d:\\x\"\r\n";
  scenario.write_file("NDek.ini", settings);
  start();
  click_cell(grid, 4, 2);
  click_later(main, kDelete);
  ASSERT_TRUE(poll_until([&] { return window_text(grid) == "   D:  －  "; })) << window_text(grid);
  click_later(main, kCancel);
  EXPECT_EQ(manager->wait_for_exit(), 0u);
  EXPECT_EQ(scenario.read_file("NDek.ini"), settings);
  EXPECT_FALSE(scenario.has_file("record.log"));
}

TEST_F(NDekMan, CloseBoxEndsWithoutSavingAndWithoutASettingsFile) {
  start();
  click_cell(grid, 7, 2);
  const HWND dialog = open_dialog();
  type(item(dialog, kFolder), "g:\\new");
  click_now(dialog, kOk);
  ASSERT_EQ(window_text(grid), "   G:  －  g:\\new");
  close_main();
  EXPECT_FALSE(scenario.has_file("NDek.ini"));
  EXPECT_FALSE(scenario.has_file("record.log"));
}

// Clears the read-only attribute again, so the scenario's directory can be emptied next time.
class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(std::string path) : path_(to_wide(path)) {
    if (!SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY)) {
      throw HarnessError("cannot make the file read-only");
    }
  }
  ~ReadOnlyFile() { SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL); }
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

 private:
  std::wstring path_;
};

TEST_F(NDekMan, ReadOnlySettingsFileIsReportedWithItsNumberAndEndsTheManager) {
  const std::string settings = "\"F:\",\"f:\\data\"\r\n";
  scenario.write_file("NDek.ini", settings);
  const ReadOnlyFile read_only(scenario.path("NDek.ini"));
  start();
  finish_with_save_failure(" 75");
  EXPECT_EQ(scenario.read_file("NDek.ini"), settings);
}

// Opens the file as scanners and older readers do: reading, without delete sharing, so that
// nothing can replace it while it is held.
UniqueFileHandle hold_open(const std::string& path) {
  UniqueFileHandle handle(CreateFileW(to_wide(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) throw HarnessError("cannot open " + path);
  return handle;
}

// A save has begun once its temporary file is there.
bool save_under_way(const Scenario& scenario) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW(to_wide(scenario.path("~NDek.ini.*.tmp")).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

TEST_F(NDekMan, Utf8SettingsWithoutAMarkAreShownAndSavedOnceAReaderLetsGo) {
  scenario.write_file("NDek.ini", "\"J:\",\"d:\\写真\\家族\"\r\n\"K:\",\"\\\\サーバー\\共有\"\r\n");
  start();
  click_cell(grid, 10, 2);
  EXPECT_THAT(window_text(grid), HasSubstr("  d:\\写真\\家族"));

  std::optional<UniqueFileHandle> reader(hold_open(scenario.path("NDek.ini")));
  click_later(main, kFinish);
  ASSERT_TRUE(poll_until([&] { return save_under_way(scenario); }));
  Sleep(100);  // the manager meets the lock and waits
  reader.reset();
  const MessageBoxView notice = wait_for_message_box(manager->id());
  EXPECT_EQ(notice.title, manager_text::kRestartTitle);
  notice.press(IDOK);
  manager->wait_for_exit();
  // Every folder has a Shift-JIS form, so the file is written in the code page again.
  EXPECT_EQ(scenario.read_file("NDek.ini"),
            "\"J:\",\"d:\\\x8E\xCA\x90\x5E\\\x89\xC6\x91\xB0\"\r\n"
            "\"K:\",\"\\\\\x83\x54\x81\x5B\x83\x6F\x81\x5B\\\x8B\xA4\x97\x4C\"\r\n");
  EXPECT_FALSE(save_under_way(scenario));
}

TEST_F(NDekMan, SettingsHeldOpenByAnotherProgramAreReportedAs70) {
  const std::string settings = "\"F:\",\"f:\\data\"\r\n";
  scenario.write_file("NDek.ini", settings);
  const UniqueFileHandle reader = hold_open(scenario.path("NDek.ini"));
  start();
  finish_with_save_failure(" 70");
  EXPECT_EQ(scenario.read_file("NDek.ini"), settings);
  EXPECT_FALSE(save_under_way(scenario));
}

TEST_F(NDekMan, ShiftJisSettingsLoadIntoTheGridAndTheKeysMoveThroughIt) {
  scenario.write_file("NDek.ini", "\"J:\",\"" + kSoftSjis +
                                      "\"\r\n"
                                      "\"K:\",\"" +
                                      kDataSjis +
                                      "\"\r\n"
                                      "\"AB\",\"d:\\skipped\"\r\n"
                                      "\"Z:\",\"\\\\Server\\Share\"\r\n");
  start();
  click_cell(grid, 10, 2);
  EXPECT_THAT(window_text(grid), StartsWith("   J:  "));
  EXPECT_THAT(window_text(grid), HasSubstr("  d:\\ソフト\\表"));

  PostMessageW(grid, WM_KEYDOWN, VK_DOWN, 0);
  ASSERT_TRUE(poll_until([&] { return window_text(grid).rfind("   K:", 0) == 0; }));
  EXPECT_THAT(window_text(grid), HasSubstr("  c:\\データ"));

  // Rows below the first page are reached by paging down, which stops at the last row.
  for (int i = 0; i < 3; ++i) PostMessageW(grid, WM_KEYDOWN, VK_NEXT, 0);
  ASSERT_TRUE(poll_until([&] { return window_text(grid).rfind("   Z:", 0) == 0; }))
      << window_text(grid);
  EXPECT_THAT(window_text(grid), HasSubstr("  \\\\server\\share"));

  // Enter and Esc do nothing here; a dialog would take them for the buttons with ids 1 and 2
  // (assign and delete).
  PostMessageW(grid, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageW(grid, WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessageW(grid, WM_KEYDOWN, VK_UP, 0);
  ASSERT_TRUE(poll_until([&] { return window_text(grid) == "   Y:  －  "; })) << window_text(grid);
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(top_level_windows(manager->id(), kDialogClass).empty());
  PostMessageW(grid, WM_KEYDOWN, VK_DOWN, 0);
  ASSERT_TRUE(poll_until([&] { return window_text(grid).rfind("   Z:", 0) == 0; }));
  EXPECT_THAT(window_text(grid), HasSubstr("  \\\\server\\share"));
  PostMessageW(grid, WM_KEYDOWN, VK_UP, 0);
  ASSERT_TRUE(poll_until([&] { return window_text(grid) == "   Y:  －  "; })) << window_text(grid);

  // A double click anywhere on the grid opens the dialog for the current row.
  PostMessageW(grid, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  const HWND dialog = wait_for_window(manager->id(), kDialogClass);
  EXPECT_EQ(control_text(dialog, kCombo), "Y:");
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  ASSERT_TRUE(poll_until([&] { return !IsWindow(dialog); }));
  close_main();
}

TEST_F(NDekMan, DialogOpensPrefilledAtItsPlaceAndItsCloseBoxGivesTheMainWindowBack) {
  scenario.write_file("NDek.ini", "\"D:\",\"e:\\tools\"\r\n");
  start();
  click_cell(grid, 4, 1);
  const HWND dialog = open_dialog();
  EXPECT_EQ(window_text(dialog), "仮想ドライブ設定");
  EXPECT_EQ(control_text(dialog, kCombo), "D:");
  EXPECT_EQ(control_text(dialog, kFolder), "e:\\tools");
  EXPECT_FALSE(IsWindowEnabled(main));
  EXPECT_NE(GetWindow(dialog, GW_OWNER), main);
  EXPECT_TRUE(GetWindow(dialog, GW_OWNER) != nullptr ||
              (GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0)
      << "shown in the task bar";
  const LONG style = GetWindowLongW(dialog, GWL_STYLE);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);

  // The client area stands at 2760, 3750 twips from the screen's corner, 5400 x 2310 large.
  const int dpi = static_cast<int>(GetDpiForWindow(dialog));
  const RECT client = client_rect_on_screen(dialog);
  const RECT expected = twips_rect(2760, 3750, 5400, 2310, dpi);
  EXPECT_TRUE(same_rect(client, expected)) << describe_rect(client) << " at " << dpi << " dpi";
  // Children of the frames are placed inside them.
  const RECT browse = rect_in_parent(item(dialog, 205));
  EXPECT_TRUE(same_rect(browse, twips_rect(120 + 240, 960 + 600, 1575, 375, dpi)))
      << describe_rect(browse);

  PostMessageW(dialog, WM_CLOSE, 0, 0);
  ASSERT_TRUE(poll_until([&] { return !IsWindow(dialog); }));
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_EQ(window_text(grid), "   D:  －  e:\\tools");
  close_main();
  EXPECT_EQ(scenario.read_file("NDek.ini"), "\"D:\",\"e:\\tools\"\r\n");
}

TEST_F(NDekMan, MainWindowHasItsButtonsInTabOrderAtTheirPlaces) {
  start();
  EXPECT_EQ(window_text(main), "仮想ドライブマネージャー");
  const LONG style = GetWindowLongW(main, GWL_STYLE);
  EXPECT_NE(style & WS_THICKFRAME, 0);
  EXPECT_NE(style & WS_MINIMIZEBOX, 0);
  EXPECT_EQ(style & WS_MAXIMIZEBOX, 0);

  const int dpi = static_cast<int>(GetDpiForWindow(main));
  RECT client{};
  GetClientRect(main, &client);
  EXPECT_EQ(client.right, twips_to_pixels(7140, dpi));
  EXPECT_EQ(client.bottom, twips_to_pixels(5115, dpi));

  struct Button {
    int id;
    const char* caption;
    RECT at;
  };
  const Button buttons[] = {
      {kAssign, "ドライブ設定", twips_rect(120, 40, 1215, 375, dpi)},
      {kDelete, "ドライブ削除", twips_rect(1320, 40, 1215, 375, dpi)},
      {kFinish, "設定終了", twips_rect(3000, 40, 1455, 375, dpi)},
      {kCancel, "キャンセル", twips_rect(4440, 40, 1335, 375, dpi)},
      {kHelp, "ヘルプ", twips_rect(5880, 40, 1215, 375, dpi)},
  };
  HWND focus = item(main, kAssign);
  for (const Button& button : buttons) {
    const HWND control = item(main, button.id);
    EXPECT_EQ(control, focus) << "tab order at " << button.caption;
    EXPECT_EQ(window_text(control), button.caption);
    EXPECT_EQ(GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON) << button.caption;
    const RECT at = rect_in_parent(control);
    EXPECT_TRUE(same_rect(at, button.at)) << button.caption << " " << describe_rect(at);
    focus = GetNextDlgTabItem(main, control, FALSE);
  }
  EXPECT_EQ(focus, grid);
  const RECT grid_at = rect_in_parent(grid);
  EXPECT_TRUE(same_rect(grid_at, twips_rect(0, 480, 7095, 4575, dpi))) << describe_rect(grid_at);
  close_main();
}

TEST_F(NDekMan, HelpButtonAndF1OpenTheHelpTextAndAMissingFileIsReported) {
  start();
  click_later(main, kHelp);
  HWND help = wait_for_window(manager->id(), kHelpClass);
  EXPECT_EQ(window_text(help), "仮想ドライブマネージャー ヘルプ");
  const std::string text = control_text(help, 1);
  EXPECT_THAT(text, HasSubstr("ドライブ設定"));
  EXPECT_THAT(text, HasSubstr("\r\n"));
  EXPECT_EQ(text.find("\r\n\n"), std::string::npos);

  PostMessageW(help, WM_CLOSE, 0, 0);
  ASSERT_TRUE(poll_until([&] { return !IsWindow(help); }));
  PostMessageW(item(main, kAssign), WM_KEYDOWN, VK_F1, 0);
  help = wait_for_window(manager->id(), kHelpClass);
  PostMessageW(help, WM_CLOSE, 0, 0);
  ASSERT_TRUE(poll_until([&] { return !IsWindow(help); }));

  ASSERT_TRUE(DeleteFileW(to_wide(scenario.path("NDek.hlp")).c_str()));
  click_later(main, kHelp);
  const MessageBoxView box = wait_for_message_box(manager->id());
  EXPECT_EQ(box.title, "エラー");
  EXPECT_EQ(box.text, std::string(manager_text::kHelpNotOpened) + "エラー№= 53\r" +
                          scenario.path("NDek.hlp"));
  box.press(IDOK);
  EXPECT_TRUE(manager->running());  // help failing costs no edits
  close_main();
}

}  // namespace
}  // namespace ndek::e2e
