// The least a program does to start the mounter's commands, and so the limit the mounter is
// measured against: it reads the commands from commands.txt beside itself (UTF-8, one a line:
// the program file, a tab, the command line) and starts each through the same call as the
// mounter (from the system folder, hidden, a console without a window, an input that ends,
// its output caught, in a job that ends it with what it starts) and waits for them to end, as
// the mounter does, since letting go of a command ends it. No window, no settings codec, no
// labels. It ends with 1 when a command could not be started.
#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "drives/drive_command.h"
#include "platform/win32/file_system_win.h"
#include "platform/win32/platform_services_win.h"

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
    std::vector<std::unique_ptr<ndek::StartedCommand>> running;
    for (std::size_t start = 0; start < lines.size();) {
      const std::size_t end = std::min(lines.find('\n', start), lines.size());
      const std::string_view line(lines.data() + start, end - start);
      start = end + 1;
      const std::size_t tab = line.find('\t');
      if (tab == std::string_view::npos) continue;
      std::unique_ptr<ndek::StartedCommand> started;
      const ndek::DriveCommand command{std::string(line.substr(0, tab)),
                                       std::string(line.substr(tab + 1))};
      if (ndek::start_drive_command(platform, command, started)) {
        ++failures;
      } else {
        running.push_back(std::move(started));
      }
    }
    while (!running.empty()) {
      std::vector<ndek::StartedCommand*> waited;
      for (const auto& command : running) waited.push_back(command.get());
      platform.WaitForCommands(waited, 1000);
      std::erase_if(running, [](const auto& command) { return command->ExitCode().has_value(); });
    }
    return failures == 0 ? 0 : 1;
  } catch (...) {
    return 1;
  }
}
