// Times programs from the moment they are started, two at a time and side by side (A B A B
// ...), and prints the rows of the benchmark table (Markdown) followed by the samples:
//
//   start_timer mounter REPETITIONS RECORDS
//     NDek.exe with a settings file of RECORDS records, recorders standing in for the
//     commands in the system folder, from its start to its exit (after its commands have
//     ended) less its start delay; against a batch file that starts the same commands with
//     `start "" /b`, run by `cmd /c`, from start to exit.
//   start_timer manager REPETITIONS
//     NDekMan.exe from its start until its main window is visible and takes input; against a
//     bare window of the same kind.
//
// Every run is bounded. A run fails when it overstays, when a window never shows or when a
// command did not run; it is then made once more, and a second failure ends the tool with a
// message and a non-zero exit code. Scratch directories go under NDEK_E2E_WORK_DIR; the
// programs come from NDEK_E2E_PROGRAM_DIR (see the harness).
#include "platform/win32/win32.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/strings_win.h"
#include "tests/bench/sample_summary.h"
#include "tests/bench/win/main_window_caption_win.h"
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

// A program that cannot go on shows a message box instead of ending (the mounter does when a
// command could not be started); its text ends the run at once rather than at the timeout.
void wait_for_exit(const Process& process, const std::string& what) {
  const Stopwatch waited;
  while (WaitForSingleObject(process.handle(), 1000) != WAIT_OBJECT_0) {
    for (const ndek::e2e::MessageBoxView& box : ndek::e2e::message_boxes(process.id())) {
      std::string text = box.text;
      std::replace(text.begin(), text.end(), '\r', ' ');
      throw HarnessError(what + " asked: " + text);
    }
    if (waited.elapsed_ms() > static_cast<double>(kRunTimeout.count())) {
      throw HarnessError(what + " did not end within " + std::to_string(kRunTimeout.count()) +
                         " ms");
    }
  }
}

// --- Mounter ----------------------------------------------------------------------------

// Record i maps a letter from D on to a folder of its own.
std::string drive_of(int i) { return std::string(1, static_cast<char>('D' + i % 23)) + ":"; }
std::string folder_of(int i) {
  char number[8];
  std::snprintf(number, sizeof number, "%03d", i + 1);
  return std::string("d:\\bench\\folder ") + number;
}

std::string settings_file(int records) {
  std::string text;
  for (int i = 0; i < records; ++i) text += "\"" + drive_of(i) + "\",\"" + folder_of(i) + "\"\r\n";
  return text;
}

// The same commands as the mounter issues for settings_file(records).
std::string batch_file(int records) {
  std::string text = "@echo off\r\n";
  for (int i = 0; i < records; ++i) {
    text += "start \"\" /b subst.exe " + drive_of(i) + " \"" + folder_of(i) + "\"\r\n";
  }
  return text;
}

std::string system_program(const wchar_t* file_name) {
  wchar_t dir[MAX_PATH];
  const UINT length = GetSystemDirectoryW(dir, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) throw HarnessError("no system directory");
  return ndek::to_utf8(std::wstring(dir, length) + L"\\" + file_name);
}

// The time ends with the measured process (the batch file does not wait for its commands,
// the mounter does). Then, outside the time, every command must have run (one record each)
// before the next run starts.
double time_to_exit(const Scenario& scenario, const std::string& program,
                    const std::string& arguments, int records) {
  // What a failed run before may have left running.
  scenario.wait_until_idle(kRunTimeout);
  const std::wstring log = ndek::to_wide(scenario.path("record.log"));
  if (!DeleteFileW(log.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
    throw HarnessError("cannot remove " + scenario.path("record.log"));
  }
  const Stopwatch watch;
  const Process process = Process::start(program, arguments, scenario.dir());
  wait_for_exit(process, program);
  const double elapsed = watch.elapsed_ms();
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

double time_to_ready_window(const std::string& program) {
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
    if (watch.elapsed_ms() > static_cast<double>(kRunTimeout.count())) {
      throw HarnessError(program + " showed no enabled main window");
    }
    Sleep(1);
  }
  const double elapsed = watch.elapsed_ms();
  // The close box ends both programs without saving anything.
  PostMessageW(window, WM_CLOSE, 0, 0);
  wait_for_exit(process, program + " after its window was closed");
  return elapsed;
}

// --- Output -----------------------------------------------------------------------------

struct Side {
  std::string label;  // the table's "measured" column
  std::function<double()> run;
  double subtract_ms = 0;  // a fixed wait of the program that is not its own work
  int units = 0;           // commands per run, for a time per command; 0: none
  std::vector<double> samples{};
};

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

void run_interleaved(std::vector<Side*> sides, int repetitions) {
  // One run of each first, not counted: it pays for loading from disk and the first start of
  // Wine's libraries.
  for (Side* side : sides) run_repeating_a_failure(*side);
  for (int i = 0; i < repetitions; ++i) {
    for (Side* side : sides) {
      side->samples.push_back(run_repeating_a_failure(*side) - side->subtract_ms);
    }
  }
}

std::string spread_text(const bench::SampleSummary& s) {
  char percent[32];
  std::snprintf(percent, sizeof percent, " (%.0f %%)", s.relative_spread() * 100);
  return bench::milliseconds_text(s.min) + " - " + bench::milliseconds_text(s.max) + percent;
}

void print_rows(const std::string& benchmark, const Side& a, const Side& b,
                const std::string& ratio_label) {
  const Side* sides[] = {&a, &b};
  bool first = true;
  for (const Side* side : sides) {
    const bench::SampleSummary s = bench::summarize(side->samples);
    const std::string detail =
        side->units > 0 ? bench::milliseconds_text(s.median / side->units) + " per command" : "";
    std::printf("| %s | %s | %s | %s | %s |\n", first ? benchmark.c_str() : "", side->label.c_str(),
                bench::milliseconds_text(s.median).c_str(), detail.c_str(), spread_text(s).c_str());
    first = false;
  }
  const bench::RatioSummary ratio = bench::compare(a.samples, b.samples);
  std::printf("| | %s | **%s** | ratio of the medians | pairs %s - %s |\n", ratio_label.c_str(),
              bench::ratio_text(ratio.of_medians).c_str(),
              bench::ratio_text(ratio.pair_min).c_str(), bench::ratio_text(ratio.pair_max).c_str());
  for (const Side* side : sides) {
    std::printf("samples of %s (ms, in run order):", side->label.c_str());
    for (double sample : side->samples) std::printf(" %.1f", sample);
    std::printf("\n");
  }
  std::fflush(stdout);
}

// --- Benchmarks -------------------------------------------------------------------------

void mounter(int repetitions, int records) {
  Scenario ndek("bench_mounter_NDek");
  const std::string ndek_exe = ndek.prepare_mounter();
  if (!ndek::e2e::install_system_stand_ins()) throw HarnessError("the stand-ins need Wine");
  ndek.write_file("NDek.ini", settings_file(records));

  Scenario batch("bench_mounter_batch");
  batch.add_recorder("subst.exe");
  batch.write_file("bench.bat", batch_file(records));
  // The batch names subst.exe bare, as a user's would: the recorder is found in the current
  // directory. The mounter starts the one in the system folder, whatever the directory.
  if (!SetCurrentDirectoryW(ndek::to_wide(batch.dir()).c_str())) {
    throw HarnessError("cannot enter " + batch.dir());
  }
  const std::string cmd = system_program(L"cmd.exe");

  const std::string count = std::to_string(records);
  Side a{.label = "`NDek.exe`, " + count +
                  " records: start to exit after its commands ended, less its 500 ms start delay",
         .run = [&] { return time_to_exit(ndek, ndek_exe, "", records); },
         .subtract_ms = kStartDelayMs,
         .units = records};
  Side b{.label = "batch file, " + count + " lines `start \"\" /b subst.exe ...`, run by `cmd /c`",
         .run = [&] { return time_to_exit(batch, cmd, "/c bench.bat", records); },
         .units = records};
  run_interleaved({&a, &b}, repetitions);
  print_rows("Mounter, " + count + " commands", a, b, "NDek / batch");
}

void manager(int repetitions) {
  Scenario manager("bench_manager_NDekMan");
  const std::string ndekman_exe = manager.copy_program("NDekMan.exe");
  // A few assignments, as a set-up machine has them; the manager reads them at start.
  manager.write_file("NDek.ini", settings_file(4));
  const std::string bare_exe = ndek::e2e::tools_dir() + "\\bare_window.exe";
  if (!ndek::e2e::file_exists(bare_exe)) throw HarnessError(bare_exe + " was not built");

  Side a{
      .label = "`NDekMan.exe`: start to main window visible and enabled after `WaitForInputIdle`",
      .run = [&] { return time_to_ready_window(ndekman_exe); }};
  Side b{.label = "bare window of the same styles, caption and size, measured the same way",
         .run = [&] { return time_to_ready_window(bare_exe); }};
  run_interleaved({&a, &b}, repetitions);
  print_rows("Manager start-up", a, b, "NDekMan / bare window");
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
    } else {
      std::fprintf(stderr,
                   "usage: start_timer mounter REPETITIONS RECORDS\n"
                   "       start_timer manager REPETITIONS\n");
      return 2;
    }
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "start_timer: %s\n", error.what());
    return 1;
  }
}
