#pragma once
// File access as the settings codec needs it. Every step of a save is a separate call so
// that a failure at any of them can be handled (and tested) on its own.
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "platform/error_numbers.h"

namespace ndek {

// What a replace can end in besides success, as the system numbers them (1000 + its code).
// Nothing changed: the file being replaced is held by another program.
constexpr ErrorNumber kErrReplacedInUse = 1000 + 1175;
// The new file stays under its own name; the file being replaced may already be gone.
constexpr ErrorNumber kErrReplacementNotMoved = 1000 + 1176;
// The new file stays under its own name; the file being replaced is under the backup name.
constexpr ErrorNumber kErrReplacementNotMovedBack = 1000 + 1177;

// Added to a temporary name, the name under which replace keeps the file it replaces.
constexpr const char* kReplacedSuffix = ".old";

class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to `capacity` bytes; `got` is 0 only at the end of the file.
  virtual ErrorNumber read(char* buffer, std::size_t capacity, std::size_t& got) = 0;
};

class OutputFile {
 public:
  virtual ~OutputFile() = default;  // closes the file if still open
  virtual ErrorNumber write(const char* data, std::size_t size) = 0;
  // Pushes the written bytes to the disk.
  virtual ErrorNumber flush() = 0;
  virtual ErrorNumber close() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // While the file is open, others may still read, write, replace or delete it.
  virtual ErrorNumber open_read(const std::string& path, std::unique_ptr<InputFile>& file) = 0;
  // Creates a new, empty file in the directory of `path` with a name of its own, which
  // remove_leftover_temps recognises, with or without kReplacedSuffix after it.
  virtual ErrorNumber create_temp_beside(const std::string& path, std::unique_ptr<OutputFile>& file,
                                         std::string& temp_path) = 0;
  // Removes what create_temp_beside made for `path` in earlier runs and nobody holds open
  // any more: the leftovers of saves that were cut short. Files it cannot remove stay.
  virtual void remove_leftover_temps(const std::string& path) = 0;
  // Puts `from` in the place of the existing file `to`, which keeps its permissions and its
  // hidden and system attributes; the file replaced is moved to `replaced` on the way.
  // kErrFileNotFound when there is no `to`; see kErrReplacedInUse and the two after it.
  virtual ErrorNumber replace(const std::string& from, const std::string& to,
                              const std::string& replaced) = 0;
  // Renames `from` to `to`, which must not exist.
  virtual ErrorNumber move(const std::string& from, const std::string& to) = 0;
  virtual ErrorNumber remove(const std::string& path) = 0;
  // False (and kOk) when the file does not exist.
  virtual ErrorNumber is_read_only(const std::string& path, bool& read_only) = 0;
  // Waits before a step that another program blocked is tried again.
  virtual void pause_before_retry(std::chrono::milliseconds pause) = 0;
};

}  // namespace ndek
