#include "platform/win32/dpi_win.h"

#include "platform/win32/strings_win.h"

namespace ndek {
namespace {

struct ScreenDcTraits {
  using Handle = HDC;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { ReleaseDC(nullptr, h); }
};

// Looked up at run time: the functions are missing before Windows 10, where the program
// still has to start.
template <typename Function>
Function user32_function(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

}  // namespace

UINT window_dpi(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  if (const auto get_dpi = user32_function<GetDpiForWindowFunction>("GetDpiForWindow")) {
    if (const UINT dpi = get_dpi(window)) return dpi;
  }
  const UniqueHandle<ScreenDcTraits> screen(GetDC(nullptr));
  if (!screen) return kDefaultDpi;
  const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

UniqueFont create_font(const std::string& face_name, int points, UINT dpi, int weight) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(points, static_cast<int>(dpi), 72);
  font.lfWeight = weight;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const std::wstring face = to_wide(face_name);
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  return UniqueFont(CreateFontIndirectW(&font));
}

SIZE window_size_for_client(HWND window, SIZE client, UINT dpi) {
  using AdjustForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  const DWORD ex_style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  const BOOL has_menu = GetMenu(window) != nullptr;
  RECT rect{0, 0, client.cx, client.cy};
  const auto adjust = user32_function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
  if (adjust == nullptr || !adjust(&rect, style, has_menu, ex_style, dpi)) {
    AdjustWindowRectEx(&rect, style, has_menu, ex_style);
  }
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void centre_in_work_area(HWND window, SIZE size) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
    area = monitor.rcWork;
  }
  const int x = area.left + (area.right - area.left - size.cx) / 2;
  const int y = area.top + (area.bottom - area.top - size.cy) / 2;
  SetWindowPos(window, nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void place_in_twips(HWND child, const TwipsRect& rect, UINT dpi) {
  const int d = static_cast<int>(dpi);
  SetWindowPos(child, nullptr, twips_to_pixels(rect.left, d), twips_to_pixels(rect.top, d),
               twips_to_pixels(rect.width, d), twips_to_pixels(rect.height, d),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace ndek
