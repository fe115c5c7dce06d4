#pragma once
// An in-memory file system with failures to order, so that every step of a save can be made
// to fail and the result checked.
#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace ndek::testing {

class FakeFileSystem : public FileSystem {
 public:
  std::map<std::string, std::string> files;
  std::set<std::string> read_only;
  // Files whose content is produced on demand, for inputs too large to hold.
  std::map<std::string, std::function<std::unique_ptr<InputFile>()>> streams;
  // Step name ("open", "read", "create", "write", "flush", "close", "replace", "remove",
  // "attributes") -> the number that step fails with.
  std::map<std::string, ErrorNumber> failures;
  // A step listed here fails only this many more times, then succeeds.
  std::map<std::string, int> failures_left;
  // Every pause before a retry, in order; none is waited for.
  std::vector<std::chrono::milliseconds> pauses;
  // Largest block a single read returns, to exercise block boundaries.
  std::size_t read_block = 1 << 20;
  std::size_t bytes_read = 0;

  ErrorNumber open_read(const std::string& path, std::unique_ptr<InputFile>& file) override;
  ErrorNumber create_temp_beside(const std::string& path, std::unique_ptr<OutputFile>& file,
                                 std::string& temp_path) override;
  ErrorNumber replace(const std::string& from, const std::string& to) override;
  ErrorNumber remove(const std::string& path) override;
  ErrorNumber is_read_only(const std::string& path, bool& read_only) override;
  // Removes every file named as create_temp_beside names them for `path`.
  void remove_leftover_temps(const std::string& path) override;
  void pause_before_retry(std::chrono::milliseconds pause) override;

  ErrorNumber failure(const std::string& step);

 private:
  int temp_count_ = 0;
};

// An input of `size` bytes that repeats `pattern`.
std::unique_ptr<InputFile> make_repeating_input(std::string pattern, unsigned long long size,
                                                std::size_t* bytes_read = nullptr);

}  // namespace ndek::testing
