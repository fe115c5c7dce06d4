#pragma once
// The manager's main window: five buttons over the drive grid. Every click goes to the
// ManagerWindow logic; the window only places and draws.

#include "platform/win32/win32.h"

#include <memory>

#include "manager/assign_dialog_win.h"
#include "manager/drive_grid_win.h"
#include "manager/manager_window.h"
#include "platform/win32/unique_handle_win.h"
#include "platform/win32/window_base_win.h"

namespace ndek {

class MainWindowWin : public WindowBase<MainWindowWin>, public ManagerView {
 public:
  // The command of the F1 accelerator.
  static constexpr int kHelpKeyCommand = 100;

  MainWindowWin(HINSTANCE instance, PlatformServices& platform);
  ~MainWindowWin();

  // Creates the window and its controls, hidden, sized and centred; `logic` handles its events.
  bool create(ManagerWindow& logic);
  void show(int show_command);
  // The open assignment dialog, or null.
  HWND dialog_window() const;

  void set_enabled(bool enabled) override;
  void bring_to_front() override;
  void show_assign_dialog() override;
  void refresh_table() override;

  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void place_controls(UINT dpi);
  void on_command(int id, int code);

  HINSTANCE instance_;
  PlatformServices& platform_;
  ManagerWindow* logic_ = nullptr;
  UniqueFont font_;
  std::unique_ptr<DriveGridWin> grid_;
  // Owns the assignment dialog instead of this window, which keeps the dialog out of the
  // task bar while leaving it usable when this window is disabled.
  UniqueWindow dialog_owner_;
  std::unique_ptr<AssignDialogWin> dialog_;
  HWND last_focus_ = nullptr;
};

}  // namespace ndek
