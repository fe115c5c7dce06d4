#pragma once
// The base of every window of the programs. Its procedure reaches the C++ object: `this` is
// stored at WM_NCCREATE and every later message goes to the window's handle_message; no
// exception leaves the procedure. The chores all windows share are done here once: the class
// with the program icon, child controls placed in twips, sizing from a client size in twips,
// following a DPI change and keeping the focus across activation. The object owns its window.
#include "platform/win32/win32.h"

#include <array>
#include <cstddef>
#include <span>

#include "platform/twips.h"
#include "platform/win32/unique_handle_win.h"

namespace ndek {

// A child control: its id, window class, text, styles, and its place in twips of the parent's
// client area.
struct ChildControl {
  int id;
  const wchar_t* window_class;
  const wchar_t* text;
  DWORD style;
  DWORD ex_style;
  TwipsRect twips;
};

enum class ClassIcon { kNone, kProgram };

// A top-level window follows DPI changes itself and must lay itself out; a child control is
// laid out by its parent and never gets the message.
enum class WindowKind { kTopLevel, kChild };

class WindowCore {
 public:
  HWND hwnd() const { return hwnd_; }

 protected:
  WindowCore() = default;
  WindowCore(const WindowCore&) = delete;
  WindowCore& operator=(const WindowCore&) = delete;
  // Destroys a window that still exists without handing it any more messages: the derived
  // object is already gone by then.
  ~WindowCore();

  // Registers the class once per process (a second registration fails harmlessly).
  static bool register_window_class(HINSTANCE instance, const wchar_t* class_name,
                                    WNDPROC procedure, HBRUSH background, UINT style,
                                    ClassIcon icon);
  // Created where the system places new windows (popups and children at 0, 0), with no size.
  bool create_window(DWORD ex_style, const wchar_t* class_name, const wchar_t* caption, DWORD style,
                     HWND parent, HINSTANCE instance, int id, void* self);

  HWND control(int id) const { return GetDlgItem(hwnd_, id); }
  bool create_controls(std::span<const ChildControl> controls);
  // Places the controls at `dpi` and gives them `font` (made for that DPI), which the window
  // keeps from then on as its font number `slot`. The font it kept there before goes only now,
  // once no control uses it any more.
  void place_controls(std::span<const ChildControl> controls, Dpi dpi, UniqueFont font,
                      std::size_t slot = 0);

  // Sizes the window for a client area of `client` twips at its DPI and centres it in the work
  // area of its monitor.
  void centre(TwipsSize client);
  // Sizes and moves the window so that its client area covers `client` (twips, from the
  // screen's top left corner) at its DPI.
  void place_client(const TwipsRect& client);
  // WM_DPICHANGED: the window takes the rectangle the system suggests.
  void take_suggested_rect(LPARAM lparam);
  // The window and its controls drawn again from scratch: a frame that does not erase its
  // inside would otherwise keep the lines it had at its old place.
  void redraw();
  // WM_ACTIVATE: remembers the focused control on the way out and gives it back on the way in
  // (`first` when there is none yet), as a dialog would.
  void keep_focus(WPARAM activation, HWND first);

  void attach(HWND hwnd) { hwnd_ = hwnd; }
  void detach() { hwnd_ = nullptr; }

 private:
  HWND hwnd_ = nullptr;
  HINSTANCE instance_ = nullptr;
  HWND last_focus_ = nullptr;
  std::array<UniqueFont, 2> fonts_;
};

template <typename Derived, WindowKind kKind = WindowKind::kTopLevel>
class WindowBase : public WindowCore {
 protected:
  static bool register_class(HINSTANCE instance, const wchar_t* class_name, HBRUSH background,
                             UINT style = CS_DBLCLKS, ClassIcon icon = ClassIcon::kProgram) {
    return register_window_class(instance, class_name, &WindowBase::procedure, background, style,
                                 icon);
  }

  bool create(DWORD ex_style, const wchar_t* class_name, const wchar_t* caption, DWORD style,
              HWND parent, HINSTANCE instance, int id = 0) {
    return create_window(ex_style, class_name, caption, style, parent, instance, id,
                         static_cast<Derived*>(this));
  }

 private:
  // WM_DPICHANGED: the suggested rectangle first, then the window lays itself out again and
  // makes its fonts for the new DPI, and all of it is drawn anew.
  LRESULT follow_dpi_change(WPARAM wparam, LPARAM lparam) {
    take_suggested_rect(lparam);
    static_cast<Derived*>(this)->lay_out(HIWORD(wparam));
    redraw();
    return 0;
  }

  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Derived* self = nullptr;
    if (message == WM_NCCREATE) {
      self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
      self->attach(hwnd);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
      self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (self == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
    LRESULT result = 0;
    try {
      // Every top-level window follows a DPI change the same way, so the base answers it.
      if constexpr (kKind == WindowKind::kTopLevel) {
        static_assert(
            requires(Derived * window) { window->lay_out(Dpi{}); },
            "a top-level window has lay_out(Dpi), or it would not follow DPI changes");
        if (message == WM_DPICHANGED) return self->follow_dpi_change(wparam, lparam);
      }
      result = self->handle_message(message, wparam, lparam);
    } catch (...) {
      // Nothing can be reported from inside the procedure; the message is left undone.
      result = DefWindowProcW(hwnd, message, wparam, lparam);
    }
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->detach();
    }
    return result;
  }
};

}  // namespace ndek
