#include "platform/win32/win32.h"
#include <commctrl.h>
#include <ole2.h>

#include "manager/drive_manager.h"
#include "manager/help_key_win.h"
#include "manager/manager_window_win.h"
#include "platform/win32/unique_handle_win.h"
#include "settings/program_services_win.h"

namespace {

// The folder browser runs on this thread and needs OLE there.
class OleSession {
 public:
  OleSession() : initialised_(SUCCEEDED(OleInitialize(nullptr))) {}
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;
  ~OleSession() {
    if (initialised_) OleUninitialize();
  }

 private:
  bool initialised_;
};

// F1 goes to whichever of our windows has the message, and Tab moves between its controls.
// Enter and Esc are kept from the dialog manager: it would turn them into clicks on the
// controls with ids 1 and 2, and in these windows neither key has a meaning.
bool handled_as_dialog_key(MSG& message, HACCEL accelerators) {
  const HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root == nullptr) return false;
  if (TranslateAcceleratorW(root, accelerators, &message)) return true;
  const bool keyboard =
      message.message == WM_KEYDOWN || message.message == WM_KEYUP || message.message == WM_CHAR;
  if (keyboard && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE)) return false;
  return IsDialogMessageW(root, &message) != FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  try {
    const OleSession ole;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    ndek::ProgramServices services;
    ndek::Win32Platform& platform = services.platform;
    const ndek::SettingsIo& io = services.io;

    ndek::ManagerWindowWin main_window(instance, platform);
    ndek::DriveManager manager(platform, io, main_window);
    if (!main_window.create(manager)) return 1;
    manager.load();
    main_window.show(show_command);

    ACCEL help_key{FVIRTKEY, VK_F1, ndek::kHelpKeyCommand};
    const ndek::UniqueAccelerators accelerators(CreateAcceleratorTableW(&help_key, 1));

    MSG message{};
    while (!platform.ended() && GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (handled_as_dialog_key(message, accelerators.get())) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    return 0;
  } catch (...) {
    return 1;
  }
}
