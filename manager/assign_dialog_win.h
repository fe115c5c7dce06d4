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
  AssignDialogWin(HINSTANCE instance, ManagerWindow& manager, PlatformServices& platform);
  // Destroys a dialog still open without giving the main window back: the program is ending.
  ~AssignDialogWin();

  // Creates, fills and shows the dialog; `owner` is a hidden window, never the main window.
  bool create(HWND owner);

  std::string combo_text() override;
  void set_combo_text(const std::string& text) override;
  std::string folder_text() override;
  void set_folder_text(const std::string& text) override;
  void close() override;
  WindowRef window() override;

  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void place(UINT dpi);
  void on_command(int id, int code, HWND control);

  HINSTANCE instance_;
  AssignDialog logic_;
  UniqueFont font_;
  HWND combo_ = nullptr;
  HWND folder_ = nullptr;
  HWND last_focus_ = nullptr;
  bool setting_combo_ = false;
  bool closing_ = false;
};

}  // namespace ndek
