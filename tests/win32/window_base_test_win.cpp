#include <string>

#include "gtest/gtest.h"
#include "platform/win32/dpi_win.h"
#include "platform/win32/unique_handle_win.h"
#include "platform/win32/window_base_win.h"

namespace ndek {
namespace {

using UniqueRegion = UniqueHandle<HRGN, DeleteObject>;

constexpr wchar_t kClassName[] = L"NDekWindowBaseTest";
constexpr int kFirstId = 11;
constexpr int kSecondId = 12;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr ChildControl kControls[] = {
    {kFirstId, L"BUTTON", L"one", kChild | BS_PUSHBUTTON, 0, {120, 40, 1215, 375}},
    {kSecondId, L"EDIT", L"", kChild, WS_EX_CLIENTEDGE, {240, 600, 1575, 375}},
};

class TestWindow : public WindowBase<TestWindow> {
 public:
  explicit TestWindow(DWORD style = WS_OVERLAPPEDWINDOW, DWORD ex_style = 0) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    created_ = register_class(instance, kClassName, GetSysColorBrush(COLOR_BTNFACE)) &&
               create(ex_style, kClassName, L"test", style, nullptr, instance) &&
               create_controls(kControls);
  }

  using WindowCore::centre;
  using WindowCore::control;
  using WindowCore::place_client;

  bool created_ = false;

 private:
  friend class WindowBase<TestWindow>;

  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_ACTIVATE:
        keep_focus(wparam, control(kFirstId));
        return 0;
      default:
        return DefWindowProcW(hwnd(), message, wparam, lparam);
    }
  }

  void lay_out(Dpi dpi) { place_controls(kControls, dpi, create_font("Tahoma", 9, dpi)); }
};

RECT window_rect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

// "x,y wxh", so that rectangles compare with a readable difference.
std::string text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

// True when the whole client area waits to be painted.
bool all_to_paint(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  const UniqueRegion whole(CreateRectRgnIndirect(&client));
  const UniqueRegion update(CreateRectRgn(0, 0, 0, 0));
  GetUpdateRgn(window, update.get(), FALSE);
  return EqualRgn(whole.get(), update.get()) != FALSE;
}

TEST(WindowBaseTest, DpiChangeTakesTheSuggestedRectangleThenLaysOutAtTheNewDpiAndRedraws) {
  TestWindow window;
  ASSERT_TRUE(window.created_);
  ShowWindow(window.hwnd(), SW_SHOW);
  for (const Dpi dpi : {144, 96}) {
    UpdateWindow(window.hwnd());
    RECT suggested{dpi, dpi + 10, dpi + 700, dpi + 500};
    SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(text(window_rect(window.hwnd())), text(suggested)) << dpi;
    for (const ChildControl& item : kControls) {
      RECT in_client = window_rect(window.control(item.id));
      MapWindowPoints(nullptr, window.hwnd(), reinterpret_cast<POINT*>(&in_client), 2);
      EXPECT_EQ(text(in_client), text(to_pixels(item.twips, dpi))) << item.id << ", " << dpi;
    }
    EXPECT_TRUE(all_to_paint(window.hwnd())) << dpi;
    // The controls' font is the one made for the new DPI, and still alive.
    LOGFONTW font{};
    const LRESULT in_use = SendMessageW(window.control(kSecondId), WM_GETFONT, 0, 0);
    ASSERT_TRUE(GetObjectW(reinterpret_cast<HFONT>(in_use), sizeof font, &font)) << dpi;
    EXPECT_EQ(font.lfHeight, -MulDiv(9, dpi, 72));
  }
}

TEST(WindowBaseTest, ClientAreaSizedFromTwipsIsCentredOrStandsWhereItIsPut) {
  TestWindow window(WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME);
  ASSERT_TRUE(window.created_);
  const Dpi dpi = window_dpi(window.hwnd());

  window.centre({3735, 855});
  RECT client{};
  GetClientRect(window.hwnd(), &client);
  EXPECT_EQ(client.right, twips_to_pixels(3735, dpi));
  EXPECT_EQ(client.bottom, twips_to_pixels(855, dpi));
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window.hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT outer = window_rect(window.hwnd());
  EXPECT_NEAR(outer.left + outer.right, monitor.rcWork.left + monitor.rcWork.right, 1);
  EXPECT_NEAR(outer.top + outer.bottom, monitor.rcWork.top + monitor.rcWork.bottom, 1);

  const TwipsRect place{2760, 3750, 5400, 2310};
  window.place_client(place);
  RECT on_screen{};
  GetClientRect(window.hwnd(), &on_screen);
  MapWindowPoints(window.hwnd(), nullptr, reinterpret_cast<POINT*>(&on_screen), 2);
  EXPECT_EQ(text(on_screen), text(to_pixels(place, dpi)));
  // Every source of the DPI agrees, the fallback of Windows 8.1 (shcore.dll) included.
  EXPECT_EQ(monitor_dpi(window.hwnd()), dpi);
  EXPECT_EQ(system_dpi(), dpi);
}

TEST(WindowBaseTest, FocusedControlComesBackWhenTheWindowIsActivatedAgain) {
  TestWindow window;
  ASSERT_TRUE(window.created_);
  ShowWindow(window.hwnd(), SW_SHOW);
  SendMessageW(window.hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(GetFocus(), window.control(kFirstId));  // nothing focused before: the first

  SetFocus(window.control(kSecondId));
  SendMessageW(window.hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
  SetFocus(window.control(kFirstId));
  SendMessageW(window.hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(GetFocus(), window.control(kSecondId));
}

TEST(WindowBaseTest, ObjectOwnsItsWindow) {
  HWND hwnd = nullptr;
  {
    TestWindow window;
    ASSERT_TRUE(window.created_);
    hwnd = window.hwnd();
  }
  EXPECT_FALSE(IsWindow(hwnd));

  TestWindow closed;
  DestroyWindow(closed.hwnd());
  EXPECT_EQ(closed.hwnd(), nullptr);
}

}  // namespace
}  // namespace ndek
