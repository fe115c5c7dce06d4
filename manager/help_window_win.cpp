#include "manager/help_window_win.h"

#include "manager/ui_font_win.h"
#include "ndek_version.h"
#include "platform/win32/dpi_win.h"
#include "platform/win32/strings_win.h"

namespace ndek {

namespace {

constexpr wchar_t kClassName[] = L"NDekManHelp";
constexpr wchar_t kCaption[] = L"仮想ドライブマネージャー ヘルプ";
constexpr SIZE kClientTwips{7200, 6000};
constexpr int kTextBoxId = 1;
// Above the help text, so that a user can tell which release is installed.
constexpr char kVersionLine[] = "NDek " NDEK_VERSION_TEXT "\r\n\r\n";

}  // namespace

HelpWindowWin::~HelpWindowWin() {
  if (hwnd() != nullptr) DestroyWindow(hwnd());
}

bool HelpWindowWin::create() {
  const auto icon = static_cast<HICON>(
      LoadImageW(instance_, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  if (!register_class(instance_, kClassName, icon, GetSysColorBrush(COLOR_BTNFACE))) return false;
  if (WindowBase::create(0, kClassName, kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                         CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, instance_) == nullptr) {
    return false;
  }
  text_box_ =
      CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                          ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                      0, 0, 0, 0, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextBoxId)),
                      instance_, nullptr);
  if (text_box_ == nullptr) return false;
  const UINT dpi = window_dpi(hwnd());
  font_ = create_ui_font(dpi);
  SendMessageW(text_box_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  const int d = static_cast<int>(dpi);
  centre_in_work_area(
      hwnd(),
      window_size_for_client(
          hwnd(), {twips_to_pixels(kClientTwips.cx, d), twips_to_pixels(kClientTwips.cy, d)}, dpi));
  fit_text_box();
  return true;
}

bool HelpWindowWin::show(const std::string& text) {
  if (hwnd() == nullptr && !create()) return false;
  SetWindowTextW(text_box_, to_wide(kVersionLine + text).c_str());
  ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd());
  SetFocus(text_box_);
  return true;
}

void HelpWindowWin::fit_text_box() {
  RECT client{};
  GetClientRect(hwnd(), &client);
  MoveWindow(text_box_, 0, 0, client.right, client.bottom, TRUE);
}

LRESULT HelpWindowWin::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      if (text_box_ != nullptr) fit_text_box();
      return 0;
    case WM_SETFOCUS:
      if (text_box_ != nullptr) SetFocus(text_box_);
      return 0;
    case WM_CTLCOLORSTATIC:
      // Read-only, the text box would take the button face; text reads better on white.
      if (reinterpret_cast<HWND>(lparam) == text_box_) {
        const auto dc = reinterpret_cast<HDC>(wparam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lparam);
      UniqueFont font = create_ui_font(HIWORD(wparam));
      SendMessageW(text_box_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
      font_ = std::move(font);  // the old one only now that nothing uses it
      SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_NCDESTROY:
      text_box_ = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd(), message, wparam, lparam);
}

}  // namespace ndek
