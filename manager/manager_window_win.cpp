#include "manager/manager_window_win.h"

#include <array>

#include "manager/ui_font_win.h"
#include "platform/win32/dpi_win.h"

namespace ndek {

namespace {

constexpr wchar_t kClassName[] = L"NDekManMain";
constexpr wchar_t kCaption[] = L"仮想ドライブマネージャー";
constexpr DWORD kStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr SIZE kClientTwips{7140, 5115};
constexpr int kGridId = 6;
constexpr TwipsRect kGridTwips{0, 480, 7095, 4575};

struct ButtonLayout {
  int id;
  const wchar_t* caption;
  TwipsRect twips;
};

// In tab order, which is also the order of creation.
constexpr std::array<ButtonLayout, 5> kButtons{{
    {1, L"ドライブ設定", {120, 40, 1215, 375}},
    {2, L"ドライブ削除", {1320, 40, 1215, 375}},
    {4, L"設定終了", {3000, 40, 1455, 375}},
    {5, L"キャンセル", {4440, 40, 1335, 375}},
    {3, L"ヘルプ", {5880, 40, 1215, 375}},
}};

RECT twips_rect(const TwipsRect& r, UINT dpi) {
  const int d = static_cast<int>(dpi);
  const int left = twips_to_pixels(r.left, d);
  const int top = twips_to_pixels(r.top, d);
  return {left, top, left + twips_to_pixels(r.width, d), top + twips_to_pixels(r.height, d)};
}

}  // namespace

MainWindowWin::MainWindowWin(HINSTANCE instance, PlatformServices& platform)
    : instance_(instance), platform_(platform) {}

MainWindowWin::~MainWindowWin() {
  dialog_.reset();
  if (hwnd() != nullptr) DestroyWindow(hwnd());
}

bool MainWindowWin::create(ManagerWindow& logic) {
  logic_ = &logic;
  const auto icon = static_cast<HICON>(
      LoadImageW(instance_, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  if (!register_class(instance_, kClassName, icon, GetSysColorBrush(COLOR_BTNFACE))) return false;
  if (WindowBase::create(0, kClassName, kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                         nullptr, instance_) == nullptr) {
    return false;
  }
  for (const ButtonLayout& button : kButtons) {
    const HWND control = CreateWindowExW(
        0, L"BUTTON", button.caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0,
        0, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(button.id)), instance_, nullptr);
    if (control == nullptr) return false;
  }
  grid_ = std::make_unique<DriveGridWin>(logic.table(), [this] { logic_->assign(); });
  if (!grid_->create(hwnd(), kGridId, instance_)) return false;

  dialog_owner_.reset(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                      instance_, nullptr));

  const UINT dpi = window_dpi(hwnd());
  place_controls(dpi);
  const int d = static_cast<int>(dpi);
  centre_in_work_area(
      hwnd(),
      window_size_for_client(
          hwnd(), {twips_to_pixels(kClientTwips.cx, d), twips_to_pixels(kClientTwips.cy, d)}, dpi));
  return true;
}

void MainWindowWin::place_controls(UINT dpi) {
  UniqueFont font = create_ui_font(dpi);
  for (const ButtonLayout& button : kButtons) {
    const HWND control = GetDlgItem(hwnd(), button.id);
    place_in_twips(control, button.twips, dpi);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  }
  font_ = std::move(font);  // the old one only now that no button uses it
  grid_->place(twips_rect(kGridTwips, dpi), static_cast<int>(dpi));
}

void MainWindowWin::show(int show_command) {
  ShowWindow(hwnd(), show_command);
  UpdateWindow(hwnd());
}

HWND MainWindowWin::dialog_window() const { return dialog_ ? dialog_->hwnd() : nullptr; }

void MainWindowWin::set_enabled(bool enabled) { EnableWindow(hwnd(), enabled ? TRUE : FALSE); }

void MainWindowWin::bring_to_front() {
  EnableWindow(hwnd(), TRUE);
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
}

void MainWindowWin::show_assign_dialog() {
  // A closed dialog's object stays until the next one replaces it.
  dialog_ = std::make_unique<AssignDialogWin>(instance_, *logic_, platform_);
  if (!dialog_->create(dialog_owner_.get())) {
    dialog_.reset();
    bring_to_front();
  }
}

void MainWindowWin::refresh_table() { grid_->refresh(); }

void MainWindowWin::on_command(int id, int code) {
  if (id == kHelpKeyCommand) {
    logic_->help();
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case 1:
      logic_->assign();
      break;
    case 2:
      logic_->delete_drive();
      break;
    case 3:
      logic_->help();
      break;
    case 4:
      logic_->finish();
      break;
    case 5:
      logic_->cancel();
      break;
    default:
      break;
  }
}

LRESULT MainWindowWin::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      on_command(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_CLOSE:
      logic_->cancel();
      return 0;
    case WM_ACTIVATE:
      // The window is not a dialog, so keep the focused control across deactivation ourselves.
      if (LOWORD(wparam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd(), focus)) last_focus_ = focus;
      } else {
        SetFocus(last_focus_ != nullptr && IsWindow(last_focus_) ? last_focus_
                                                                 : GetDlgItem(hwnd(), 1));
      }
      return 0;
    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      place_controls(HIWORD(wparam));
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd(), message, wparam, lparam);
  }
}

}  // namespace ndek
