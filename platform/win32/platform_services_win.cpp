#include "platform/win32/platform_services_win.h"

#include "platform/win32/win32.h"

#include <algorithm>
#include <cwchar>
#include <utility>
#include <vector>

#include "platform/win32/credentials_win.h"
#include "platform/win32/program_dir_win.h"
#include "platform/win32/strings_win.h"
#include "platform/win32/system_folder_win.h"
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

// Up to this many commands are watched by one wait; any beyond them are looked at this often.
constexpr std::size_t kMaxWaitedCommands = MAXIMUM_WAIT_OBJECTS - 1;
constexpr std::int64_t kRecheckMs = 100;

// What a command may print that is worth reading: the reason is in its first lines.
constexpr DWORD kMaxOutputBytes = 64 * 1024;

// The output as text: console programs write in the OEM code page (932 on Japanese Windows,
// 65001 with the system-wide UTF-8 option), not in the ANSI one.
std::string decode_output(const std::string& bytes) {
  if (bytes.empty()) return {};
  const UINT code_page = GetOEMCP();
  const int length =
      MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                      length);
  return to_utf8(wide);
}

class Win32StartedCommand : public StartedCommand {
 public:
  Win32StartedCommand(HANDLE process, UniqueKernelHandle job, UniqueFileHandle output)
      : process_(process), job_(std::move(job)), output_(std::move(output)) {}
  // Closing the job ends the command and whatever it started, should it still run.
  ~Win32StartedCommand() override = default;
  std::optional<std::uint32_t> ExitCode() override {
    DWORD code = 0;
    if (WaitForSingleObject(process_.get(), 0) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process_.get(), &code)) {
      return std::nullopt;
    }
    return code;
  }
  std::string Output() override {
    if (!output_) return {};
    // Read from the start whatever the file pointer the command shares with us says.
    std::string bytes(kMaxOutputBytes, '\0');
    OVERLAPPED from_start{};
    DWORD got = 0;
    if (!ReadFile(output_.get(), bytes.data(), kMaxOutputBytes, &got, &from_start)) got = 0;
    bytes.resize(got);
    return decode_output(bytes);
  }
  HANDLE process() const { return process_.get(); }

 private:
  UniqueKernelHandle process_;
  UniqueKernelHandle job_;
  UniqueFileHandle output_;
};

// A temporary file for a command's output and error output. It is read once the command has
// ended; unlike a pipe, it never fills up and holds the command up. The system deletes it when
// the last handle goes, the command's included. None when no such file can be made: the command
// then writes to NUL.
UniqueFileHandle output_file() {
  wchar_t dir[MAX_PATH + 1];
  wchar_t name[MAX_PATH];
  const DWORD length = GetTempPathW(MAX_PATH + 1, dir);
  if (length == 0 || length > MAX_PATH || GetTempFileNameW(dir, L"ndk", 0, name) == 0) return {};
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  UniqueFileHandle file(CreateFileW(name, GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    &inheritable, TRUNCATE_EXISTING,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!file) DeleteFileW(name);
  return file;
}

// A job that ends every process in it when its last handle is closed. None when the system
// refuses one; the command then runs without.
UniqueKernelHandle command_job() {
  UniqueKernelHandle job(CreateJobObjectW(nullptr, nullptr));
  if (!job) return job;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                               sizeof limits)) {
    job.reset();
  }
  return job;
}

// The attribute that lets a started program inherit the given handles and no other.
class InheritOnly {
 public:
  explicit InheritOnly(std::vector<HANDLE> handles) : handles_(std::move(handles)) {
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    buffer_.resize(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data());
    if (!InitializeProcThreadAttributeList(list, 1, 0, &size)) return;
    // The list refers to handles_, which lives as long as the list.
    if (!UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                                   handles_.size() * sizeof(HANDLE), nullptr, nullptr)) {
      DeleteProcThreadAttributeList(list);
      return;
    }
    list_ = list;
  }
  InheritOnly(const InheritOnly&) = delete;
  InheritOnly& operator=(const InheritOnly&) = delete;
  ~InheritOnly() {
    if (list_ != nullptr) DeleteProcThreadAttributeList(list_);
  }
  LPPROC_THREAD_ATTRIBUTE_LIST get() const { return list_; }

 private:
  std::vector<HANDLE> handles_;
  std::vector<unsigned char> buffer_;
  LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

using GetConnection = DWORD(WINAPI*)(LPCWSTR, LPWSTR, LPDWORD);

// The network path a letter is connected to. mpr.dll is loaded only here, by full path, and
// only while it is asked.
std::optional<std::wstring> network_connection(const std::wstring& drive) {
  const UniqueModule mpr = load_system_library(L"mpr.dll");
  const auto get_connection = find_function<GetConnection>(mpr.get(), "WNetGetConnectionW");
  if (get_connection == nullptr) return std::nullopt;
  std::wstring remote(kMaxPathChars, L'\0');
  DWORD size = kMaxPathChars;
  const DWORD result = get_connection(drive.c_str(), remote.data(), &size);
  // A remembered connection that is not made at the moment still holds the letter.
  if (result != NO_ERROR && result != ERROR_CONNECTION_UNAVAIL) return std::nullopt;
  remote.resize(std::wcslen(remote.c_str()));
  return remote;
}

// Whether the process runs with an elevated token; nothing when that cannot be told.
std::optional<bool> is_elevated(HANDLE process) {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &raw)) return std::nullopt;
  const UniqueKernelHandle token(raw);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size)) {
    return std::nullopt;
  }
  return elevation.TokenIsElevated != 0;
}

BOOL CALLBACK hide_visible_window(HWND window, LPARAM) {
  if (IsWindowVisible(window)) ShowWindow(window, SW_HIDE);
  return TRUE;
}

}  // namespace

std::string Win32Platform::ProgramDir() { return to_utf8(directory_of(module_path())); }

std::string Win32Platform::SystemDir() { return to_utf8(system_folder()); }

ErrorNumber Win32Platform::RunCommand(const std::string& program, const std::string& command_line,
                                      WindowStyle style, std::unique_ptr<StartedCommand>& started) {
  // Standard input that ends at once, so that a command that asks for something (a password)
  // fails instead of waiting for ever.
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  const UniqueFileHandle nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                         OPEN_EXISTING, 0, nullptr));
  if (!nul) return error_number_from_system(GetLastError());
  // Only a hidden start is a command of ours, whose output tells why it failed and whose
  // tree ends with it. A program shown to the user (the manager) is the user's and outlives us.
  const bool command = style == WindowStyle::kHidden;
  UniqueFileHandle output = command ? output_file() : UniqueFileHandle();
  const HANDLE written = output ? output.get() : nul.get();
  const InheritOnly inherit(output ? std::vector<HANDLE>{nul.get(), output.get()}
                                   : std::vector<HANDLE>{nul.get()});
  if (inherit.get() == nullptr) return error_number_from_system(GetLastError());

  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.StartupInfo.wShowWindow = show_command(style);
  startup.StartupInfo.hStdInput = nul.get();
  startup.StartupInfo.hStdOutput = written;
  startup.StartupInfo.hStdError = written;
  startup.lpAttributeList = inherit.get();
  const std::wstring application = to_wide(program);
  // CreateProcessW may write into the command line, so it gets a copy of its own.
  std::wstring line = to_wide(command_line);
  PROCESS_INFORMATION process{};
  // A console without a window. With none at all (DETACHED_PROCESS), the console program that
  // net.exe starts in turn (net1.exe) would be given a console window of its own, on screen;
  // this way it shares the windowless one. Suspended until it is in its job, so that nothing
  // it starts escapes the job.
  const DWORD flags = CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT | CREATE_SUSPENDED;
  if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, TRUE, flags, nullptr,
                      nullptr, &startup.StartupInfo, &process)) {
    return error_number_from_system(GetLastError());
  }
  const UniqueKernelHandle thread(process.hThread);
  UniqueKernelHandle job = command ? command_job() : UniqueKernelHandle();
  // Windows 7 puts a process in one job only: when this program already runs in a job that
  // allows no breakaway, the command goes without one, and a command that outlives its time
  // is then left running rather than not started.
  if (job && !AssignProcessToJobObject(job.get(), process.hProcess)) job.reset();
  ResumeThread(thread.get());
  started =
      std::make_unique<Win32StartedCommand>(process.hProcess, std::move(job), std::move(output));
  return kOk;
}

std::int64_t Win32Platform::NowMs() { return static_cast<std::int64_t>(GetTickCount64()); }

void Win32Platform::WaitForCommands(const std::vector<StartedCommand*>& commands,
                                    std::int64_t timeout_ms) {
  std::vector<HANDLE> processes;
  for (StartedCommand* command : commands) {
    if (processes.size() == kMaxWaitedCommands) {
      timeout_ms = std::min(timeout_ms, kRecheckMs);
      break;
    }
    processes.push_back(static_cast<Win32StartedCommand*>(command)->process());
  }
  const auto count = static_cast<DWORD>(processes.size());
  const std::int64_t until = NowMs() + timeout_ms;
  for (std::int64_t left = timeout_ms; left > 0; left = until - NowMs()) {
    const auto wait_ms = static_cast<DWORD>(left);
    if (quit_pending_) {
      if (count == 0) {
        Sleep(wait_ms);
      } else {
        WaitForMultipleObjects(count, processes.data(), FALSE, wait_ms);
      }
      return;
    }
    const DWORD woken = MsgWaitForMultipleObjectsEx(count, processes.data(), wait_ms, QS_ALLINPUT,
                                                    MWMO_INPUTAVAILABLE);
    if (woken != WAIT_OBJECT_0 + count) return;  // a command ended, the time is up, or a failure
    // Messages are handled as they come, so that the system's questions (log-off) are answered.
    PumpEvents();
  }
}

DriveMapping Win32Platform::CurrentMapping(const std::string& drive) {
  const std::wstring device = to_wide(drive);
  if (auto remote = network_connection(device)) {
    return {DriveMapping::Kind::kNetwork, to_utf8(*remote)};
  }
  std::wstring target(kMaxPathChars, L'\0');
  if (QueryDosDeviceW(device.c_str(), target.data(), kMaxPathChars) == 0) return {};
  // The first of the letter's definitions is the one in force.
  target.resize(std::wcslen(target.c_str()));
  // A folder given to subst stands after this prefix; a disk is a device of its own.
  constexpr std::wstring_view kDosPrefix = L"\\??\\";
  constexpr std::wstring_view kUncPrefix = L"UNC\\";
  if (std::wstring_view(target).substr(0, kDosPrefix.size()) != kDosPrefix) return {};
  target.erase(0, kDosPrefix.size());
  if (std::wstring_view(target).substr(0, kUncPrefix.size()) == kUncPrefix) {
    target.replace(0, kUncPrefix.size(), L"\\\\");
  }
  return {DriveMapping::Kind::kFolder, to_utf8(target)};
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

int Win32Platform::MessageBox(const std::string& text, int style, const std::string& title) {
  return MessageBoxW(GetActiveWindow(), to_wide(text).c_str(), to_wide(title).c_str(),
                     static_cast<UINT>(style));
}

void Win32Platform::Beep() { MessageBeep(MB_OK); }

bool Win32Platform::ShellSeesOurDrives() {
  const HWND shell = GetShellWindow();
  if (shell == nullptr) return true;
  DWORD shell_id = 0;
  GetWindowThreadProcessId(shell, &shell_id);
  const UniqueKernelHandle shell_process(
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shell_id));
  const std::optional<bool> ours = is_elevated(GetCurrentProcess());
  const std::optional<bool> theirs =
      shell_process ? is_elevated(shell_process.get()) : std::nullopt;
  // Whatever cannot be told is taken for the usual case, in which both are alike.
  return !ours || !theirs || *ours == *theirs;
}

namespace {

// A mutex named in the session's own namespace: programs of other sessions map drives of
// their own and never wait on it.
class Win32DriveChangeLock : public DriveChangeLock {
 public:
  explicit Win32DriveChangeLock(UniqueKernelHandle mutex) : mutex_(std::move(mutex)) {}
  ~Win32DriveChangeLock() override { ReleaseMutex(mutex_.get()); }

 private:
  UniqueKernelHandle mutex_;
};

}  // namespace

std::unique_ptr<DriveChangeLock> Win32Platform::HoldDriveChanges() {
  UniqueKernelHandle mutex(CreateMutexW(nullptr, FALSE, L"Local\\NDek.DriveChanges"));
  if (!mutex) return nullptr;
  HANDLE handle = mutex.get();
  for (;;) {
    const DWORD woken =
        MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    // An owner that ended without letting go leaves the drives as they are: take over.
    if (woken == WAIT_OBJECT_0 || woken == WAIT_ABANDONED_0) break;
    if (woken != WAIT_OBJECT_0 + 1) return nullptr;
    PumpEvents();
  }
  return std::make_unique<Win32DriveChangeLock>(std::move(mutex));
}

std::unique_ptr<AskedCredentials> Win32Platform::AskCredentials(const std::string& server) {
  return ask_credentials(GetActiveWindow(), server);
}

void Win32Platform::PumpEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Taken out of the queue here, it must still reach the main loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      quit_pending_ = true;
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
