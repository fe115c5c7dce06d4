#pragma once
// An in-memory file system with failures to order, so that every step of a save can be made
// to fail and the result checked.
#include <chrono>
#include <cstddef>
#include <deque>
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
  // Step name ("open", "read", "create", "write", "flush", "close", "replace",
  // "remove", "attributes") -> what its calls return in order; the last answer repeats.
  std::map<std::string, std::deque<ErrorNumber>> failures;
  // Every pause before a retry, in order; none is waited for.
  std::vector<std::chrono::milliseconds> pauses;
  // Largest block a single read returns, to exercise block boundaries.
  std::size_t read_block = 1 << 20;
  std::size_t bytes_read = 0;

  ErrorNumber open_read(const std::string& path, std::unique_ptr<InputFile>& file) override;
  ErrorNumber create_temp_beside(const std::string& path, std::unique_ptr<OutputFile>& file,
                                 std::string& temp_path) override;
  // kErrReplacementNotMoved loses `to`; kErrReplacementNotMovedBack leaves it at `replaced`.
  ErrorNumber replace(const std::string& from, const std::string& to,
                      const std::string& replaced) override;
  ErrorNumber move(const std::string& from, const std::string& to) override;
  ErrorNumber remove(const std::string& path) override;
  ErrorNumber is_read_only(const std::string& path, bool& read_only) override;
  // Removes every file named as create_temp_beside names them for `path`.
  void remove_leftover_temps(const std::string& path) override;
  void pause_before_retry(std::chrono::milliseconds pause) override;

  ErrorNumber failure(const std::string& step);

 private:
  int temp_count_ = 0;
};

}  // namespace ndek::testing
