#include "platform/win32/win32.h"
#include <commctrl.h>

#include "mounter/set_aside_programs_win.h"
#include "mounter/startup_window_win.h"
#include "platform/win32/ansi_code_page_win.h"
#include "platform/win32/file_system_win.h"
#include "platform/win32/platform_services_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  try {
    ndek::remove_set_aside_programs();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    ndek::Win32Platform platform;
    ndek::Win32FileSystem files;
    ndek::Win32AnsiCodePage code_page;
    const ndek::SettingsIo io{files, code_page};
    ndek::StartupWindow window(platform, io);
    if (!window.create(instance, show_command)) return 1;

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
