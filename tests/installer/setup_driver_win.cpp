// Runs the setup or the uninstaller where a silent run shows nothing:
//   setup_driver message PROGRAM ARGUMENTS
//       starts PROGRAM with ARGUMENTS (one string, as on a command line), waits for its message
//       box, prints its title and text, answers OK and prints the program's exit code;
//   setup_driver while-open WINDOW_PROGRAM PROGRAM ARGUMENTS
//       starts WINDOW_PROGRAM and waits for its window, then runs PROGRAM with ARGUMENTS while
//       the window stays open and prints PROGRAM's exit code; WINDOW_PROGRAM is ended after.
// Prints "exit: N" last; exits 0 when all went as described, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/strings_win.h"
#include "tests/e2e/harness.h"

namespace {

using namespace ndek;
using namespace ndek::e2e;

// Line breaks made visible, so that the whole text stays on one line of the output.
std::string one_line(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  return out;
}

int message(const std::string& program, const std::string& arguments) {
  const Process process = Process::start(windows_path(program), arguments);
  const MessageBoxView box = wait_for_message_box(process.id());
  std::printf("title: %s\ntext: %s\n", box.title.c_str(), one_line(box.text).c_str());
  box.press(IDOK);
  std::printf("exit: %lu\n", process.wait_for_exit());
  return 0;
}

int while_open(const std::string& window_program, const std::string& program,
               const std::string& arguments) {
  const Process open = Process::start(windows_path(window_program));
  wait_for_window(open.id());
  const Process process = Process::start(windows_path(program), arguments);
  std::printf("exit: %lu\n", process.wait_for_exit());
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  try {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(ndek::to_utf8(argv[i]));
    if (arguments.size() == 3 && arguments[0] == "message") return message(arguments[1], arguments[2]);
    if (arguments.size() == 4 && arguments[0] == "while-open") {
      return while_open(arguments[1], arguments[2], arguments[3]);
    }
    std::fprintf(stderr, "usage: setup_driver message PROGRAM ARGUMENTS | while-open WINDOW_PROGRAM PROGRAM ARGUMENTS\n");
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "setup_driver: %s\n", error.what());
    return 1;
  }
}
