#pragma once
// NDek's only window: a borderless title card with one progress line. Its timer starts the
// mount run half a second after it appears.
#include "platform/win32/win32.h"

#include <string>

#include "mounter/mount_run.h"
#include "mounter/watcher.h"
#include "platform/win32/platform_services_win.h"
#include "platform/win32/unique_handle_win.h"
#include "platform/win32/window_base_win.h"

namespace ndek {

// Found by this class by `NDek /stop` and the setup, which ask a running mounter to close.
inline constexpr wchar_t kStartupWindowClass[] = L"NDekStartupWindow";

class StartupWindowWin : public WindowBase<StartupWindowWin>, public MountWindow {
 public:
  // Control ids, for whoever looks at the window from outside.
  static constexpr int kLabel1Id = 101;
  static constexpr int kLabel2Id = 102;
  static constexpr int kVerId = 103;
  static constexpr int kLabel3Id = 104;

  // With a `watcher`, the program stays after the run and the watcher takes over; the
  // window goes.
  StartupWindowWin(Win32Platform& platform, const SettingsIo& io, Watcher* watcher = nullptr);

  // Creates and loads the window, shows it and arms the timer; false when it could not be
  // created.
  bool create(HINSTANCE instance, int show_command);

  void disable_timer() override;
  void set_progress(const std::string& text) override;
  void hide() override;

 private:
  friend class WindowBase<StartupWindowWin>;

  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);
  // Places the controls and makes their fonts for `dpi`.
  void lay_out(Dpi dpi);
  // Takes the system version and shows it in the hidden label `ver`.
  void load();
  void on_timer();
  void paint();

  Win32Platform& platform_;
  const SettingsIo& io_;
  Watcher* watcher_;
  bool running_ = false;
  bool handed_over_ = false;  // gone for the watcher: its going does not end the program
  float ver_data_ = 0;
  Dpi dpi_ = kDefaultDpi;
};

}  // namespace ndek
