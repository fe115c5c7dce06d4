#include "mounter/watch_window_win.h"

#include <wtsapi32.h>

#include <algorithm>
#include <string>

#include "platform/win32/system_folder_win.h"

namespace ndek {
namespace {

constexpr UINT_PTR kRecheckTimer = 1;
constexpr UINT_PTR kRegisterTimer = 2;
// Early at log-on the session service may not answer yet: asked again this often, this many
// times.
constexpr UINT kRegisterRetryMs = 5000;
constexpr int kRegisterTries = 60;

// GUID_CONSOLE_DISPLAY_STATE: 0 off, 1 on, 2 dimmed. Modern Standby may wake with no resume
// message, only the display coming on.
constexpr GUID kDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

}  // namespace

// Unlock, console and remote connect come as WM_WTSSESSION_CHANGE once the window is
// registered with the session service.
class WatchWindow::SessionNotices {
 public:
  explicit SessionNotices(HWND window)
      : window_(window),
        wtsapi_(load_system_library(L"wtsapi32.dll")),
        register_(find_function<Register>(wtsapi_.get(), "WTSRegisterSessionNotification")),
        unregister_(find_function<Unregister>(wtsapi_.get(), "WTSUnRegisterSessionNotification")) {}
  SessionNotices(const SessionNotices&) = delete;
  SessionNotices& operator=(const SessionNotices&) = delete;
  ~SessionNotices() {
    if (registered_ && unregister_ != nullptr) unregister_(window_);
  }

  // False while the service is not there yet and it is worth asking again.
  bool try_register() {
    if (register_ == nullptr) return true;
    registered_ = register_(window_, NOTIFY_FOR_THIS_SESSION) != FALSE;
    return registered_ || GetLastError() != RPC_S_INVALID_BINDING || ++tries_ >= kRegisterTries;
  }

 private:
  using Register = BOOL(WINAPI*)(HWND, DWORD);
  using Unregister = BOOL(WINAPI*)(HWND);
  HWND window_;
  UniqueModule wtsapi_;
  Register register_;
  Unregister unregister_;
  bool registered_ = false;
  int tries_ = 0;
};

// The system signals an event when an address of this computer changes (a VPN connects, a
// cable is plugged in, a network is joined). Where it never signals (Wine), it costs nothing.
class WatchWindow::AddressChanges {
 public:
  AddressChanges()
      : iphlpapi_(load_system_library(L"iphlpapi.dll")),
        notify_(find_function<Notify>(iphlpapi_.get(), "NotifyAddrChange")),
        cancel_(find_function<Cancel>(iphlpapi_.get(), "CancelIPChangeNotify")),
        event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    arm();
  }
  AddressChanges(const AddressChanges&) = delete;
  AddressChanges& operator=(const AddressChanges&) = delete;
  ~AddressChanges() {
    if (armed_ && cancel_ != nullptr) cancel_(&overlapped_);
  }

  // The event to wait on; none when the source is not available.
  HANDLE event() const { return armed_ ? event_.get() : nullptr; }

  // The event was signalled: true when it told of a change. Asks for the next one; a source
  // that fails is given up rather than asked again and again.
  bool take() {
    DWORD bytes = 0;
    const bool changed = GetOverlappedResult(handle_, &overlapped_, &bytes, FALSE) != FALSE;
    armed_ = false;
    if (changed) arm();
    return changed;
  }

 private:
  using Notify = DWORD(WINAPI*)(PHANDLE, LPOVERLAPPED);
  using Cancel = BOOL(WINAPI*)(LPOVERLAPPED);

  void arm() {
    if (notify_ == nullptr || !event_) return;
    ResetEvent(event_.get());
    overlapped_ = {};
    overlapped_.hEvent = event_.get();
    armed_ = notify_(&handle_, &overlapped_) == ERROR_IO_PENDING;
  }

  UniqueModule iphlpapi_;
  Notify notify_;
  Cancel cancel_;
  UniqueKernelHandle event_;
  HANDLE handle_ = nullptr;  // the system's, not to be closed
  OVERLAPPED overlapped_{};
  bool armed_ = false;
};

WatchWindow::WatchWindow(PlatformServices& platform, const SettingsIo& io, float ver_data)
    : watcher_(platform, io, ver_data, *this) {}

WatchWindow::~WatchWindow() {
  if (display_notice_ != nullptr) UnregisterPowerSettingNotification(display_notice_);
}

bool WatchWindow::create(HINSTANCE instance) {
  if (!register_class(instance, kWatchWindowClass, nullptr, 0, ClassIcon::kNone) ||
      !WindowBase::create(WS_EX_TOOLWINDOW, kWatchWindowClass, L"", WS_POPUP, nullptr, instance)) {
    return false;
  }
  display_notice_ =
      RegisterPowerSettingNotification(hwnd(), &kDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
  session_notices_ = std::make_unique<SessionNotices>(hwnd());
  if (!session_notices_->try_register())
    SetTimer(hwnd(), kRegisterTimer, kRegisterRetryMs, nullptr);
  address_changes_ = std::make_unique<AddressChanges>();
  return true;
}

void WatchWindow::arm(std::int64_t in_ms) {
  const auto ms =
      static_cast<UINT>(std::clamp<std::int64_t>(in_ms, USER_TIMER_MINIMUM, 0x7fffffff));
  SetTimer(hwnd(), kRecheckTimer, ms, nullptr);
}

void WatchWindow::disarm() { KillTimer(hwnd(), kRecheckTimer); }

int WatchWindow::run_message_loop() {
  int trimmed_at_rest = 0;
  for (;;) {
    if (!watcher_.busy() && watcher_.rests() != trimmed_at_rest) {
      // Back to waiting, perhaps for days: what the run used is given back until needed.
      SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1),
                               static_cast<SIZE_T>(-1));
      trimmed_at_rest = watcher_.rests();
    }
    HANDLE event = address_changes_ ? address_changes_->event() : nullptr;
    const DWORD count = event != nullptr ? 1 : 0;
    const DWORD woken =
        MsgWaitForMultipleObjectsEx(count, &event, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (count == 1 && woken == WAIT_OBJECT_0) {
      if (address_changes_->take()) watcher_.changed();
      continue;
    }
    if (woken == WAIT_FAILED) {
      // Waiting on the event fails: go on with the messages alone rather than spin.
      address_changes_.reset();
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

void WatchWindow::power_broadcast(WPARAM event, LPARAM data) {
  if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND) {
    watcher_.changed();
    return;
  }
  if (event != PBT_POWERSETTINGCHANGE || data == 0) return;
  const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(data);
  if (!IsEqualGUID(setting->PowerSetting, kDisplayState) || setting->DataLength < sizeof(DWORD)) {
    return;
  }
  DWORD state = 0;
  std::copy_n(setting->Data, sizeof state, reinterpret_cast<UCHAR*>(&state));
  // The first notice only tells how the display is now.
  if (display_state_ && *display_state_ == 0 && state != 0) watcher_.changed();
  display_state_ = state;
}

void WatchWindow::end() {
  if (watcher_.busy()) ExitProcess(0);
  DestroyWindow(hwnd());
}

LRESULT WatchWindow::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case kRecheckMessage:
      watcher_.asked();
      return 0;
    case WM_TIMER:
      if (wparam == kRecheckTimer) {
        watcher_.timer();
      } else if (wparam == kRegisterTimer && session_notices_->try_register()) {
        KillTimer(hwnd(), kRegisterTimer);
      }
      return 0;
    case WM_POWERBROADCAST:
      power_broadcast(wparam, lparam);
      return TRUE;
    case WM_WTSSESSION_CHANGE:
      if (wparam == WTS_CONSOLE_CONNECT || wparam == WTS_REMOTE_CONNECT ||
          wparam == WTS_SESSION_UNLOCK || wparam == WTS_SESSION_LOGON) {
        watcher_.changed();
      }
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wparam != FALSE) end();
      return 0;
    case WM_CLOSE:
      end();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd(), message, wparam, lparam);
  }
}

}  // namespace ndek
