// The least a program does to show the manager's main window: one window of the same class
// styles, window styles, caption and size, centred, and a message loop; no controls, no
// settings, no common controls or OLE. It ends when the window is closed.
#include "platform/win32/win32.h"

#include "platform/twips.h"
#include "platform/win32/window_base_win.h"
#include "tests/bench/win/main_window_caption_win.h"

namespace {

constexpr wchar_t kClassName[] = L"NDekBenchBareWindow";
constexpr DWORD kStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr ndek::TwipsSize kClientTwips{7140, 5115};

class BareWindow : public ndek::WindowBase<BareWindow> {
 public:
  bool create(HINSTANCE instance) {
    if (!register_class(instance, kClassName, GetSysColorBrush(COLOR_BTNFACE), CS_DBLCLKS,
                        ndek::ClassIcon::kNone) ||
        !WindowBase::create(0, kClassName, ndek::bench::kMainWindowCaption, kStyle, nullptr,
                            instance)) {
      return false;
    }
    centre(kClientTwips);
    return true;
  }

 private:
  friend class WindowBase<BareWindow>;

  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
      PostQuitMessage(0);
      return 0;
    }
    return DefWindowProcW(hwnd(), message, wparam, lparam);
  }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  try {
    BareWindow window;
    if (!window.create(instance)) return 1;
    ShowWindow(window.hwnd(), show_command);
    UpdateWindow(window.hwnd());
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    return 0;
  } catch (...) {
    return 1;
  }
}
