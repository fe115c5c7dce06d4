#pragma once
// The manager's main window: five buttons over the drive grid. Every click goes to the
// DriveManager logic; the window only places and draws.
#include "platform/win32/win32.h"

#include <memory>

#include "manager/assign_dialog_win.h"
#include "manager/drive_grid_win.h"
#include "manager/drive_manager.h"
#include "manager/help_window_win.h"
#include "platform/win32/unique_handle_win.h"
#include "platform/win32/window_base_win.h"

namespace ndek {

class ManagerWindowWin : public WindowBase<ManagerWindowWin>, public ManagerView {
 public:
  // The buttons, in the order of their captions' numbers (Command1 to Command5), and the grid.
  static constexpr int kAssignId = 1;
  static constexpr int kDeleteId = 2;
  static constexpr int kHelpId = 3;
  static constexpr int kFinishId = 4;
  static constexpr int kCancelId = 5;
  static constexpr int kGridId = 6;

  ManagerWindowWin(HINSTANCE instance, PlatformServices& platform);

  // Creates the window and its controls, hidden, sized and centred; `logic` handles its events.
  bool create(DriveManager& logic);
  void show(int show_command);

  void set_enabled(bool enabled) override;
  void bring_to_front() override;
  void show_assign_dialog() override;
  void refresh_table() override;
  void set_busy(bool busy) override;
  ErrorNumber show_help(const std::string& text) override;

 private:
  friend class WindowBase<ManagerWindowWin>;

  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);
  void lay_out(Dpi dpi);
  void on_command(int id, int code);
  // Activates the assignment dialog when it is open; false when it is not.
  bool bring_dialog_forward();

  HINSTANCE instance_;
  PlatformServices& platform_;
  DriveManager* logic_ = nullptr;
  std::unique_ptr<DriveGridWin> grid_;
  // Owns the assignment dialog instead of this window, which keeps the dialog out of the
  // task bar while leaving it usable when this window is disabled.
  UniqueWindow dialog_owner_;
  std::unique_ptr<AssignDialogWin> dialog_;
  HelpWindowWin help_window_{instance_};
  bool busy_ = false;
};

}  // namespace ndek
