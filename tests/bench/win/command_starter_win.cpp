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
#include <memory>
#include <string>
#include <string_view>

#include "platform/win32/file_system_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    ndek::Win32Platform platform;
    ndek::Win32FileSystem files;
    std::unique_ptr<ndek::InputFile> file;
    if (files.open_read(ndek::program_file(platform.ProgramDir(), "commands.txt"), file)) {
      return 1;
    }
    std::string lines;
    char buffer[4096];
    std::size_t got = 0;
    while (file->read(buffer, sizeof buffer, got) == ndek::kOk && got > 0)
      lines.append(buffer, got);

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
