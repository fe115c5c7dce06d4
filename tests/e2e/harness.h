#pragma once
// Starts the real programs in a scratch directory and watches what they do: their windows,
// their message boxes, the files they write and the commands they start (through recorders
// standing in for the commands). Everything is found by process id, never by a global
// caption search. Scenarios that use the stand-ins in the system folder, or map drive
// letters, run one at a time (they share both).
//
// Failures of the harness itself (a window that never shows, a program that does not end)
// are thrown as HarnessError; GoogleTest reports them as a failure of the scenario.
#include "platform/win32/win32.h"

#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/unique_handle_win.h"
#include "tests/e2e/record_line.h"

namespace ndek::e2e {

using std::chrono::milliseconds;

// Long enough for a slow start under Wine on a busy machine; reached only when something hangs.
constexpr milliseconds kTimeout{20000};

class HarnessError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The Windows form of a path given either way: a Unix path (as the build passes it) maps to
// Wine's drive Z:, forward slashes become backslashes.
std::string windows_path(std::string_view path);

// Where the built programs (NDek.exe, NDekMan.exe) are: NDEK_E2E_PROGRAM_DIR when set,
// otherwise the directory the build compiled in.
std::string program_dir();
// Where the test tools (recorder.exe) are: beside the running test program.
std::string tools_dir();
bool file_exists(const std::string& path);

// A started program. Ends it on destruction when it is still running, so a failed scenario
// leaves nothing behind.
class Process {
 public:
  // `program` by full path; `arguments` appended after its quoted path. The stand-ins it
  // starts record into `record_dir` (beside themselves when empty). It runs in
  // `current_dir` (this program's when empty).
  static Process start(const std::string& program, const std::string& arguments = {},
                       const std::string& record_dir = {}, const std::string& current_dir = {});

  Process(Process&&) = default;
  Process& operator=(Process&&) = default;
  ~Process();

  DWORD id() const { return id_; }
  HANDLE handle() const { return handle_.get(); }
  bool running() const;
  // The exit code; throws when the process has not ended within `timeout`.
  DWORD wait_for_exit(milliseconds timeout = kTimeout) const;

 private:
  Process(UniqueKernelHandle handle, DWORD id) : handle_(std::move(handle)), id_(id) {}
  UniqueKernelHandle handle_;
  DWORD id_ = 0;
};

// Polls `condition` every few milliseconds; false when it did not hold within `timeout`.
bool poll_until(const std::function<bool()>& condition, milliseconds timeout = kTimeout);

// --- Windows ---------------------------------------------------------------------------

std::string window_text(HWND window);
std::string window_class(HWND window);
// The text of the child control with id `control_id`; throws when there is none.
std::string control_text(HWND parent, int control_id);
// Every descendant window of `parent`, in Z order.
std::vector<HWND> child_windows(HWND parent);

// Top-level windows of a process; `class_name` empty means any class.
std::vector<HWND> top_level_windows(DWORD process_id, std::string_view class_name = {},
                                    bool visible_only = true);
// Waits for a top-level window of the process (class given or any, visible) that also
// satisfies `accept` when given; throws on timeout.
HWND wait_for_window(DWORD process_id, std::string_view class_name = {},
                     const std::function<bool(HWND)>& accept = {}, milliseconds timeout = kTimeout);

// A message box (#32770) of a process as the user sees it.
struct MessageBoxView {
  HWND window = nullptr;
  std::string title;
  std::string text;  // the static text, id 0xFFFF; line breaks as given
  bool has_button(int id) const;
  // Presses a button (IDYES, IDNO, IDOK) by posting BM_CLICK (sending it would block this
  // process until the box's owner has handled whatever the click starts) and waits until the
  // box has closed.
  void press(int id) const;
};
MessageBoxView wait_for_message_box(DWORD process_id, milliseconds timeout = kTimeout);
// Waits until the process ends or shows a message box: the box when it showed one, nothing
// when it ended without. Throws when neither happens within `timeout`.
std::optional<MessageBoxView> wait_for_exit_or_message_box(const Process& process,
                                                           milliseconds timeout = kTimeout);
// The visible message boxes of the process right now.
std::vector<MessageBoxView> message_boxes(DWORD process_id);

// --- System commands ---------------------------------------------------------------------

// Under Wine, puts recorders in place of subst.exe and net.exe in the system folders (the
// 64-bit one and the one 32-bit programs see); the environment of the test run has Wine run
// them instead of its own. On Windows it changes nothing and returns false: the system's
// programs are never replaced there.
bool install_system_stand_ins();

// The letter's current definition as QueryDosDeviceW reports it ("\??\C:\dir"), or nothing.
std::optional<std::string> dos_device(const std::string& drive);
// Maps a letter to a folder as subst would; throws when it cannot.
void define_dos_device(const std::string& drive, const std::string& folder);

// Removes every definition of the letters now and again when it goes, so that a scenario
// finds them free and leaves them so, whatever it mapped.
class FreedLetters {
 public:
  explicit FreedLetters(std::vector<std::string> drives);
  FreedLetters(const FreedLetters&) = delete;
  FreedLetters& operator=(const FreedLetters&) = delete;
  ~FreedLetters();

 private:
  void free_all() const;
  std::vector<std::string> drives_;
};

// --- Scenario directory ------------------------------------------------------------------

// A fresh directory for one scenario, named after it, under NDEK_E2E_WORK_DIR (or the
// directory the build chose). Left in place afterwards for inspection; emptied when the
// scenario runs again.
class Scenario {
 public:
  // `subfolder` (may hold blanks and any Unicode text) is created inside the scenario's
  // directory and serves as its directory instead.
  explicit Scenario(const std::string& name, const std::string& subfolder = {});
  Scenario(const Scenario&) = delete;
  Scenario& operator=(const Scenario&) = delete;
  // Ends whatever still runs from the directory.
  ~Scenario();

  const std::string& dir() const { return dir_; }
  std::string path(std::string_view file_name) const;

  // Copies a built program (e.g. "NDek.exe") into the directory; throws when it was not built.
  // Returns its new full path.
  std::string copy_program(const std::string& file_name);
  // Places a recorder under the name of the program it stands in for ("NDekMan.exe").
  std::string add_recorder(const std::string& file_name);
  // The layout for running the mounter: NDek.exe with a recorder as NDekMan.exe beside it.
  // Returns NDek.exe's path. The stand-ins for the commands are install_system_stand_ins'.
  std::string prepare_mounter();

  // Writes `bytes` exactly (no newline translation, no byte-order mark added).
  void write_file(std::string_view file_name, std::string_view bytes) const;
  // The file's bytes, or nothing when it does not exist.
  std::optional<std::string> read_file(std::string_view file_name) const;
  bool has_file(std::string_view file_name) const;
  std::size_t file_count() const;

  // Starts a program of the scenario by its file name; the stand-ins it starts record here.
  Process start(const std::string& file_name, const std::string& arguments = {},
                const std::string& current_dir = {}) const;

  // Ids of the processes that run a program from this directory or a stand-in in the system
  // folders.
  std::vector<DWORD> running_processes() const;
  // Waits until none of them runs any more: commands the program under test does not wait
  // for have written their records only then.
  void wait_until_idle(milliseconds timeout = kTimeout) const;

  // The recorded starts (record.log), in the order they were written.
  std::vector<RecordLine> records() const;

 private:
  std::string dir_;
};

// --- Records -----------------------------------------------------------------------------

// "subst.exe [show 0] subst X: "d:\data"": what matters of a start (the program by its file
// name), for comparing sets.
std::string describe(const RecordLine& record);
// describe() of every record, sorted: the commands are started without waiting, so the
// order in which they reach the log is not the order in which they were started.
std::vector<std::string> describe_sorted(const std::vector<RecordLine>& records);
// A recorder's start as expected: program, command line, show style set explicitly.
std::string expected_start(std::string_view program, std::string_view command_line,
                           int show_window);
std::vector<std::string> sorted(std::vector<std::string> lines);

// "Suite.Name" of the running GoogleTest test: the usual scenario name.
std::string current_test_name();

// Reads a whole file; nothing when it does not exist.
std::optional<std::string> read_file_bytes(const std::string& path);

}  // namespace ndek::e2e
