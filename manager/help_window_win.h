#pragma once
// A small window that shows the help text read-only. Not modal: the user keeps working in the
// manager while it is open.
#include "platform/win32/win32.h"

#include <string>

#include "platform/win32/unique_handle_win.h"
#include "platform/win32/window_base_win.h"

namespace ndek {

class HelpWindowWin : public WindowBase<HelpWindowWin> {
 public:
  explicit HelpWindowWin(HINSTANCE instance) : instance_(instance) {}

  // Shows `text` (UTF-8, CR LF line breaks), opening the window or bringing it to the front.
  bool show(const std::string& text);

 private:
  friend class WindowBase<HelpWindowWin>;

  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);
  bool create();
  void lay_out(Dpi dpi);
  void fit_text_box();
  HWND text_box() const;

  HINSTANCE instance_;
};

}  // namespace ndek
