// Stands in for a system command (subst.exe, net.exe) or for the manager: appends how it was
// started to record.log and exits. The log goes to the folder NDEK_RECORD_DIR names (the
// scenario's, which the harness passes on), else beside the stand-in.
//
// A file stand-in.txt in that folder steers subst and net:
//   Z: 2 2     the first two starts for Z: end with exit code 2, later ones with 0
//   Z: 2/53 0  the first start ends with 2 after printing what net prints for system error 53
//              (in code page 932, as on Japanese Windows), the second with 0
//   english    the printed messages are those of English Windows
//   hang       net1 never ends, as one waiting for a password on a console nobody sees
//   map        subst really maps and unmaps its letter (DefineDosDeviceW), and fails with 1
//              as the real one does: a letter already taken, or /D on one that is not
//   logon nas  net use on \\nas\... fails as a refused logon does (exit code 2, error 1326
//              printed in code page 932) until the credential store holds nas
// Without the file every start ends with 0 and maps nothing.
//
// As net.exe with a net1.exe beside it, it starts that, as the real one does: a console
// program, with no flags, sharing its console and standard handles, and waits for it.
#include "platform/win32/win32.h"
#include <shellapi.h>
#include <wincred.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/program_dir_win.h"
#include "platform/win32/strings_win.h"
#include "platform/win32/unique_handle_win.h"
#include "tests/e2e/record_line.h"

namespace {

using ndek::to_utf8;
using ndek::to_wide;

constexpr DWORD kInputWaitMs = 2000;

struct InputRead {
  HANDLE input = nullptr;
  BOOL ok = FALSE;
  DWORD got = 0;
  DWORD error = 0;
};

DWORD WINAPI read_one_byte(void* parameter) {
  auto& read = *static_cast<InputRead*>(parameter);
  char byte = 0;
  read.ok = ReadFile(read.input, &byte, 1, &read.got, nullptr);
  read.error = GetLastError();
  return 0;
}

// "none" (no standard input), "ends" (it ends at once), "data", "error N", or "waits" when
// a read did not return within two seconds (a console or a pipe nobody writes to). The read
// runs on a thread of its own, so the stand-in itself never waits longer.
std::string read_standard_input() {
  InputRead read;
  read.input = GetStdHandle(STD_INPUT_HANDLE);
  if (read.input == nullptr || read.input == INVALID_HANDLE_VALUE) return "none";
  const ndek::UniqueKernelHandle thread(
      CreateThread(nullptr, 0, &read_one_byte, &read, 0, nullptr));
  if (!thread) return "error thread";
  if (WaitForSingleObject(thread.get(), kInputWaitMs) != WAIT_OBJECT_0) return "waits";
  if (!read.ok) return "error " + std::to_string(read.error);
  return read.got == 0 ? "ends" : "data";
}

ndek::e2e::RecordLine describe_start() {
  ndek::e2e::RecordLine record;
  record.program = to_utf8(ndek::module_path());
  record.input = read_standard_input();
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
  const HWND console = GetConsoleWindow();
  record.console = console == nullptr ? "none" : IsWindowVisible(console) ? "visible" : "hidden";
  return record;
}

// Starts net1.exe beside this net.exe the way net.exe does, and waits for it.
void run_net1(const std::wstring& self) {
  const std::wstring net1 = self.substr(0, self.find_last_of(L'\\') + 1) + L"net1.exe";
  if (GetFileAttributesW(net1.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  // The same arguments after another program name.
  const std::wstring_view own = GetCommandLineW();
  const std::size_t name_end = own.substr(0, 1) == L"\"" ? own.find(L'"', 1) + 1 : own.find(L' ');
  std::wstring line = L"net1" + std::wstring(name_end < own.size() ? own.substr(name_end) : L"");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(net1.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return;
  }
  const ndek::UniqueKernelHandle thread(process.hThread);
  const ndek::UniqueKernelHandle child(process.hProcess);
  WaitForSingleObject(child.get(), INFINITE);
}

struct SystemMessage {
  int error;
  const wchar_t* japanese;
  const wchar_t* english;
};

constexpr SystemMessage kSystemMessages[] = {
    {53, L"ネットワーク パスが見つかりません。", L"The network path was not found."},
    {67, L"ネットワーク名が見つかりません。", L"The network name cannot be found."},
    {85, L"ローカル デバイス名は既に使用されています。",
     L"The local device name is already in use."},
    {86, L"指定されたネットワーク パスワードが間違っています。",
     L"The specified network password is not correct."},
    {1219,
     L"同じユーザーによる、サーバーまたは共有リソースへの複数のユーザー名での複数の接続は許可されま"
     L"せん。サーバーまたは共有リソースへの以前の接続をすべて切断してから、再試行してください。",
     L"Multiple connections to a server or shared resource by the same user, using more than one "
     L"user name, are not allowed. Disconnect all previous connections to the server or shared "
     L"resource and try again."},
    {1326, L"ユーザー名またはパスワードが正しくありません。",
     L"The user name or password is incorrect."},
};

// Prints what net prints for a system error: a blank line, the error, a blank line, the
// reason and a blank line; in code page 932 or, for English Windows, in ASCII.
void print_system_error(int error, bool english) {
  const std::wstring number = std::to_wstring(error);
  std::wstring text = L"\r\n" +
                      (english ? L"System error " + number + L" has occurred."
                               : L"システム エラー " + number + L" が発生しました。") +
                      L"\r\n\r\n";
  for (const SystemMessage& message : kSystemMessages) {
    if (message.error == error) text += english ? message.english : message.japanese;
  }
  text += L"\r\n\r\n";
  const int size = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                       0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
            &written, nullptr);
}

std::string read_rest(HANDLE file) {
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  return text;
}

std::string file_name(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

// The drive letter a command is about ("X:"), or empty.
std::string drive_argument(const ndek::e2e::RecordLine& record) {
  for (std::size_t i = 1; i < record.arguments.size(); ++i) {
    const std::string& argument = record.arguments[i];
    if (argument.size() == 2 && argument[1] == ':') return argument;
  }
  return {};
}

// Appends the record and returns how many starts of this program for this letter the log
// holds, this one included. Several stand-ins may start at once: the log is opened
// exclusively, so each line is written whole and counted right, and an open that meets
// another stand-in's is retried. 0 when the log could not be written.
int append_and_count(const std::wstring& log_path, const ndek::e2e::RecordLine& record) {
  constexpr int kAttempts = 2000;  // about 10 s
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    ndek::UniqueFileHandle file(CreateFileW(log_path.c_str(), GENERIC_READ | FILE_APPEND_DATA, 0,
                                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
      if (GetLastError() != ERROR_SHARING_VIOLATION) return 0;
      Sleep(5);
      continue;
    }
    int count = 1;
    std::istringstream lines(read_rest(file.get()));
    for (std::string line; std::getline(lines, line);) {
      const auto earlier = ndek::e2e::parse_record_line(line);
      if (earlier && file_name(earlier->program) == file_name(record.program) &&
          drive_argument(*earlier) == drive_argument(record)) {
        ++count;
      }
    }
    const std::string line = ndek::e2e::format_record_line(record) + "\n";
    DWORD written = 0;
    const bool ok =
        WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
        written == line.size();
    return ok ? count : 0;
  }
  return 0;
}

struct Exit {
  int code = 0;
  int system_error = 0;  // printed before it ends, when not 0
};

struct Control {
  bool map = false;
  std::string logon_server;  // wants a stored credential
  bool english = false;
  bool hang = false;
  std::vector<Exit> exits;  // of the letter's first starts, in order
};

Control read_control(const std::wstring& path, const std::string& drive) {
  Control control;
  const ndek::UniqueFileHandle file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return control;
  std::istringstream lines(read_rest(file.get()));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string first;
    words >> first;
    if (first == "map") control.map = true;
    if (first == "logon") words >> control.logon_server;
    if (first == "english") control.english = true;
    if (first == "hang") control.hang = true;
    if (drive.empty() || CompareStringOrdinal(to_wide(first).c_str(), -1, to_wide(drive).c_str(),
                                              -1, TRUE) != CSTR_EQUAL) {
      continue;
    }
    for (std::string word; words >> word;) {
      const std::size_t slash = word.find('/');
      control.exits.push_back({std::atoi(word.c_str()), slash == std::string::npos
                                                            ? 0
                                                            : std::atoi(word.c_str() + slash + 1)});
    }
  }
  return control;
}

bool letter_taken(const std::wstring& drive) {
  wchar_t target[1024];
  return QueryDosDeviceW(drive.c_str(), target, 1024) != 0;
}

// What subst does to the system: maps the letter, or with /D unmaps it; 1 when it cannot.
int substitute(const ndek::e2e::RecordLine& record) {
  if (record.arguments.size() != 3) return 1;
  const std::wstring drive = to_wide(record.arguments[1]);
  const std::wstring target = to_wide(record.arguments[2]);
  if (CompareStringOrdinal(target.c_str(), -1, L"/D", -1, TRUE) == CSTR_EQUAL) {
    if (!letter_taken(drive)) return 1;
    return DefineDosDeviceW(DDD_REMOVE_DEFINITION, drive.c_str(), nullptr) ? 0 : 1;
  }
  if (letter_taken(drive)) return 1;
  return DefineDosDeviceW(0, drive.c_str(), target.c_str()) ? 0 : 1;
}

// net use on a share of the server, without a credential stored for it: what net prints.
bool logon_refused(const ndek::e2e::RecordLine& record, const std::string& server) {
  const std::string share = "\\\\" + server + "\\";
  bool on_server = false;
  for (const std::string& argument : record.arguments) on_server |= argument.rfind(share, 0) == 0;
  if (!on_server) return false;
  PCREDENTIALW stored = nullptr;
  if (CredReadW(to_wide(server).c_str(), CRED_TYPE_DOMAIN_PASSWORD, 0, &stored)) {
    CredFree(stored);
    return false;
  }
  print_system_error(1326, false);
  return true;
}

std::wstring record_dir() {
  wchar_t dir[32768];
  const DWORD length = GetEnvironmentVariableW(L"NDEK_RECORD_DIR", dir, 32768);
  if (length > 0 && length < 32768) return std::wstring(dir, length) + L"\\";
  const std::wstring path = ndek::module_path();
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

}  // namespace

int wmain() {
  const ndek::e2e::RecordLine record = describe_start();
  const std::wstring dir = record_dir();
  const int start = append_and_count(dir + L"record.log", record);
  if (start == 0) return 1;
  const std::string drive = drive_argument(record);
  const std::string name = file_name(record.program);
  const Control control = read_control(dir + L"stand-in.txt", drive);
  if (name == "net1.exe") {
    if (control.hang) Sleep(INFINITE);
    return 0;
  }
  Exit exit;
  if (!drive.empty() && static_cast<std::size_t>(start) <= control.exits.size()) {
    exit = control.exits[static_cast<std::size_t>(start) - 1];
  }
  if (exit.system_error != 0) print_system_error(exit.system_error, control.english);
  if (name == "net.exe") run_net1(ndek::module_path());
  if (exit.code != 0) return exit.code;
  if (control.map && name == "subst.exe") return substitute(record);
  if (!control.logon_server.empty() && name == "net.exe" &&
      logon_refused(record, control.logon_server)) {
    return 2;
  }
  return 0;
}
