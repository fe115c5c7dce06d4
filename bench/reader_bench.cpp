// Reads large damaged settings files from disk and prints how long the reader took, how much
// of the file it consumed and how much memory it needed. The reader is meant to stop early.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "tests/fakes/cp932_code_page.h"

namespace {

using namespace ndek;

class DiskInput : public InputFile {
 public:
  explicit DiskInput(std::FILE* file) : file_(file) {}
  ~DiskInput() override { std::fclose(file_); }
  ErrorNumber read(char* buffer, std::size_t capacity, std::size_t& got) override {
    got = std::fread(buffer, 1, capacity, file_);
    consumed += got;
    return std::ferror(file_) ? kErrDeviceIo : kOk;
  }
  static inline unsigned long long consumed = 0;

 private:
  std::FILE* file_;
};

// Only reading is needed here.
class DiskFileSystem : public FileSystem {
 public:
  ErrorNumber open_read(const std::string& path, std::unique_ptr<InputFile>& file) override {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return kErrFileNotFound;
    file = std::make_unique<DiskInput>(f);
    return kOk;
  }
  ErrorNumber create_temp_beside(const std::string&, std::unique_ptr<OutputFile>&,
                                 std::string&) override {
    return kErrPathFileAccess;
  }
  ErrorNumber replace(const std::string&, const std::string&, const std::string&) override {
    return kErrPathFileAccess;
  }
  ErrorNumber move(const std::string&, const std::string&) override { return kErrPathFileAccess; }
  ErrorNumber remove(const std::string&) override { return kErrPathFileAccess; }
  ErrorNumber is_read_only(const std::string&, bool& read_only) override {
    read_only = true;
    return kOk;
  }
  void remove_leftover_temps(const std::string&) override {}
  void pause_before_retry(std::chrono::milliseconds) override {}
};

struct Outcome {
  unsigned long long consumed = 0;
  std::size_t records = 0;
  ErrorNumber failure = kOk;
  double milliseconds = 0;
};

// Runs the read in a child process so that its peak memory is its own; with no path the child
// only starts and ends, which gives the baseline.
bool measure(const std::string& path, Outcome& outcome, long& peak_kib) {
  int channel[2];
  if (pipe(channel) != 0) return false;
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    Outcome result;
    if (!path.empty()) {
      DiskFileSystem fs;
      testing::Cp932CodePage cp932;
      const auto start = std::chrono::steady_clock::now();
      const SettingsReadResult read = read_settings(SettingsIo{fs, cp932}, path);
      result.milliseconds =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count();
      result.consumed = DiskInput::consumed;
      result.records = read.records.size();
      result.failure = read.failure;
    }
    const bool sent = write(channel[1], &result, sizeof result) == sizeof result;
    _exit(sent ? 0 : 1);
  }
  close(channel[1]);
  const bool received = read(channel[0], &outcome, sizeof outcome) == sizeof outcome;
  close(channel[0]);
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !received) return false;
  peak_kib = usage.ru_maxrss;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool make_file(const std::string& path, unsigned long long size, bool garbage) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::vector<char> block(1 << 20);
  std::mt19937_64 random(42);
  for (unsigned long long written = 0; written < size; written += block.size()) {
    if (garbage) {
      for (char& c : block) c = static_cast<char>(random());
    } else {
      std::fill(block.begin(), block.end(), 'x');
      if (written == 0) block[0] = '"';
    }
    std::fwrite(block.data(), 1, block.size(), f);
  }
  return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : ".";
  const unsigned long long size = 1ull << 30;
  Outcome none;
  long baseline_kib = 0;
  if (!measure("", none, baseline_kib)) return 1;
  std::printf(
      "| input (1 GiB on disk) | read of it | records | failure | time | peak memory (baseline %ld "
      "KiB) |\n",
      baseline_kib);
  std::printf("|---|---|---|---|---|---|\n");
  for (bool garbage : {true, false}) {
    const std::string path = dir + (garbage ? "/garbage.ini" : "/endless-field.ini");
    if (!make_file(path, size, garbage)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
    Outcome outcome;
    long peak_kib = 0;
    const bool ok = measure(path, outcome, peak_kib);
    std::remove(path.c_str());
    if (!ok) return 1;
    std::printf("| %s | %llu KiB | %zu | %d | %.3f ms | %ld KiB |\n",
                garbage ? "random bytes" : "one endless quoted field", outcome.consumed / 1024,
                outcome.records, outcome.failure, outcome.milliseconds, peak_kib);
  }
  return 0;
}
