#include "manager/help_window_win.h"

#include "manager/ui_font_win.h"
#include "ndek_version.h"
#include "platform/win32/dpi_win.h"
#include "platform/win32/strings_win.h"

namespace ndek {

namespace {

constexpr wchar_t kClassName[] = L"NDekManHelp";
constexpr wchar_t kCaption[] = L"仮想ドライブマネージャー ヘルプ";
constexpr TwipsSize kClientTwips{7200, 6000};
constexpr int kTextBoxId = 1;
// Fills the client area, whatever its size; fitted there rather than placed.
constexpr ChildControl kTextBox[] = {
    {kTextBoxId,
     L"EDIT",
     L"",
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
         ES_AUTOVSCROLL | ES_AUTOHSCROLL,
     WS_EX_CLIENTEDGE,
     {}},
};
// Above the help text, so that a user can tell which release is installed.
constexpr char kVersionLine[] = "NDek " NDEK_VERSION_TEXT "\r\n\r\n";

}  // namespace

bool HelpWindowWin::create() {
  if (!register_class(instance_, kClassName, GetSysColorBrush(COLOR_BTNFACE)) ||
      !WindowBase::create(0, kClassName, kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, nullptr,
                          instance_) ||
      !create_controls(kTextBox)) {
    return false;
  }
  lay_out(window_dpi(hwnd()));
  centre(kClientTwips);
  fit_text_box();
  return true;
}

void HelpWindowWin::lay_out(Dpi dpi) {
  place_controls(kTextBox, dpi, create_ui_font(dpi));
  fit_text_box();
}

HWND HelpWindowWin::text_box() const { return control(kTextBoxId); }

bool HelpWindowWin::show(const std::string& text) {
  if (hwnd() == nullptr && !create()) return false;
  SetWindowTextW(text_box(), to_wide(kVersionLine + text).c_str());
  ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd());
  SetFocus(text_box());
  return true;
}

void HelpWindowWin::fit_text_box() {
  RECT client{};
  GetClientRect(hwnd(), &client);
  MoveWindow(text_box(), 0, 0, client.right, client.bottom, TRUE);
}

LRESULT HelpWindowWin::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      fit_text_box();
      return 0;
    case WM_SETFOCUS:
      if (const HWND box = text_box()) SetFocus(box);
      return 0;
    case WM_CTLCOLORSTATIC:
      // Read-only, the text box would take the button face; text reads better on white.
      if (reinterpret_cast<HWND>(lparam) == text_box()) {
        const auto dc = reinterpret_cast<HDC>(wparam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd(), message, wparam, lparam);
}

}  // namespace ndek
