#include "platform/win32/platform_services_win.h"

#include "platform/win32/win32.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "platform/win32/credentials_win.h"
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

// Up to this many commands are watched by one wait; any beyond them are looked at this often.
constexpr std::size_t kMaxWaitedCommands = MAXIMUM_WAIT_OBJECTS - 1;
constexpr std::int64_t kRecheckMs = 100;

class Win32StartedCommand : public StartedCommand {
 public:
  explicit Win32StartedCommand(HANDLE process) : process_(process) {}
  std::optional<std::uint32_t> ExitCode() override {
    DWORD code = 0;
    if (WaitForSingleObject(process_.get(), 0) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process_.get(), &code)) {
      return std::nullopt;
    }
    return code;
  }
  std::string Output() override { return {}; }
  HANDLE process() const { return process_.get(); }

 private:
  UniqueKernelHandle process_;
};

// The attribute that lets a started program inherit one handle and no other.
class InheritOnly {
 public:
  explicit InheritOnly(HANDLE handle) : handle_(handle) {
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    buffer_.resize(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data());
    if (!InitializeProcThreadAttributeList(list, 1, 0, &size)) return;
    // The list refers to handle_, which lives as long as the list.
    if (!UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &handle_,
                                   sizeof handle_, nullptr, nullptr)) {
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
  HANDLE handle_;
  std::vector<unsigned char> buffer_;
  LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

using GetConnection = DWORD(WINAPI*)(LPCWSTR, LPWSTR, LPDWORD);

// The network path a letter is connected to. mpr.dll is loaded only here, by full path, and
// only while it is asked.
std::optional<std::wstring> network_connection(const std::wstring& system_dir,
                                               const std::wstring& drive) {
  const UniqueModule mpr(LoadLibraryW((system_dir + L"\\mpr.dll").c_str()));
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

std::string Win32Platform::SystemDir() {
  std::wstring dir(MAX_PATH, L'\0');
  UINT length = GetSystemDirectoryW(dir.data(), static_cast<UINT>(dir.size()));
  if (length >= dir.size()) {
    dir.resize(length);
    length = GetSystemDirectoryW(dir.data(), static_cast<UINT>(dir.size()));
  }
  dir.resize(length < dir.size() ? length : 0);
  return to_utf8(dir);
}

ErrorNumber Win32Platform::RunCommand(const std::string& program, const std::string& command_line,
                                      WindowStyle style, std::unique_ptr<StartedCommand>& started) {
  // Standard input that ends at once, so that a command that asks for something (a password)
  // fails instead of waiting for ever; the output goes nowhere.
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  const UniqueFileHandle nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                         OPEN_EXISTING, 0, nullptr));
  if (!nul) return error_number_from_system(GetLastError());
  const InheritOnly inherit(nul.get());
  if (inherit.get() == nullptr) return error_number_from_system(GetLastError());

  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.StartupInfo.wShowWindow = show_command(style);
  startup.StartupInfo.hStdInput = nul.get();
  startup.StartupInfo.hStdOutput = nul.get();
  startup.StartupInfo.hStdError = nul.get();
  startup.lpAttributeList = inherit.get();
  const std::wstring application = to_wide(program);
  // CreateProcessW may write into the command line, so it gets a copy of its own.
  std::wstring line = to_wide(command_line);
  PROCESS_INFORMATION process{};
  // No console at all: none is made for a console program, so none can flash on screen.
  if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, TRUE,
                      DETACHED_PROCESS | EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                      &startup.StartupInfo, &process)) {
    return error_number_from_system(GetLastError());
  }
  const UniqueKernelHandle thread(process.hThread);
  started = std::make_unique<Win32StartedCommand>(process.hProcess);
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
  if (auto remote = network_connection(to_wide(SystemDir()), device)) {
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
