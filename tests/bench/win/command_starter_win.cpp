// The least a program does to start the mounter's commands, and so the limit the mounter is
// measured against: it reads the command lines from commands.txt beside itself (UTF-8, one a
// line) and starts each through the same platform call as the mounter (hidden, not waited
// for, its handles closed). No window, no settings codec, no labels. It ends with 1 when a
// command could not be started.
// clang-format off
// First, so that the platform's MessageBox keeps its name here as everywhere.
#include "platform/win32/platform_services_win.h"
// clang-format on

#include <algorithm>
#include <string>
#include <string_view>

#include "platform/win32/program_dir_win.h"
#include "platform/win32/unique_handle_win.h"

namespace {

std::string read_whole_file(const std::wstring& path) {
  const ndek::UniqueFileHandle file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (file && ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
    bytes.append(buffer, got);
  }
  return bytes;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    const std::string lines =
        read_whole_file(ndek::directory_of(ndek::module_path()) + L"\\commands.txt");
    ndek::Win32Platform platform;
    int failures = 0;
    for (std::size_t start = 0; start < lines.size();) {
      const std::size_t end = std::min(lines.find('\n', start), lines.size());
      const std::string_view line(lines.data() + start, end - start);
      if (!line.empty() && platform.RunCommand(std::string(line), ndek::WindowStyle::kHidden)) {
        ++failures;
      }
      start = end + 1;
    }
    return failures == 0 ? 0 : 1;
  } catch (...) {
    return 1;
  }
}
