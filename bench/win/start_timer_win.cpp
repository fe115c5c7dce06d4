// Times programs from the moment they are started, side by side (A B C A B C ...), and prints
// the rows of the benchmark table (Markdown) followed by the samples:
//
//   start_timer mounter REPETITIONS RECORDS
//     NDek.exe with a settings file of RECORDS records, recorders standing in for the
//     commands in the system folder, from its start until its window closes (it then waits
//     for its commands, which is not counted), less its start delay; against the command
//     starter, which only starts the same commands the same way (the limit), and a batch file
//     of the same command lines run by `cmd /c`, each from start to exit.
//   start_timer manager REPETITIONS
//     NDekMan.exe from its start until its main window is visible and takes input; against a
//     bare window with the manager's manifest and DLLs, and a plain bare window.
//   start_timer memory REPETITIONS
//     The working set of each program once it has settled, against the bare windows.
//   start_timer watch REPETITIONS
//     NDek.exe /watch once idle after its log-on run: its working set and private bytes,
//     against a bare hidden window; and the time from a resume message to every letter that
//     could not be mapped at log-on mapped again, less the watcher's settle wait.
//
// Every run is bounded. A run fails when it overstays, when a window never shows or when a
// command did not run; it is then made once more, and a second failure ends the tool with a
// message and a non-zero exit code. Scratch directories go under NDEK_E2E_WORK_DIR; the
// programs come from NDEK_E2E_PROGRAM_DIR (see the harness).
#include "platform/win32/win32.h"
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "bench/sample_summary.h"
#include "bench/win/main_window_caption_win.h"
#include "drives/drive_command.h"
#include "platform/win32/strings_win.h"
#include "tests/e2e/harness.h"

namespace {

using ndek::e2e::HarnessError;
using ndek::e2e::milliseconds;
using ndek::e2e::Process;
using ndek::e2e::Scenario;
namespace bench = ndek::bench;

// A run that takes longer than this has hung.
constexpr milliseconds kRunTimeout{30000};
constexpr double kStartDelayMs = 500;  // the mounter's one-shot timer
constexpr wchar_t kMounterWindowClass[] = L"NDekStartupWindow";
// How long a window program is left to settle before its memory is read.
constexpr DWORD kSettleMs = 250;

class Stopwatch {
 public:
  Stopwatch() { QueryPerformanceCounter(&start_); }
  double elapsed_ms() const {
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
  }

 private:
  LARGE_INTEGER start_{};
};

void check_time(const Stopwatch& waited, const std::string& what) {
  if (waited.elapsed_ms() > static_cast<double>(kRunTimeout.count())) {
    throw HarnessError(what + " did not get there within " + std::to_string(kRunTimeout.count()) +
                       " ms");
  }
}

// A program that cannot go on shows a message box instead of ending (the mounter does when a
// command could not be started); its text ends the run at once rather than at the timeout.
void check_no_question(const Process& process, const std::string& what) {
  for (const ndek::e2e::MessageBoxView& box : ndek::e2e::message_boxes(process.id())) {
    std::string text = box.text;
    std::replace(text.begin(), text.end(), '\r', ' ');
    throw HarnessError(what + " asked: " + text);
  }
}

void wait_for_exit(const Process& process, const std::string& what) {
  const Stopwatch waited;
  while (WaitForSingleObject(process.handle(), 1000) != WAIT_OBJECT_0) {
    check_no_question(process, what);
    check_time(waited, what);
  }
}

HWND visible_window(DWORD process_id, const wchar_t* class_name) {
  const std::vector<HWND> windows =
      ndek::e2e::top_level_windows(process_id, ndek::to_utf8(class_name));
  return windows.empty() ? nullptr : windows.front();
}

// The mounter's own work ends when it hides its window; its process may live on after that
// (waiting for its commands, ending). Polled every millisecond: the run takes seconds.
void wait_for_window_to_close(const Process& process, const std::string& what) {
  const Stopwatch waited;
  HWND window = nullptr;
  for (int poll = 0;; ++poll) {
    if (WaitForSingleObject(process.handle(), 0) == WAIT_OBJECT_0) return;
    if (window == nullptr) {
      window = visible_window(process.id(), kMounterWindowClass);
    } else if (!IsWindowVisible(window)) {
      return;
    }
    if (poll % 500 == 0) check_no_question(process, what);
    check_time(waited, what);
    Sleep(1);
  }
}

PROCESS_MEMORY_COUNTERS_EX memory_counters(const Process& process) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  if (!GetProcessMemoryInfo(process.handle(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof counters)) {
    throw HarnessError("cannot read the memory of process " + std::to_string(process.id()));
  }
  return counters;
}

double working_set_mib(const Process& process) {
  return static_cast<double>(memory_counters(process).WorkingSetSize) / (1024.0 * 1024.0);
}

// The commit charge: the process's private memory (Wine leaves PrivateUsage at 0).
double private_mib(const Process& process) {
  return static_cast<double>(memory_counters(process).PagefileUsage) / (1024.0 * 1024.0);
}

// --- Mounter ----------------------------------------------------------------------------

constexpr char kCommandsFile[] = "commands.txt";  // the command starter's input

// Record i maps a letter from D on to a folder of its own.
ndek::DriveSetting record_of(int i) {
  char number[8];
  std::snprintf(number, sizeof number, "%03d", i + 1);
  return {std::string(1, static_cast<char>('D' + i % 23)) + ":",
          std::string("d:\\bench\\folder ") + number};
}

std::string settings_file(int records) {
  std::string text;
  for (int i = 0; i < records; ++i) {
    const ndek::DriveSetting record = record_of(i);
    text += "\"" + record.drive + "\",\"" + record.folder + "\"\r\n";
  }
  return text;
}

// The commands the mounter starts for settings_file(records), composed by its own rule: for
// the command starter the program file, a tab and the command line, one a line; for the batch
// file the command lines.
std::string starter_commands(int records) {
  std::string text;
  for (int i = 0; i < records; ++i) {
    const ndek::DriveCommand command =
        *ndek::compose_drive_command(record_of(i), ndek::kPersistentNo);
    text += command.program + "\t" + command.line + "\n";
  }
  return text;
}

std::string batch_file(int records) {
  std::string text = "@echo off\r\n";
  for (int i = 0; i < records; ++i) {
    text += ndek::compose_drive_command(record_of(i), ndek::kPersistentNo)->line + "\r\n";
  }
  return text;
}

std::string system_program(const wchar_t* file_name) {
  wchar_t dir[MAX_PATH];
  const UINT length = GetSystemDirectoryW(dir, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) throw HarnessError("no system directory");
  return ndek::to_utf8(std::wstring(dir, length) + L"\\" + file_name);
}

std::string copy_tool(const Scenario& scenario, const std::string& file_name) {
  const std::string target = scenario.path(file_name);
  if (!CopyFileW(ndek::to_wide(ndek::e2e::tools_dir() + "\\" + file_name).c_str(),
                 ndek::to_wide(target).c_str(), FALSE)) {
    throw HarnessError(file_name + " was not built");
  }
  return target;
}

enum class Until { kExit, kWindowClosed };

// The time ends with the measured process, or with the mounter's window. Then, outside the
// time, every command must have run (one record each) and everything must have ended before
// the next run starts.
double time_run(const Scenario& scenario, const std::string& program, const std::string& arguments,
                int records, Until until) {
  // What a failed run before may have left running.
  scenario.wait_until_idle(kRunTimeout);
  const std::wstring log = ndek::to_wide(scenario.path("record.log"));
  if (!DeleteFileW(log.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
    throw HarnessError("cannot remove " + scenario.path("record.log"));
  }
  const Stopwatch watch;
  // The stand-ins record into the scenario's directory.
  const Process process = Process::start(program, arguments, scenario.dir());
  if (until == Until::kWindowClosed) wait_for_window_to_close(process, program);
  if (until == Until::kExit) wait_for_exit(process, program);
  const double elapsed = watch.elapsed_ms();
  wait_for_exit(process, program);
  std::size_t recorded = 0;
  const bool settled = ndek::e2e::poll_until(
      [&] {
        try {
          recorded = scenario.records().size();
        } catch (const HarnessError&) {
          return false;  // a recorder is writing its line and holds the log
        }
        return recorded >= static_cast<std::size_t>(records) &&
               scenario.running_processes().empty();
      },
      kRunTimeout);
  if (!settled || recorded != static_cast<std::size_t>(records)) {
    throw HarnessError(program + ": " + std::to_string(recorded) + " of " +
                       std::to_string(records) + " commands ran");
  }
  return elapsed;
}

// --- Manager ----------------------------------------------------------------------------

HWND ready_main_window(DWORD process_id) {
  for (HWND window : ndek::e2e::top_level_windows(process_id)) {
    wchar_t caption[64] = {};
    GetWindowTextW(window, caption, 64);
    if (std::wcscmp(caption, bench::kMainWindowCaption) == 0 && IsWindowEnabled(window)) {
      return window;
    }
  }
  return nullptr;
}

// Starts a window program and waits until its main window takes input; `when_ready` runs
// then, before the window is closed again (the close box ends every one of them without
// saving anything).
void run_until_ready(const std::string& program,
                     const std::function<void(const Process&)>& when_ready) {
  const Stopwatch watch;
  const Process process = Process::start(program);
  const DWORD idle = WaitForInputIdle(process.handle(), static_cast<DWORD>(kRunTimeout.count()));
  if (idle != 0) {
    throw HarnessError(program + " never waited for input (" + std::to_string(idle) + ")");
  }
  HWND window = nullptr;
  // Polled tightly: the window is usually there already, and a coarse poll would add its
  // interval to every sample.
  while ((window = ready_main_window(process.id())) == nullptr) {
    check_time(watch, program + "'s enabled main window");
    Sleep(1);
  }
  when_ready(process);
  PostMessageW(window, WM_CLOSE, 0, 0);
  wait_for_exit(process, program + " after its window was closed");
}

double time_to_ready_window(const std::string& program) {
  const Stopwatch watch;
  double elapsed = 0;
  run_until_ready(program, [&](const Process&) { elapsed = watch.elapsed_ms(); });
  return elapsed;
}

double settled_working_set(const std::string& program) {
  double mib = 0;
  run_until_ready(program, [&](const Process& process) {
    Sleep(kSettleMs);
    mib = working_set_mib(process);
  });
  return mib;
}

// The mounter's memory while it waits for its timer: everything it loads is loaded by then.
double mounter_working_set(const Scenario& scenario, const std::string& program) {
  scenario.wait_until_idle(kRunTimeout);
  const Process process = Process::start(program, "", scenario.dir());
  const Stopwatch watch;
  while (visible_window(process.id(), kMounterWindowClass) == nullptr) {
    check_time(watch, program + "'s window");
    Sleep(1);
  }
  Sleep(kSettleMs / 2);  // well within its start delay
  const double mib = working_set_mib(process);
  wait_for_exit(process, program);
  return mib;
}

// --- Output -----------------------------------------------------------------------------

struct Side {
  std::string label;  // the table's "measured" column
  std::function<double()> run;
  double subtract_ms = 0;  // a fixed wait of the program that is not its own work
  int units = 0;           // commands per run, for a time per command; 0: none
  std::vector<double> samples{};
};

struct Ratio {
  std::string label;
  const Side* a;
  const Side* b;
  std::string goal;  // "" when there is none
};

using Format = std::string (*)(double);

std::string mib_text(double mib) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MiB", mib);
  return text;
}

// Under a burst of process starts Wine rarely fails one of them: a failed run is made once
// more, and the failure is printed with the figures.
double run_repeating_a_failure(const Side& side) {
  try {
    return side.run();
  } catch (const HarnessError& error) {
    std::printf("repeated run of %s, which failed: %s\n", side.label.c_str(), error.what());
    return side.run();
  }
}

void run_interleaved(const std::vector<Side*>& sides, int repetitions) {
  // One run of each first, not counted: it pays for loading from disk and the first start of
  // Wine's libraries.
  for (Side* side : sides) run_repeating_a_failure(*side);
  for (int i = 0; i < repetitions; ++i) {
    for (Side* side : sides) {
      side->samples.push_back(run_repeating_a_failure(*side) - side->subtract_ms);
    }
  }
}

std::string spread_text(const bench::SampleSummary& s, Format format) {
  char percent[32];
  std::snprintf(percent, sizeof percent, " (%.0f %%)", s.relative_spread() * 100);
  return format(s.min) + " - " + format(s.max) + percent;
}

void print_rows(const std::string& benchmark, const std::vector<Side*>& sides,
                const std::vector<Ratio>& ratios, Format format = bench::milliseconds_text,
                const char* sample_unit = "ms") {
  bool first = true;
  for (const Side* side : sides) {
    const bench::SampleSummary s = bench::summarize(side->samples);
    const std::string detail =
        side->units > 0 ? bench::milliseconds_text(s.median / side->units) + " per command" : "";
    std::printf("| %s | %s | %s | %s | %s |\n", first ? benchmark.c_str() : "", side->label.c_str(),
                format(s.median).c_str(), detail.c_str(), spread_text(s, format).c_str());
    first = false;
  }
  for (const Ratio& r : ratios) {
    const bench::RatioSummary ratio = bench::compare(r.a->samples, r.b->samples);
    const std::string detail =
        "ratio of the medians" + (r.goal.empty() ? "" : "; goal: at most " + r.goal);
    std::printf("| | %s | **%s** | %s | pairs %s - %s |\n", r.label.c_str(),
                bench::ratio_text(ratio.of_medians).c_str(), detail.c_str(),
                bench::ratio_text(ratio.pair_min).c_str(),
                bench::ratio_text(ratio.pair_max).c_str());
  }
  for (const Side* side : sides) {
    std::printf("samples of %s (%s, in run order):", side->label.c_str(), sample_unit);
    for (double sample : side->samples) std::printf(" %.1f", sample);
    std::printf("\n");
  }
  std::fflush(stdout);
}

// --- Benchmarks -------------------------------------------------------------------------

// The mounter's scenario: NDek.exe, the command starter and the batch file side by side, with
// recorders standing in for the commands.
struct MounterScenario {
  explicit MounterScenario(int records) : scenario("bench_mounter") {
    ndek_exe = scenario.prepare_mounter();
    if (!ndek::e2e::install_system_stand_ins()) throw HarnessError("the stand-ins need Wine");
    scenario.write_file("NDek.ini", settings_file(records));
    starter_exe = copy_tool(scenario, "command_starter.exe");
    scenario.write_file(kCommandsFile, starter_commands(records));
    scenario.write_file("bench.bat", batch_file(records));
    // The batch names subst bare, as a user's would: cmd finds the stand-in in the system
    // folder, by the search path.
    if (!SetCurrentDirectoryW(ndek::to_wide(scenario.dir()).c_str())) {
      throw HarnessError("cannot enter " + scenario.dir());
    }
  }
  Scenario scenario;
  std::string ndek_exe;
  std::string starter_exe;
};

void mounter(int repetitions, int records) {
  const MounterScenario m(records);
  const std::string cmd = system_program(L"cmd.exe");
  const std::string count = std::to_string(records);
  Side ndek{
      .label = "`NDek.exe`, " + count +
               " records: start until its window closes, less its 500 ms start delay",
      .run = [&] { return time_run(m.scenario, m.ndek_exe, "", records, Until::kWindowClosed); },
      .subtract_ms = kStartDelayMs,
      .units = records};
  Side limit{.label = "command starter: only starts the same " + count +
                      " command lines the same way, start to exit",
             .run = [&] { return time_run(m.scenario, m.starter_exe, "", records, Until::kExit); },
             .units = records};
  Side batch{
      .label = "batch file of the same " + count + " command lines (`subst D: \"...\"`), " +
               "run by `cmd /c`, start to exit",
      .run = [&] { return time_run(m.scenario, cmd, "/c bench.bat", records, Until::kExit); },
      .units = records};
  run_interleaved({&ndek, &limit, &batch}, repetitions);
  print_rows("Mounter, " + count + " commands", {&ndek, &limit, &batch},
             {{"NDek / command starter", &ndek, &limit, "1.05"},
              {"NDek / batch file", &ndek, &batch, ""}});
}

struct ManagerScenario {
  ManagerScenario() : scenario("bench_manager") {
    ndekman_exe = scenario.copy_program("NDekMan.exe");
    // A few assignments, as a set-up machine has them; the manager reads them at start.
    scenario.write_file("NDek.ini", settings_file(4));
    twin_exe = copy_tool(scenario, "bare_window_manager_dlls.exe");
    bare_exe = copy_tool(scenario, "bare_window.exe");
  }
  Scenario scenario;
  std::string ndekman_exe;
  std::string twin_exe;
  std::string bare_exe;
};

void manager(int repetitions) {
  const ManagerScenario m;
  Side ndekman{
      .label = "`NDekMan.exe`: start to main window visible and enabled after `WaitForInputIdle`",
      .run = [&] { return time_to_ready_window(m.ndekman_exe); }};
  Side twin{.label =
                "bare window of the same styles, caption and size, with the manager's "
                "manifest (common controls 6) and DLLs, measured the same way",
            .run = [&] { return time_to_ready_window(m.twin_exe); }};
  Side bare{.label = "bare window without them",
            .run = [&] { return time_to_ready_window(m.bare_exe); }};
  run_interleaved({&ndekman, &twin, &bare}, repetitions);
  print_rows("Manager start-up", {&ndekman, &twin, &bare},
             {{"NDekMan / bare window with its manifest and DLLs", &ndekman, &twin, "1.15"},
              {"NDekMan / bare window without them", &ndekman, &bare, ""}});
}

void memory(int repetitions) {
  const MounterScenario mounter_scenario(4);
  const ManagerScenario manager_scenario;
  Side ndek{.label = "`NDek.exe`, waiting for its start timer", .run = [&] {
              return mounter_working_set(mounter_scenario.scenario, mounter_scenario.ndek_exe);
            }};
  Side ndekman{.label = "`NDekMan.exe`, main window ready",
               .run = [&] { return settled_working_set(manager_scenario.ndekman_exe); }};
  Side twin{.label = "bare window with the manager's manifest and DLLs",
            .run = [&] { return settled_working_set(manager_scenario.twin_exe); }};
  Side bare{.label = "bare window without them",
            .run = [&] { return settled_working_set(manager_scenario.bare_exe); }};
  run_interleaved({&ndek, &ndekman, &twin, &bare}, repetitions);
  print_rows("Working set", {&ndek, &ndekman, &twin, &bare},
             {{"NDek / bare window", &ndek, &bare, ""},
              {"NDekMan / bare window with its manifest and DLLs", &ndekman, &twin, ""},
              {"NDekMan / bare window", &ndekman, &bare, ""}},
             mib_text, "MiB");
}

// --- Watching mounter ---------------------------------------------------------------------

constexpr wchar_t kWatchWindowClass[] = L"NDekWatchWindow";
constexpr double kWatchSettleMs = 5000;  // the watcher's wait for a burst of changes to settle
const char* const kWatchLetters[] = {"P:", "Q:", "R:", "S:"};

std::vector<HWND> hidden_windows(DWORD process_id, const wchar_t* class_name) {
  return ndek::e2e::top_level_windows(process_id, ndek::to_utf8(class_name), false);
}

// The watcher once its log-on run is over (its startup window gone, its report answered),
// settled. Each of kWatchLetters failed once at log-on; `when_idle` runs then, and the
// watcher is closed afterwards.
void run_idle_watcher(const Scenario& scenario, const std::string& ndek_exe,
                      const std::function<void(const Process&, HWND)>& when_idle) {
  scenario.wait_until_idle(kRunTimeout);
  const ndek::e2e::FreedLetters letters({std::begin(kWatchLetters), std::end(kWatchLetters)});
  DeleteFileW(ndek::to_wide(scenario.path("record.log")).c_str());
  const Process process = Process::start(ndek_exe, "/watch", scenario.dir());
  ndek::e2e::wait_for_message_box(process.id(), kRunTimeout).press(IDOK);
  const Stopwatch watch;
  while (!hidden_windows(process.id(), L"NDekStartupWindow").empty() ||
         hidden_windows(process.id(), kWatchWindowClass).size() != 1) {
    check_time(watch, "the watcher's log-on run");
    Sleep(1);
  }
  Sleep(kSettleMs);
  const HWND window = hidden_windows(process.id(), kWatchWindowClass).front();
  when_idle(process, window);
  PostMessageW(window, WM_CLOSE, 0, 0);
  wait_for_exit(process, ndek_exe + " /watch");
}

double resume_to_mapped(const Scenario& scenario, const std::string& ndek_exe) {
  double elapsed = 0;
  run_idle_watcher(scenario, ndek_exe, [&](const Process&, HWND window) {
    const Stopwatch watch;
    PostMessageW(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    for (;;) {
      if (std::all_of(std::begin(kWatchLetters), std::end(kWatchLetters), [](const char* letter) {
            return ndek::e2e::dos_device(letter).has_value();
          })) {
        break;
      }
      check_time(watch, "the letters after a resume");
      Sleep(1);
    }
    elapsed = watch.elapsed_ms();
  });
  return elapsed;
}

// A bare hidden window that only waits for messages.
double hidden_bare_window_memory(const std::string& bare_exe, double (*measure)(const Process&)) {
  const Process process = Process::start(bare_exe, "/hidden");
  WaitForInputIdle(process.handle(), static_cast<DWORD>(kRunTimeout.count()));
  const Stopwatch watch;
  std::vector<HWND> windows;
  while ((windows = ndek::e2e::top_level_windows(process.id(), {}, false)).empty()) {
    check_time(watch, bare_exe + "'s window");
    Sleep(1);
  }
  Sleep(kSettleMs);
  const double mib = measure(process);
  PostMessageW(windows.front(), WM_CLOSE, 0, 0);
  wait_for_exit(process, bare_exe);
  return mib;
}

void watch(int repetitions) {
  MounterScenario m(0);
  std::string ini;
  std::string steer = "map\r\n";
  for (const char* letter : kWatchLetters) {
    ini += std::string("\"") + letter + "\",\"d:\\bench\\watch " + letter[0] + "\"\r\n";
    steer += std::string(letter) + " 1\r\n";
  }
  m.scenario.write_file("NDek.ini", ini);
  m.scenario.write_file("stand-in.txt", steer);
  const std::string bare_exe = copy_tool(m.scenario, "bare_window.exe");
  const auto watcher_memory = [&](double (*measure)(const Process&)) {
    double mib = 0;
    run_idle_watcher(m.scenario, m.ndek_exe,
                     [&](const Process& process, HWND) { mib = measure(process); });
    return mib;
  };
  Side ndek_ws{.label = "`NDek.exe /watch`, idle after its log-on run",
               .run = [&] { return watcher_memory(&working_set_mib); }};
  Side bare_ws{.label = "bare hidden window",
               .run = [&] { return hidden_bare_window_memory(bare_exe, &working_set_mib); }};
  Side ndek_private{.label = "`NDek.exe /watch`, idle after its log-on run",
                    .run = [&] { return watcher_memory(&private_mib); }};
  Side bare_private{.label = "bare hidden window",
                    .run = [&] { return hidden_bare_window_memory(bare_exe, &private_mib); }};
  const std::string count = std::to_string(std::size(kWatchLetters));
  Side resume{.label = "resume message to " + count +
                       " letters that failed at log-on mapped again, less the 5000 ms settle wait",
              .run = [&] { return resume_to_mapped(m.scenario, m.ndek_exe); },
              .subtract_ms = kWatchSettleMs};
  run_interleaved({&ndek_ws, &bare_ws, &ndek_private, &bare_private}, repetitions);
  run_interleaved({&resume}, repetitions);
  print_rows("Watching mounter, working set", {&ndek_ws, &bare_ws},
             {{"NDek /watch / bare hidden window", &ndek_ws, &bare_ws, ""}}, mib_text, "MiB");
  print_rows("Watching mounter, private bytes", {&ndek_private, &bare_private},
             {{"NDek /watch / bare hidden window", &ndek_private, &bare_private, ""}}, mib_text,
             "MiB");
  print_rows("Watching mounter, back after resume", {&resume}, {});
}

int number(const wchar_t* text) {
  wchar_t* end = nullptr;
  const long value = std::wcstol(text, &end, 10);
  if (*end != L'\0' || value < 1 || value > 1000) {
    throw HarnessError("not a count: " + ndek::to_utf8(text));
  }
  return static_cast<int>(value);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  try {
    const std::wstring what = argc > 1 ? argv[1] : L"";
    if (what == L"mounter" && argc == 4) {
      mounter(number(argv[2]), number(argv[3]));
    } else if (what == L"manager" && argc == 3) {
      manager(number(argv[2]));
    } else if (what == L"memory" && argc == 3) {
      memory(number(argv[2]));
    } else if (what == L"watch" && argc == 3) {
      watch(number(argv[2]));
    } else {
      std::fprintf(stderr,
                   "usage: start_timer mounter REPETITIONS RECORDS\n"
                   "       start_timer manager REPETITIONS\n"
                   "       start_timer memory REPETITIONS\n"
                   "       start_timer watch REPETITIONS\n");
      return 2;
    }
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "start_timer: %s\n", error.what());
    return 1;
  }
}
