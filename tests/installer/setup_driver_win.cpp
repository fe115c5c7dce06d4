// Runs the installed programs, the setup and the uninstaller where a silent run shows nothing:
//   setup_driver logon-start
//       does what Windows does for NDek at log-on: starts the command line stored under the
//       current user's Run key exactly as stored, with no shell in between. With no settings
//       file beside the installed program, NDek must ask whether to start the manager; the
//       question is checked, answered No, and NDek must then end by itself (a watching one
//       once its watcher is asked to close);
//   setup_driver message PROGRAM ARGUMENTS
//       starts PROGRAM with ARGUMENTS (one string, as on a command line), waits for its message
//       box, prints its title and text, answers OK and prints the program's exit code;
//   setup_driver while-open WINDOW_PROGRAM PROGRAM ARGUMENTS
//       starts WINDOW_PROGRAM and waits for its window, then runs PROGRAM with ARGUMENTS while
//       the window stays open and prints PROGRAM's exit code; WINDOW_PROGRAM is ended after;
//   setup_driver while-mounter watcher|busy MOUNTER SETUP ARGUMENTS
//       starts MOUNTER (a copy of this driver put in NDek.exe's place) as a stand-in mounter:
//       `watcher` ends on WM_CLOSE to its hidden window of the watcher's class, `busy` has no
//       window and ends only when ended (an earlier version waiting on its commands). Runs
//       SETUP with ARGUMENTS meanwhile and prints its exit code, whether the stand-in had
//       ended by then, and the class of a mounter window another process opened within 10 s
//       (the setup starting the watcher again), which is then ended.
// Exits 0 when all went as described, 1 otherwise.
#include "platform/win32/win32.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "mounter/mounter_text.h"
#include "platform/win32/strings_win.h"
#include "tests/e2e/harness.h"

namespace {

using namespace ndek;
using namespace ndek::e2e;

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"NDek";
constexpr wchar_t kWatchClass[] = L"NDekWatchWindow";
constexpr wchar_t kStartupClass[] = L"NDekStartupWindow";
constexpr std::chrono::milliseconds kRestartWait{10000};

// Line breaks made visible, so that a wrong one shows and the text stays on one line.
std::string visible(const std::string& text) {
  std::string out;
  for (char c : text) {
    out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  }
  return out;
}

std::wstring run_command() {
  DWORD size = 0;
  LSTATUS status =
      RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, RRF_RT_REG_SZ, nullptr, nullptr, &size);
  if (status != ERROR_SUCCESS) {
    throw HarnessError("no Run value NDek: error " + std::to_string(status));
  }
  std::wstring command(size / sizeof(wchar_t), L'\0');
  status = RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, RRF_RT_REG_SZ, nullptr,
                        command.data(), &size);
  if (status != ERROR_SUCCESS) {
    throw HarnessError("cannot read Run value NDek: error " + std::to_string(status));
  }
  command.resize(size / sizeof(wchar_t) - 1);  // without the terminating null
  return command;
}

int logon_start() {
  std::wstring command = run_command();
  std::printf("command: %s\n", to_utf8(command).c_str());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    throw HarnessError("CreateProcessW failed: error " + std::to_string(GetLastError()));
  }
  CloseHandle(info.hThread);
  const UniqueKernelHandle process(info.hProcess);

  const MessageBoxView box = wait_for_message_box(info.dwProcessId);
  std::printf("question: %s / %s\n", box.title.c_str(), visible(box.text).c_str());
  std::vector<std::string> problems;
  if (box.title != mounter_text::kTitle) problems.push_back("wrong title");
  if (box.text != mounter_text::kNotSetUp)
    problems.push_back("not the question for missing settings");
  if (!box.has_button(IDYES) || !box.has_button(IDNO)) problems.push_back("no Yes and No buttons");
  box.press(IDNO);
  // A watching NDek stays after its log-on run, hidden, until it is asked to end.
  if (command.find(L" /watch") != std::wstring::npos) {
    const auto watcher = [&] {
      return top_level_windows(info.dwProcessId, to_utf8(kWatchClass), false);
    };
    if (!poll_until([&] { return !watcher().empty(); })) {
      problems.push_back("a watching NDek left no watcher");
    }
    for (HWND window : watcher()) PostMessageW(window, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(process.get(), static_cast<DWORD>(kTimeout.count())) != WAIT_OBJECT_0) {
    TerminateProcess(process.get(), 1);
    problems.push_back("NDek did not end after No");
  }
  for (const std::string& problem : problems)
    std::fprintf(stderr, "logon-start: %s\n", problem.c_str());
  return problems.empty() ? 0 : 1;
}

int message(const std::string& program, const std::string& arguments) {
  const Process process = Process::start(windows_path(program), arguments);
  const MessageBoxView box = wait_for_message_box(process.id());
  std::printf("title: %s\ntext: %s\n", box.title.c_str(), visible(box.text).c_str());
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

LRESULT CALLBACK stand_in_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wparam, lparam);
}

int stand_in_watcher() {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = stand_in_procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = kWatchClass;
  RegisterClassW(&window_class);
  // Hidden and unowned, as the watcher's; WM_CLOSE destroys it by default.
  if (!CreateWindowExW(0, kWatchClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                       window_class.hInstance, nullptr)) {
    return 1;
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

// A mounter window of a process other than `except`, or null.
HWND other_mounter_window(DWORD except) {
  for (const wchar_t* name : {kWatchClass, kStartupClass}) {
    for (HWND window = FindWindowExW(nullptr, nullptr, name, nullptr); window;
         window = FindWindowExW(nullptr, window, name, nullptr)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner != except) return window;
    }
  }
  return nullptr;
}

int while_mounter(const std::string& kind, const std::string& mounter, const std::string& setup,
                  const std::string& arguments) {
  const Process stand_in = Process::start(windows_path(mounter), "stand-in-" + kind);
  if (kind == "watcher") {
    poll_until([&] { return !top_level_windows(stand_in.id(), "NDekWatchWindow", false).empty(); });
  } else {
    Sleep(1000);
  }
  const Process process = Process::start(windows_path(setup), arguments);
  std::printf("exit: %lu\n", process.wait_for_exit());
  std::printf("stand-in ended: %s\n", stand_in.running() ? "no" : "yes");
  HWND restarted = nullptr;
  poll_until([&] { return (restarted = other_mounter_window(stand_in.id())) != nullptr; },
             kRestartWait);
  std::printf("restarted: %s\n", restarted ? window_class(restarted).c_str() : "none");
  if (restarted) {
    DWORD id = 0;
    GetWindowThreadProcessId(restarted, &id);
    const UniqueKernelHandle started(OpenProcess(PROCESS_TERMINATE, FALSE, id));
    if (started) TerminateProcess(started.get(), 0);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  try {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(to_utf8(argv[i]));
    const std::string command = arguments.empty() ? "" : arguments[0];
    if (command == "logon-start" && arguments.size() == 1) return logon_start();
    if (command == "message" && arguments.size() == 3) return message(arguments[1], arguments[2]);
    if (command == "while-open" && arguments.size() == 4) {
      return while_open(arguments[1], arguments[2], arguments[3]);
    }
    if (command == "while-mounter" && arguments.size() == 5 &&
        (arguments[1] == "watcher" || arguments[1] == "busy")) {
      return while_mounter(arguments[1], arguments[2], arguments[3], arguments[4]);
    }
    if (command == "stand-in-watcher") return stand_in_watcher();
    if (command == "stand-in-busy") {
      Sleep(120000);
      return 0;
    }
    std::fprintf(stderr,
                 "usage: setup_driver logon-start | message PROGRAM ARGUMENTS"
                 " | while-open WINDOW_PROGRAM PROGRAM ARGUMENTS"
                 " | while-mounter watcher|busy MOUNTER SETUP ARGUMENTS\n");
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "setup_driver: %s\n", error.what());
    return 1;
  }
}
