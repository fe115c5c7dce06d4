// The least a program does to start the mounter's commands, and so the limit the mounter is
// measured against: it reads the commands from commands.txt beside itself (UTF-8, one a line:
// the program file, a tab, the command line) and starts each through the same call as the
// mounter (from the system folder, hidden, no console, an input that ends), closing its
// handles at once and waiting for none. No window, no settings codec, no labels. It ends with
// 1 when a command could not be started.
#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

#include "platform/win32/file_system_win.h"
#include "platform/win32/platform_services_win.h"
#include "settings/drive_command.h"

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
      start = end + 1;
      const std::size_t tab = line.find('\t');
      if (tab == std::string_view::npos) continue;
      std::unique_ptr<ndek::StartedCommand> started;
      const ndek::DriveCommand command{std::string(line.substr(0, tab)),
                                       std::string(line.substr(tab + 1))};
      if (ndek::start_drive_command(platform, command, started)) ++failures;
    }
    return failures == 0 ? 0 : 1;
  } catch (...) {
    return 1;
  }
}
