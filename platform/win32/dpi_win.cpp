#include "platform/win32/dpi_win.h"

#include "platform/win32/strings_win.h"

namespace ndek {
std::optional<Dpi> per_window_dpi(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  // Missing before Windows 10, where the programs still have to start.
  const auto get_dpi =
      find_function<GetDpiForWindowFunction>(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
  const UINT dpi = get_dpi != nullptr ? get_dpi(window) : 0;
  if (dpi == 0) return std::nullopt;
  return static_cast<Dpi>(dpi);
}

std::optional<Dpi> monitor_dpi(HWND window) {
  // shcore.dll exists from Windows 8.1 on; only the system's own copy is taken.
  const UniqueModule shcore(LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
  using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  const auto get_dpi = find_function<GetDpiForMonitorFunction>(shcore.get(), "GetDpiForMonitor");
  if (get_dpi == nullptr) return std::nullopt;
  constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
  UINT x = 0;
  UINT y = 0;
  const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
  if (FAILED(get_dpi(monitor, kEffectiveDpi, &x, &y)) || y == 0) return std::nullopt;
  return static_cast<Dpi>(y);
}

Dpi system_dpi() {
  const UniqueScreenDc screen(GetDC(nullptr));
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : kDefaultDpi;
}

Dpi window_dpi(HWND window) {
  if (const std::optional<Dpi> dpi = per_window_dpi(window)) return *dpi;
  if (const std::optional<Dpi> dpi = monitor_dpi(window)) return *dpi;
  return system_dpi();
}

UniqueFont create_font(const std::string& face_name, int points, Dpi dpi, int weight) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(points, dpi, 72);
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

RECT to_pixels(const TwipsRect& rect, Dpi dpi) {
  const int left = twips_to_pixels(rect.left, dpi);
  const int top = twips_to_pixels(rect.top, dpi);
  return {left, top, left + twips_to_pixels(rect.width, dpi),
          top + twips_to_pixels(rect.height, dpi)};
}

RECT window_rect_for_client(HWND window, const RECT& client, Dpi dpi) {
  using AdjustForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  const DWORD ex_style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  const BOOL has_menu = GetMenu(window) != nullptr;
  RECT rect = client;
  const auto adjust = find_function<AdjustForDpiFunction>(GetModuleHandleW(L"user32.dll"),
                                                          "AdjustWindowRectExForDpi");
  if (adjust == nullptr || !adjust(&rect, style, has_menu, ex_style, static_cast<UINT>(dpi))) {
    AdjustWindowRectEx(&rect, style, has_menu, ex_style);
  }
  return rect;
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

}  // namespace ndek
