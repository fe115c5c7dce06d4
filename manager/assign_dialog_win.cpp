#include "manager/assign_dialog_win.h"

#include <array>

#include "manager/folder_browser_win.h"
#include "manager/help_key_win.h"
#include "manager/ui_font_win.h"
#include "platform/win32/dpi_win.h"
#include "platform/win32/strings_win.h"

namespace ndek {

namespace {

constexpr wchar_t kClassName[] = L"NDekManAssign";
constexpr wchar_t kCaption[] = L"仮想ドライブ設定";
// Not WS_CLIPCHILDREN: the frames do not paint their inside, the dialog does.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
constexpr TwipsRect kClientTwips{2760, 3750, 5400, 2310};  // from the screen's top left corner

constexpr int kComboId = 201;
constexpr int kFolderId = 202;
constexpr int kOkId = 203;
constexpr int kCancelId = 204;
constexpr int kBrowseId = 205;
constexpr int kDriveFrameId = 206;
constexpr int kFolderFrameId = 207;

constexpr TwipsRect kDriveFrame{120, 120, 1935, 735};
constexpr TwipsRect kFolderFrame{120, 960, 5175, 1215};

// A position inside a frame, as a position in the dialog's client area.
constexpr TwipsRect in_frame(const TwipsRect& frame, const TwipsRect& child) {
  return {frame.left + child.left, frame.top + child.top, child.width, child.height};
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;

// The controls that take the focus, in tab order, which is also the order of creation;
// the two frames come last so that they lie below the controls drawn inside them.
constexpr std::array<ChildControl, 7> kControls{{
    {kComboId, L"COMBOBOX", L"", kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
     0, in_frame(kDriveFrame, {240, 240, 1335, 300})},
    {kFolderId, L"EDIT", L"", kChild | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
     in_frame(kFolderFrame, {240, 240, 4815, 270})},
    {kOkId, L"BUTTON", L"OK", kButton, 0, {2760, 240, 1215, 495}},
    {kCancelId, L"BUTTON", L"ｷｬﾝｾﾙ", kButton, 0, {4080, 240, 1215, 495}},
    {kBrowseId, L"BUTTON", L"フォルダの検索", kButton, 0,
     in_frame(kFolderFrame, {240, 600, 1575, 375})},
    {kFolderFrameId, L"BUTTON", L"割り当てフォルダ", kChild | BS_GROUPBOX, 0, kFolderFrame},
    {kDriveFrameId, L"BUTTON", L"割当先ドライブ", kChild | BS_GROUPBOX, 0, kDriveFrame},
}};

constexpr int kComboListRows = 8;  // letters shown at once when the list drops down

std::string window_text(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
  return to_utf8(text);
}

}  // namespace

AssignDialogWin::AssignDialogWin(HINSTANCE instance, DriveManager& manager,
                                 PlatformServices& platform)
    : instance_(instance), logic_(manager, platform, *this) {}

bool AssignDialogWin::create(HWND owner) {
  if (!register_class(instance_, kClassName, GetSysColorBrush(COLOR_BTNFACE)) ||
      !WindowBase::create(kExStyle, kClassName, kCaption, kStyle, owner, instance_) ||
      !create_controls(kControls)) {
    return false;
  }
  combo_ = control(kComboId);
  folder_ = control(kFolderId);
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const wchar_t item[] = {static_cast<wchar_t>(letter), L':', L'\0'};
    SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  place_client(kClientTwips);
  lay_out(window_dpi(hwnd()));
  logic_.load();
  ShowWindow(hwnd(), SW_SHOWNORMAL);
  SetForegroundWindow(hwnd());
  return true;
}

void AssignDialogWin::lay_out(Dpi dpi) {
  place_controls(kControls, dpi, create_ui_font(dpi));
  // A drop-down combo box's height includes its list.
  const TwipsRect& combo = kControls.front().twips;
  SetWindowPos(combo_, nullptr, 0, 0, twips_to_pixels(combo.width, dpi),
               twips_to_pixels(combo.height, dpi) * (kComboListRows + 1),
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
}

std::string AssignDialogWin::combo_text() { return window_text(combo_); }

void AssignDialogWin::set_combo_text(const std::string& text) {
  const std::wstring wide = to_wide(text);
  setting_combo_ = true;
  SetWindowTextW(combo_, wide.c_str());
  setting_combo_ = false;
  // Typing goes on at the end; left at the start, the next character would land before "X:".
  const auto end = static_cast<WORD>(wide.size());
  SendMessageW(combo_, CB_SETEDITSEL, 0, MAKELPARAM(end, end));
}

std::string AssignDialogWin::folder_text() { return window_text(folder_); }

void AssignDialogWin::set_folder_text(const std::string& text) {
  SetWindowTextW(folder_, to_wide(text).c_str());
}

void AssignDialogWin::close() {
  if (closing_ || hwnd() == nullptr) return;
  closing_ = true;
  // The main window takes input again before this one goes, so that it becomes the active one.
  logic_.query_unload();
  DestroyWindow(hwnd());
}

std::optional<std::string> AssignDialogWin::browse_for_folder(const std::string& prompt) {
  return ndek::browse_for_folder(hwnd(), prompt);
}

void AssignDialogWin::on_combo_selection(HWND combo) {
  // The edit part still shows the previous text; the chosen item is the new one.
  const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return;
  const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return;
  std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(item.data()));
  item.resize(static_cast<std::size_t>(length));
  set_combo_text(to_utf8(item));
  logic_.combo_changed();
}

void AssignDialogWin::on_command(int id, int code, HWND control) {
  switch (id) {
    case kHelpKeyCommand:
      logic_.help();
      break;
    case kComboId:
      if (code == CBN_EDITCHANGE && !setting_combo_) {
        logic_.combo_changed();
      } else if (code == CBN_SELCHANGE) {
        on_combo_selection(control);
      }
      break;
    case kOkId:
      if (code == BN_CLICKED) logic_.ok();
      break;
    case kCancelId:
      if (code == BN_CLICKED) logic_.cancel();
      break;
    case kBrowseId:
      if (code == BN_CLICKED) logic_.browse();
      break;
    default:
      break;
  }
}

LRESULT AssignDialogWin::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      on_command(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
      return 0;
    case WM_CLOSE:
      close();
      return 0;
    case WM_ACTIVATE:
      keep_focus(wparam, combo_);
      return 0;
    default:
      return DefWindowProcW(hwnd(), message, wparam, lparam);
  }
}

}  // namespace ndek
