#pragma once
// The drive assignment dialog: a modeless window over the main window that writes into the
// drive table through the AssignDialog logic.

#include "platform/win32/win32.h"

#include "manager/assign_dialog.h"
#include "platform/win32/unique_handle_win.h"
#include "platform/win32/window_base_win.h"

namespace ndek {

class AssignDialogWin : public WindowBase<AssignDialogWin>, public AssignDialogView {
 public:
  // A dialog still open when the object goes is destroyed without giving the main window
  // back: the program is ending.
  AssignDialogWin(HINSTANCE instance, DriveManager& manager, PlatformServices& platform);

  // Creates, fills and shows the dialog; `owner` is a hidden window, never the main window.
  bool create(HWND owner);

  std::string combo_text() override;
  void set_combo_text(const std::string& text) override;
  std::string folder_text() override;
  void set_folder_text(const std::string& text) override;
  void close() override;
  std::optional<std::string> browse_for_folder(const std::string& prompt) override;
  // Shown and not on its way out.
  bool open() const { return hwnd() != nullptr && !closing_; }

 private:
  friend class WindowBase<AssignDialogWin>;

  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);
  void lay_out(Dpi dpi);
  void on_command(int id, int code, HWND control);
  void on_combo_selection(HWND combo);

  HINSTANCE instance_;
  AssignDialog logic_;
  HWND combo_ = nullptr;
  HWND folder_ = nullptr;
  bool setting_combo_ = false;
  bool closing_ = false;
};

}  // namespace ndek
