#pragma once
// The watching mounter's hidden window: it hears of resume, the display coming on, unlock,
// a console or remote connect and address changes, and of requests from another NDek; the
// Watcher decides what to do about them. Top-level (a message-only window would get neither
// the power nor the end-of-session messages), never shown, not in the task bar.
#include "platform/win32/win32.h"

#include <memory>
#include <optional>

#include "mounter/watcher.h"
#include "platform/win32/unique_handle_win.h"
#include "platform/win32/window_base_win.h"

namespace ndek {

inline constexpr wchar_t kWatchWindowClass[] = L"NDekWatchWindow";
// Posted to a running watcher by a second NDek: look at the drives now.
inline constexpr UINT kRecheckMessage = WM_APP + 1;

class WatchWindow : public WindowBase<WatchWindow>, public WatchTimer {
 public:
  WatchWindow(PlatformServices& platform, const SettingsIo& io, float ver_data);
  ~WatchWindow();

  bool create(HINSTANCE instance);
  Watcher& watcher() { return watcher_; }

  void arm(std::int64_t in_ms) override;
  void disarm() override;

  // Handles window messages and address changes until the watcher ends.
  int run_message_loop();

 private:
  friend class WindowBase<WatchWindow>;
  class AddressChanges;
  class SessionNotices;

  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);
  void lay_out(Dpi) {}  // never shown: nothing to lay out
  void power_broadcast(WPARAM event, LPARAM data);
  // Ends the watcher at once: from the message loop when idle, else the process itself (a
  // look may be waiting for its commands, which are left to finish).
  void end();

  Watcher watcher_;
  HPOWERNOTIFY display_notice_ = nullptr;
  std::unique_ptr<SessionNotices> session_notices_;
  std::unique_ptr<AddressChanges> address_changes_;
  std::optional<DWORD> display_state_;  // unknown until the first notice
};

}  // namespace ndek
