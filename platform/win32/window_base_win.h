#pragma once
// A window class whose procedure reaches the C++ object: `this` is stored at WM_NCCREATE and
// every later message is forwarded to handle_message. No exception leaves the procedure.
#include "platform/win32/win32.h"

namespace ndek {

template <typename Derived>
class WindowBase {
 public:
  HWND hwnd() const { return hwnd_; }

 protected:
  WindowBase() = default;
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;
  ~WindowBase() = default;

  // Registers the class once per process (a second registration fails harmlessly).
  static bool register_class(HINSTANCE instance, const wchar_t* class_name, HICON icon,
                             HBRUSH background, UINT style = CS_DBLCLKS) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = &WindowBase::procedure;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hIconSm = icon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = class_name;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }

  HWND create(DWORD ex_style, const wchar_t* class_name, const wchar_t* caption, DWORD style,
              int x, int y, int width, int height, HWND parent, HINSTANCE instance) {
    return CreateWindowExW(ex_style, class_name, caption, style, x, y, width, height, parent,
                           nullptr, instance, static_cast<Derived*>(this));
  }

 private:
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Derived* self = nullptr;
    if (message == WM_NCCREATE) {
      self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
      self->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
      self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (self == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
    try {
      const LRESULT result = self->handle_message(message, wparam, lparam);
      if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
      }
      return result;
    } catch (...) {
      // Nothing can be reported from inside the procedure; the message is left undone.
      return DefWindowProcW(hwnd, message, wparam, lparam);
    }
  }

  HWND hwnd_ = nullptr;
};

}  // namespace ndek
