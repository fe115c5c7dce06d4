#include "platform/win32/platform_services_win.h"

#include <windows.h>

#include "platform/win32/program_dir_win.h"
#include "platform/win32/strings_win.h"
#include "platform/win32/unique_handle_win.h"

namespace ndek {
namespace {

WORD show_command(WindowStyle style) {
  switch (style) {
    case WindowStyle::kHidden:
      return SW_HIDE;
    case WindowStyle::kMinimizedFocus:
      return SW_SHOWMINIMIZED;
    case WindowStyle::kNormalFocus:
      break;
  }
  return SW_SHOWNORMAL;
}

BOOL CALLBACK hide_visible_window(HWND window, LPARAM) {
  if (IsWindowVisible(window)) ShowWindow(window, SW_HIDE);
  return TRUE;
}

}  // namespace

std::string Win32Platform::ProgramDir() { return to_utf8(directory_of(module_path())); }

ErrorNumber Win32Platform::RunCommand(const std::string& command_line, WindowStyle style) {
  // CreateProcessW may write into the command line, so it gets a copy of its own.
  std::wstring line = to_wide(command_line);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = show_command(style);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return error_number_from_system(GetLastError());
  }
  // Nobody waits for the command; the handles are only closed.
  UniqueKernelHandle process_handle(process.hProcess);
  UniqueKernelHandle thread_handle(process.hThread);
  return kOk;
}

std::uint32_t Win32Platform::LogicalDrives() { return GetLogicalDrives(); }

DriveKind Win32Platform::DriveType(const std::string& root_path) {
  const UINT type = GetDriveTypeW(to_wide(root_path).c_str());
  return type <= static_cast<UINT>(DriveKind::kRamDisk) ? static_cast<DriveKind>(type)
                                                        : DriveKind::kUnknown;
}

std::uint32_t Win32Platform::OsVersionWord() {
// The version word itself is what the caller wants, deprecated or not.
#ifdef _MSC_VER
#pragma warning(push)
#pragma warning(disable : 4996)
#endif
  return GetVersion();
#ifdef _MSC_VER
#pragma warning(pop)
#endif
}

std::optional<std::string> Win32Platform::BrowseForFolder(WindowRef owner,
                                                          const std::string& prompt) {
  if (folder_browser_ == nullptr) return std::nullopt;
  return folder_browser_(owner, prompt);
}

int Win32Platform::MessageBox(const std::string& text, int style, const std::string& title) {
  return MessageBoxW(GetActiveWindow(), to_wide(text).c_str(), to_wide(title).c_str(),
                     static_cast<UINT>(style));
}

ErrorNumber Win32Platform::ShowHelp(const std::string& help_file, int command) {
  if (!help_viewer_) return kErrFileNotFound;
  return help_viewer_(help_file, command);
}

void Win32Platform::Beep() { MessageBeep(MB_OK); }

void Win32Platform::PumpEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Taken out of the queue here, it must still reach the main loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Win32Platform::EndProgram() {
  ended_ = true;
  EnumThreadWindows(GetCurrentThreadId(), &hide_visible_window, 0);
  PostQuitMessage(0);
}

}  // namespace ndek
