#include "platform/win32/win32.h"
#include <commctrl.h>

#include <optional>

#include "mounter/mounter_mode.h"
#include "mounter/set_aside_programs_win.h"
#include "mounter/startup_window_win.h"
#include "mounter/watch_window_win.h"
#include "platform/os_version.h"
#include "platform/win32/unique_handle_win.h"
#include "settings/program_services_win.h"

namespace {

// A second watcher that starts while the first is still making its window waits this long
// for it.
constexpr int kFindWatcherTries = 30;
constexpr DWORD kFindWatcherPauseMs = 100;

bool runs_as_system() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  const ndek::UniqueKernelHandle token(raw);
  alignas(TOKEN_USER) unsigned char buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  if (!GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &size)) return false;
  return IsWellKnownSid(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, WinLocalSystemSid) !=
         FALSE;
}

// Asks this session's watcher to look at the drives now; false when there is none.
bool ask_running_watcher(int tries) {
  for (int i = 0; i < tries; ++i) {
    if (i > 0) Sleep(kFindWatcherPauseMs);
    if (const HWND watcher = FindWindowW(ndek::kWatchWindowClass, nullptr)) {
      return PostMessageW(watcher, ndek::kRecheckMessage, 0, 0) != FALSE;
    }
  }
  return false;
}

// Every mounter window of this session is asked to close; each mounter then ends.
BOOL CALLBACK close_mounter(HWND window, LPARAM) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  if (lstrcmpW(name, ndek::kWatchWindowClass) == 0 ||
      lstrcmpW(name, ndek::kStartupWindowClass) == 0) {
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  return TRUE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int show_command) {
  try {
    ndek::MounterMode mode = ndek::mounter_mode(arguments != nullptr ? arguments : L"");
    if (mode == ndek::MounterMode::kStop) {
      EnumWindows(&close_mounter, 0);
      return 0;
    }
    ndek::remove_set_aside_programs();

    ndek::ProgramServices services;
    ndek::Win32Platform& platform = services.platform;
    const ndek::SettingsIo& io = services.io;
    if (mode != ndek::MounterMode::kLogOn) {
      switch (ndek::refusal(mode, runs_as_system(), platform.ShellSeesOurDrives())) {
        case ndek::Refusal::kNothing:
          return 0;
        case ndek::Refusal::kLogOnOnly:
          mode = ndek::MounterMode::kLogOn;
          break;
        case ndek::Refusal::kNone:
          break;
      }
    }
    const float ver_data = ndek::version_from_word(platform.OsVersionWord());
    if (mode == ndek::MounterMode::kRemount) {
      if (!ask_running_watcher(1)) ndek::remount(platform, io, ver_data, 0);
      return 0;
    }

    // One watcher per session: a second one hands over to the first and ends.
    ndek::UniqueKernelHandle one_watcher;
    std::optional<ndek::WatchWindow> watch;
    if (mode == ndek::MounterMode::kWatch) {
      one_watcher.reset(CreateMutexW(nullptr, FALSE, L"Local\\NDek.Watcher"));
      if (one_watcher && GetLastError() == ERROR_ALREADY_EXISTS) {
        ask_running_watcher(kFindWatcherTries);
        return 0;
      }
      watch.emplace(platform, io, ver_data);
      // Without its window it cannot watch: the log-on run alone, as without the switch.
      if (!watch->create(instance)) watch.reset();
    }

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    ndek::StartupWindowWin window(platform, io, watch ? &watch->watcher() : nullptr);
    if (!window.create(instance, show_command)) return 1;
    if (watch) return watch->run_message_loop();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    return 0;
  } catch (...) {
    return 1;
  }
}
