// Stands in for a system command (subst.exe, net.exe) or for the manager beside a program
// under test: appends how it was started to record.log in its own directory and exits.
#include "platform/win32/win32.h"
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>

#include "platform/win32/program_dir_win.h"
#include "platform/win32/strings_win.h"
#include "platform/win32/unique_handle_win.h"
#include "tests/e2e/record_line.h"

namespace {

using ndek::to_utf8;
using ndek::to_wide;

ndek::e2e::RecordLine describe_start() {
  ndek::e2e::RecordLine record;
  const std::wstring path = ndek::module_path();
  record.program = to_utf8(path.substr(path.find_last_of(L'\\') + 1));
  const wchar_t* command_line = GetCommandLineW();
  record.command_line = to_utf8(command_line);
  int count = 0;
  if (LPWSTR* arguments = CommandLineToArgvW(command_line, &count)) {
    for (int i = 0; i < count; ++i) record.arguments.push_back(to_utf8(arguments[i]));
    LocalFree(arguments);
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  record.show_window_set = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0;
  record.show_window = startup.wShowWindow;
  return record;
}

// Several recorders may start at once: the log is opened exclusively, so each line is
// written whole, and an open that meets another recorder's is retried.
bool append_line(const std::wstring& log_path, const std::string& line) {
  constexpr int kAttempts = 2000;  // about 10 s
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    ndek::UniqueFileHandle file(CreateFileW(log_path.c_str(), FILE_APPEND_DATA, 0, nullptr,
                                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
      if (GetLastError() != ERROR_SHARING_VIOLATION) return false;
      Sleep(5);
      continue;
    }
    DWORD written = 0;
    return WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
           written == line.size();
  }
  return false;
}

}  // namespace

int wmain() {
  const ndek::e2e::RecordLine record = describe_start();
  const std::wstring path = ndek::module_path();
  const std::wstring log_path = path.substr(0, path.find_last_of(L'\\') + 1) + L"record.log";
  return append_line(log_path, ndek::e2e::format_record_line(record) + "\n") ? 0 : 1;
}
