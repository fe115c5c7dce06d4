// The least a program does to show the manager's main window: one window of the same class
// styles, window styles, caption and size, centred, and a message loop; no controls, no
// settings. It ends when the window is closed.
//
// Built twice: plain (no manifest, only the DLLs it needs), and with NDEK_BENCH_MANAGER_DLLS
// as the manager's twin, with the programs' resources (the manifest asks for common controls
// 6) and the DLLs the manager imports, loaded at start as the manager's are.
#include "platform/win32/win32.h"

#ifdef NDEK_BENCH_MANAGER_DLLS
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#endif

#include "bench/win/main_window_caption_win.h"
#include "platform/twips.h"
#include "platform/win32/window_base_win.h"

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

  void lay_out(ndek::Dpi) {}  // nothing inside to lay out

  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
      PostQuitMessage(0);
      return 0;
    }
    return DefWindowProcW(hwnd(), message, wparam, lparam);
  }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int show_command) {
  try {
#ifdef NDEK_BENCH_MANAGER_DLLS
    // The manager registers the standard common controls at start; the other two calls do
    // nothing but import ole32 and shell32, whose loading is what counts.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CoTaskMemFree(nullptr);
#endif
    BareWindow window;
    if (!window.create(instance)) return 1;
#ifdef NDEK_BENCH_MANAGER_DLLS
    DragAcceptFiles(window.hwnd(), FALSE);
#endif
    // "/hidden": the least a program does to wait hidden for messages, as the watching
    // mounter does.
    if (arguments == nullptr || lstrcmpW(arguments, L"/hidden") != 0) {
      ShowWindow(window.hwnd(), show_command);
      UpdateWindow(window.hwnd());
    }
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
