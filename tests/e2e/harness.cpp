#include "tests/e2e/harness.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/command_line.h"
#include "platform/win32/program_dir_win.h"
#include "platform/win32/strings_win.h"

namespace ndek::e2e {
namespace {

namespace fs = std::filesystem;

constexpr milliseconds kPollInterval{10};
constexpr char kRecordLog[] = "record.log";

std::string last_error_text(std::string_view what) {
  // "error N" is what the scenario runner looks for to tell Wine's own start failures apart.
  return std::string(what) + " failed: error " + std::to_string(GetLastError());
}

std::optional<std::string> environment(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), size));
  if (value.empty()) return std::nullopt;
  return to_utf8(value);
}

std::wstring lower(std::wstring text) {
  if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

// Lets a scenario name serve as a directory name.
std::string directory_name(std::string_view name) {
  std::string out;
  for (char c : name)
    out += std::string_view("<>:\"/\\|?* ").find(c) == std::string_view::npos ? c : '_';
  return out;
}

std::string image_path(DWORD process_id) {
  UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
  if (!process) return {};
  std::wstring path(32768, L'\0');
  DWORD size = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) return {};
  path.resize(size);
  return to_utf8(path);
}

void terminate(DWORD process_id) {
  UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process_id));
  if (!process) return;
  TerminateProcess(process.get(), 1);
  WaitForSingleObject(process.get(), 5000);
}

}  // namespace

std::string windows_path(std::string_view path) {
  std::string out = path.substr(0, 1) == "/" ? "Z:" + std::string(path) : std::string(path);
  std::replace(out.begin(), out.end(), '/', '\\');
  return out;
}

std::string program_dir() {
  if (auto dir = environment(L"NDEK_E2E_PROGRAM_DIR")) return windows_path(*dir);
  return windows_path(NDEK_E2E_PROGRAM_DIR);
}

std::string tools_dir() {
  const std::wstring path = ndek::module_path();
  return to_utf8(path.substr(0, path.find_last_of(L'\\')));
}

bool file_exists(const std::string& path) {
  return GetFileAttributesW(to_wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> read_file_bytes(const std::string& path) {
  const std::wstring wide_path = to_wide(path);
  UniqueFileHandle file;
  // A recorder holds record.log alone while it appends its line; wait for it to let go.
  for (int attempt = 0; attempt < 400; ++attempt) {
    file.reset(CreateFileW(wide_path.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file || GetLastError() != ERROR_SHARING_VIOLATION) break;
    Sleep(5);
  }
  if (!file) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return std::nullopt;
    throw HarnessError(last_error_text("opening " + path));
  }
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  return bytes;
}

// --- Process -----------------------------------------------------------------------------

Process Process::start(const std::string& program, const std::string& arguments,
                       const std::string& record_dir, const std::string& current_dir) {
  std::wstring command_line =
      to_wide(quote_argument(program) + (arguments.empty() ? "" : " " + arguments));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  // Passed on through the environment, which the programs hand on to what they start.
  SetEnvironmentVariableW(L"NDEK_RECORD_DIR",
                          record_dir.empty() ? nullptr : to_wide(record_dir).c_str());
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(to_wide(program).c_str(), command_line.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, current_dir.empty() ? nullptr : to_wide(current_dir).c_str(),
                      &startup, &info)) {
    throw HarnessError(last_error_text("CreateProcessW " + program));
  }
  const UniqueKernelHandle thread(info.hThread);
  return Process(UniqueKernelHandle(info.hProcess), info.dwProcessId);
}

Process::~Process() {
  if (handle_ && running()) {
    TerminateProcess(handle_.get(), 1);
    WaitForSingleObject(handle_.get(), 5000);
  }
}

bool Process::running() const { return WaitForSingleObject(handle_.get(), 0) == WAIT_TIMEOUT; }

DWORD Process::wait_for_exit(milliseconds timeout) const {
  if (WaitForSingleObject(handle_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    throw HarnessError("process " + std::to_string(id_) + " did not end within " +
                       std::to_string(timeout.count()) + " ms");
  }
  DWORD code = 0;
  GetExitCodeProcess(handle_.get(), &code);
  return code;
}

bool poll_until(const std::function<bool()>& condition, milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    Sleep(static_cast<DWORD>(kPollInterval.count()));
  }
}

// --- Windows ---------------------------------------------------------------------------

std::string window_text(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return to_utf8(text);
}

std::string window_class(HWND window) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(window, name, 256);
  return to_utf8(std::wstring_view(name, static_cast<std::size_t>(length)));
}

std::string control_text(HWND parent, int control_id) {
  HWND control = GetDlgItem(parent, control_id);
  if (control == nullptr) {
    throw HarnessError("no control with id " + std::to_string(control_id) + " in window " +
                       window_text(parent));
  }
  // WM_GETTEXT, unlike GetWindowText, reaches controls that keep their own text (edits,
  // combo boxes) in another process.
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
    throw HarnessError(last_error_text("WM_GETTEXTLENGTH"));
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, 5000, &copied)) {
    throw HarnessError(last_error_text("WM_GETTEXT"));
  }
  text.resize(copied);
  return to_utf8(text);
}

namespace {

// Named functions rather than lambdas: a lambda converts only to a pointer of the default
// calling convention, and 32-bit Windows calls these as CALLBACK (stdcall).
BOOL CALLBACK add_child(HWND child, LPARAM found) {
  reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
  return TRUE;
}

struct WindowSearch {
  DWORD process_id;
  std::string_view class_name;
  bool visible_only;
  std::vector<HWND> found;
};

BOOL CALLBACK add_matching_window(HWND window, LPARAM data) {
  auto& s = *reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != s.process_id) return TRUE;
  if (s.visible_only && !IsWindowVisible(window)) return TRUE;
  if (!s.class_name.empty() && window_class(window) != s.class_name) return TRUE;
  s.found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> child_windows(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, add_child, reinterpret_cast<LPARAM>(&children));
  return children;
}

std::vector<HWND> top_level_windows(DWORD process_id, std::string_view class_name,
                                    bool visible_only) {
  WindowSearch search{process_id, class_name, visible_only, {}};
  EnumWindows(add_matching_window, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND wait_for_window(DWORD process_id, std::string_view class_name,
                     const std::function<bool(HWND)>& accept, milliseconds timeout) {
  HWND found = nullptr;
  const bool shown = poll_until(
      [&] {
        for (HWND window : top_level_windows(process_id, class_name)) {
          if (!accept || accept(window)) {
            found = window;
            return true;
          }
        }
        return false;
      },
      timeout);
  if (!shown) {
    throw HarnessError("no window" +
                       (class_name.empty() ? "" : " of class " + std::string(class_name)) +
                       " of process " + std::to_string(process_id) + " within " +
                       std::to_string(timeout.count()) + " ms");
  }
  return found;
}

bool MessageBoxView::has_button(int id) const {
  HWND button = GetDlgItem(window, id);
  return button != nullptr && IsWindowVisible(button);
}

void MessageBoxView::press(int id) const {
  HWND button = GetDlgItem(window, id);
  if (button == nullptr || !PostMessageW(button, BM_CLICK, 0, 0)) {
    throw HarnessError("cannot press button " + std::to_string(id) + " of message box " + title);
  }
  // Whatever is looked for next must not find this box again.
  if (!poll_until([&] { return !IsWindow(window) || !IsWindowVisible(window); })) {
    throw HarnessError("message box " + title + " did not close after button " +
                       std::to_string(id));
  }
}

namespace {

MessageBoxView view_of(HWND box) {
  MessageBoxView view;
  view.window = box;
  view.title = window_text(box);
  view.text = control_text(box, 0xFFFF);
  return view;
}

}  // namespace

MessageBoxView wait_for_message_box(DWORD process_id, milliseconds timeout) {
  return view_of(wait_for_window(process_id, "#32770", {}, timeout));
}

std::optional<MessageBoxView> wait_for_exit_or_message_box(const Process& process,
                                                           milliseconds timeout) {
  std::optional<MessageBoxView> box;
  const bool settled = poll_until(
      [&] {
        const std::vector<HWND> boxes = top_level_windows(process.id(), "#32770");
        if (!boxes.empty()) box = view_of(boxes.front());
        return box.has_value() || !process.running();
      },
      timeout);
  if (!settled) {
    throw HarnessError("process " + std::to_string(process.id()) +
                       " neither ended nor showed a message box within " +
                       std::to_string(timeout.count()) + " ms");
  }
  return box;
}

std::vector<MessageBoxView> message_boxes(DWORD process_id) {
  std::vector<MessageBoxView> boxes;
  for (HWND box : top_level_windows(process_id, "#32770")) boxes.push_back(view_of(box));
  return boxes;
}

// --- System commands -----------------------------------------------------------------------

namespace {

constexpr const char* kStandInNames[] = {"subst.exe", "net.exe"};

bool under_wine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// The folders that hold the system's programs, as this program reaches them: the one of its
// own kind, the 64-bit one (through "Sysnative" from a 32-bit program) and the 32-bit one.
std::vector<std::string> system_program_dirs() {
  std::vector<std::string> dirs;
  wchar_t dir[MAX_PATH];
  UINT length = GetSystemDirectoryW(dir, MAX_PATH);
  if (length > 0 && length < MAX_PATH) dirs.push_back(to_utf8(std::wstring_view(dir, length)));
  BOOL wow64 = FALSE;
  if (IsWow64Process(GetCurrentProcess(), &wow64) && wow64) {
    length = GetWindowsDirectoryW(dir, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
      dirs.push_back(to_utf8(std::wstring_view(dir, length)) + "\\Sysnative");
    }
  }
  length = GetSystemWow64DirectoryW(dir, MAX_PATH);
  if (length > 0 && length < MAX_PATH) dirs.push_back(to_utf8(std::wstring_view(dir, length)));
  return dirs;
}

}  // namespace

bool install_system_stand_ins() {
  if (!under_wine()) return false;
  const std::string recorder = tools_dir() + "\\recorder.exe";
  const std::optional<std::string> bytes = read_file_bytes(recorder);
  if (!bytes) throw HarnessError(recorder + " was not built");
  for (const std::string& dir : system_program_dirs()) {
    for (const char* name : kStandInNames) {
      const std::string target = dir + "\\" + name;
      // A stand-in still running from an earlier scenario holds its file; it is the same.
      if (read_file_bytes(target) == bytes) continue;
      if (!CopyFileW(to_wide(recorder).c_str(), to_wide(target).c_str(), FALSE)) {
        throw HarnessError(last_error_text("copying the recorder to " + target));
      }
    }
  }
  return true;
}

std::optional<std::string> dos_device(const std::string& drive) {
  wchar_t target[4096];
  if (QueryDosDeviceW(to_wide(drive).c_str(), target, 4096) == 0) return std::nullopt;
  return to_utf8(target);
}

void define_dos_device(const std::string& drive, const std::string& folder) {
  if (!DefineDosDeviceW(0, to_wide(drive).c_str(), to_wide(folder).c_str())) {
    throw HarnessError(last_error_text("mapping " + drive + " to " + folder));
  }
}

FreedLetters::FreedLetters(std::vector<std::string> drives) : drives_(std::move(drives)) {
  free_all();
}

FreedLetters::~FreedLetters() { free_all(); }

void FreedLetters::free_all() const {
  for (const std::string& drive : drives_) {
    // A letter mapped twice has two definitions, the later one in force.
    for (int i = 0; i < 10 && dos_device(drive); ++i) {
      DefineDosDeviceW(DDD_REMOVE_DEFINITION, to_wide(drive).c_str(), nullptr);
    }
  }
}

// --- Scenario ------------------------------------------------------------------------------

Scenario::Scenario(const std::string& name, const std::string& subfolder) {
  const std::string root =
      windows_path(environment(L"NDEK_E2E_WORK_DIR").value_or(NDEK_E2E_WORK_DIR));
  dir_ = root + "\\" + directory_name(name);
  for (DWORD id : running_processes()) terminate(id);
  std::error_code error;
  fs::remove_all(fs::path(to_wide(dir_)), error);
  if (error) throw HarnessError("cannot empty " + dir_ + ": " + error.message());
  if (!subfolder.empty()) dir_ += "\\" + subfolder;
  fs::create_directories(fs::path(to_wide(dir_)), error);
  if (error) throw HarnessError("cannot create " + dir_ + ": " + error.message());
}

Scenario::~Scenario() {
  for (DWORD id : running_processes()) terminate(id);
}

std::string Scenario::path(std::string_view file_name) const {
  return dir_ + "\\" + std::string(file_name);
}

namespace {

std::string copy_into(const std::string& from, const std::string& to) {
  if (!CopyFileW(to_wide(from).c_str(), to_wide(to).c_str(), FALSE)) {
    throw HarnessError(last_error_text("copying " + from + " to " + to) +
                       (file_exists(from) ? "" : " (it was not built)"));
  }
  return to;
}

}  // namespace

std::string Scenario::copy_program(const std::string& file_name) {
  return copy_into(program_dir() + "\\" + file_name, path(file_name));
}

std::string Scenario::add_recorder(const std::string& file_name) {
  return copy_into(tools_dir() + "\\recorder.exe", path(file_name));
}

std::string Scenario::prepare_mounter() {
  add_recorder("NDekMan.exe");
  return copy_program("NDek.exe");
}

void Scenario::write_file(std::string_view file_name, std::string_view bytes) const {
  const std::string target = path(file_name);
  UniqueFileHandle file(CreateFileW(to_wide(target).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (!file ||
      !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size()) {
    throw HarnessError(last_error_text("writing " + target));
  }
}

std::optional<std::string> Scenario::read_file(std::string_view file_name) const {
  return read_file_bytes(path(file_name));
}

bool Scenario::has_file(std::string_view file_name) const { return file_exists(path(file_name)); }

std::size_t Scenario::file_count() const {
  const fs::directory_iterator files(fs::path(to_wide(dir_)));
  return static_cast<std::size_t>(std::distance(begin(files), end(files)));
}

Process Scenario::start(const std::string& file_name, const std::string& arguments,
                        const std::string& current_dir) const {
  return Process::start(path(file_name), arguments, dir_, current_dir);
}

std::vector<DWORD> Scenario::running_processes() const {
  const std::wstring prefix = lower(to_wide(dir_ + "\\"));
  std::vector<std::wstring> stand_ins;
  for (const std::string& dir : system_program_dirs()) {
    for (const char* name : kStandInNames) stand_ins.push_back(lower(to_wide(dir + "\\" + name)));
  }
  std::vector<DWORD> ids;
  UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) throw HarnessError(last_error_text("CreateToolhelp32Snapshot"));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    const std::wstring image = lower(to_wide(image_path(entry.th32ProcessID)));
    if (image.compare(0, prefix.size(), prefix) == 0 ||
        std::find(stand_ins.begin(), stand_ins.end(), image) != stand_ins.end()) {
      ids.push_back(entry.th32ProcessID);
    }
  }
  return ids;
}

void Scenario::wait_until_idle(milliseconds timeout) const {
  if (!poll_until([&] { return running_processes().empty(); }, timeout)) {
    throw HarnessError("programs of " + dir_ + " still run after " +
                       std::to_string(timeout.count()) + " ms");
  }
}

std::vector<RecordLine> Scenario::records() const {
  std::vector<RecordLine> records;
  const std::string log = read_file_bytes(path(kRecordLog)).value_or("");
  std::size_t start = 0;
  while (start < log.size()) {
    std::size_t end = log.find('\n', start);
    if (end == std::string::npos) end = log.size();
    const std::string_view line(log.data() + start, end - start);
    auto record = parse_record_line(line);
    if (!record) throw HarnessError("malformed line in record.log: " + std::string(line));
    records.push_back(std::move(*record));
    start = end + 1;
  }
  return records;
}

// --- Records -------------------------------------------------------------------------------

std::string describe(const RecordLine& record) {
  const std::string show = record.show_window_set ? std::to_string(record.show_window) : "unset";
  const std::string program = record.program.substr(record.program.find_last_of('\\') + 1);
  return program + " [show " + show + "] " + record.command_line;
}

std::vector<std::string> describe_sorted(const std::vector<RecordLine>& records) {
  std::vector<std::string> lines;
  for (const RecordLine& record : records) lines.push_back(describe(record));
  return sorted(std::move(lines));
}

std::string expected_start(std::string_view program, std::string_view command_line,
                           int show_window) {
  RecordLine record;
  record.program = program;
  record.command_line = command_line;
  record.show_window_set = true;
  record.show_window = show_window;
  return describe(record);
}

std::vector<std::string> sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::string current_test_name() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  if (test == nullptr) throw HarnessError("no test is running");
  return std::string(test->test_suite_name()) + "." + test->name();
}

}  // namespace ndek::e2e
