#include "manager/manager_window_win.h"

#include "manager/help_key_win.h"
#include "manager/ui_font_win.h"
#include "platform/win32/dpi_win.h"

namespace ndek {

namespace {

constexpr wchar_t kClassName[] = L"NDekManMain";
constexpr wchar_t kCaption[] = L"仮想ドライブマネージャー";
constexpr DWORD kStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr TwipsSize kClientTwips{7140, 5115};
constexpr TwipsRect kGridTwips{0, 480, 7095, 4575};

constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

// In tab order, which is also the order of creation.
constexpr ChildControl kButtons[] = {
    {ManagerWindowWin::kAssignId, L"BUTTON", L"ドライブ設定", kButton, 0, {120, 40, 1215, 375}},
    {ManagerWindowWin::kDeleteId, L"BUTTON", L"ドライブ削除", kButton, 0, {1320, 40, 1215, 375}},
    {ManagerWindowWin::kFinishId, L"BUTTON", L"設定終了", kButton, 0, {3000, 40, 1455, 375}},
    {ManagerWindowWin::kCancelId, L"BUTTON", L"キャンセル", kButton, 0, {4440, 40, 1335, 375}},
    {ManagerWindowWin::kHelpId, L"BUTTON", L"ヘルプ", kButton, 0, {5880, 40, 1215, 375}},
};

}  // namespace

ManagerWindowWin::ManagerWindowWin(HINSTANCE instance, PlatformServices& platform)
    : instance_(instance), platform_(platform) {}

bool ManagerWindowWin::create(DriveManager& logic) {
  logic_ = &logic;
  if (!register_class(instance_, kClassName, GetSysColorBrush(COLOR_BTNFACE)) ||
      !WindowBase::create(0, kClassName, kCaption, kStyle, nullptr, instance_) ||
      !create_controls(kButtons)) {
    return false;
  }
  grid_ = std::make_unique<DriveGridWin>(logic.table(), [this] { logic_->assign(); });
  if (!grid_->create(hwnd(), kGridId, instance_)) return false;

  dialog_owner_.reset(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                      instance_, nullptr));

  lay_out(window_dpi(hwnd()));
  centre(kClientTwips);
  return true;
}

void ManagerWindowWin::lay_out(Dpi dpi) {
  place_controls(kButtons, dpi, create_ui_font(dpi));
  grid_->place(to_pixels(kGridTwips, dpi), dpi);
}

void ManagerWindowWin::show(int show_command) {
  ShowWindow(hwnd(), show_command);
  UpdateWindow(hwnd());
}

void ManagerWindowWin::set_enabled(bool enabled) { EnableWindow(hwnd(), enabled ? TRUE : FALSE); }

void ManagerWindowWin::bring_to_front() {
  EnableWindow(hwnd(), TRUE);
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
}

void ManagerWindowWin::show_assign_dialog() {
  // A closed dialog's object stays until the next one replaces it.
  dialog_ = std::make_unique<AssignDialogWin>(instance_, *logic_, platform_);
  if (!dialog_->create(dialog_owner_.get())) {
    dialog_.reset();
    bring_to_front();
  }
}

bool ManagerWindowWin::bring_dialog_forward() {
  if (!dialog_ || !dialog_->open()) return false;
  SetForegroundWindow(dialog_->hwnd());
  SetActiveWindow(dialog_->hwnd());
  return true;
}

void ManagerWindowWin::refresh_table() { grid_->refresh(); }

void ManagerWindowWin::set_busy(bool busy) {
  busy_ = busy;
  EnableWindow(hwnd(), busy ? FALSE : TRUE);
  if (busy) SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

ErrorNumber ManagerWindowWin::show_help(const std::string& text) {
  return help_window_.show(text) ? kOk : error_number_from_system(GetLastError());
}

void ManagerWindowWin::on_command(int id, int code) {
  if (id == kHelpKeyCommand) {
    logic_->help();
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case kAssignId:
      logic_->assign();
      break;
    case kDeleteId:
      logic_->delete_drive();
      break;
    case kHelpId:
      logic_->help();
      break;
    case kFinishId:
      logic_->finish();
      break;
    case kCancelId:
      logic_->cancel();
      break;
    default:
      break;
  }
}

LRESULT ManagerWindowWin::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      on_command(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_CLOSE:
      logic_->cancel();
      return 0;
    case WM_SETCURSOR:
      // A click on the window while the dialog has it disabled: the dialog is what the user
      // is looking for.
      if (static_cast<short>(LOWORD(lparam)) == HTERROR && HIWORD(lparam) != WM_MOUSEMOVE) {
        bring_dialog_forward();
      }
      // Also over the disabled window and its controls, which ask their parent first.
      if (!busy_) return DefWindowProcW(hwnd(), message, wparam, lparam);
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      return TRUE;
    case WM_ACTIVATE:
      // The task-bar button or Alt+Tab would otherwise leave the dialog behind other windows
      // and the manager looking hung.
      if (LOWORD(wparam) != WA_INACTIVE && bring_dialog_forward()) return 0;
      // Not a dialog: the focused control is kept across deactivation by hand.
      keep_focus(wparam, control(kAssignId));
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd(), message, wparam, lparam);
  }
}

}  // namespace ndek
