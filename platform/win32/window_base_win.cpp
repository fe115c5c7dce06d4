#include "platform/win32/window_base_win.h"

#include "platform/win32/dpi_win.h"

namespace ndek {
namespace {

constexpr int kProgramIconId = 1;

// The program icon at the size the system shows it, for the given width and height metrics;
// a shared icon belongs to the module and is never destroyed.
HICON program_icon(HINSTANCE instance, int width_metric, int height_metric) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                       GetSystemMetrics(width_metric),
                                       GetSystemMetrics(height_metric), LR_SHARED));
}

}  // namespace

WindowCore::~WindowCore() {
  if (hwnd_ == nullptr) return;
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

bool WindowCore::register_window_class(HINSTANCE instance, const wchar_t* class_name,
                                       WNDPROC procedure, HBRUSH background, UINT style,
                                       ClassIcon icon) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  if (icon == ClassIcon::kProgram) {
    wc.hIcon = program_icon(instance, SM_CXICON, SM_CYICON);
    wc.hIconSm = program_icon(instance, SM_CXSMICON, SM_CYSMICON);
  }
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = class_name;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool WindowCore::create_window(DWORD ex_style, const wchar_t* class_name, const wchar_t* caption,
                               DWORD style, HWND parent, HINSTANCE instance, int id, void* self) {
  instance_ = instance;
  return CreateWindowExW(ex_style, class_name, caption, style, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                         self) != nullptr;
}

bool WindowCore::create_controls(std::span<const ChildControl> controls) {
  for (const ChildControl& item : controls) {
    if (CreateWindowExW(item.ex_style, item.window_class, item.text, item.style, 0, 0, 0, 0, hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), instance_,
                        nullptr) == nullptr) {
      return false;
    }
  }
  return true;
}

void WindowCore::place_controls(std::span<const ChildControl> controls, Dpi dpi, UniqueFont font,
                                std::size_t slot) {
  for (const ChildControl& item : controls) {
    const HWND child = control(item.id);
    const RECT at = to_pixels(item.twips, dpi);
    SetWindowPos(child, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  }
  fonts_.at(slot) = std::move(font);
}

void WindowCore::centre(TwipsSize client) {
  const Dpi dpi = window_dpi(hwnd_);
  const RECT outer = window_rect_for_client(
      hwnd_, {0, 0, twips_to_pixels(client.width, dpi), twips_to_pixels(client.height, dpi)}, dpi);
  centre_in_work_area(hwnd_, {outer.right - outer.left, outer.bottom - outer.top});
}

void WindowCore::place_client(const TwipsRect& client) {
  const Dpi dpi = window_dpi(hwnd_);
  const RECT outer = window_rect_for_client(hwnd_, to_pixels(client, dpi), dpi);
  SetWindowPos(hwnd_, nullptr, outer.left, outer.top, outer.right - outer.left,
               outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowCore::take_suggested_rect(LPARAM lparam) {
  const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
  SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowCore::redraw() {
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void WindowCore::keep_focus(WPARAM activation, HWND first) {
  if (LOWORD(activation) == WA_INACTIVE) {
    const HWND focus = GetFocus();
    if (focus != nullptr && IsChild(hwnd_, focus)) last_focus_ = focus;
  } else {
    SetFocus(last_focus_ != nullptr && IsWindow(last_focus_) ? last_focus_ : first);
  }
}

}  // namespace ndek
