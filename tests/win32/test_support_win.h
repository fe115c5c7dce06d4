#pragma once
// Files and folders for the tests, made with the system's own calls so that the code under
// test is not used to check itself.
#include <string>

namespace ndek::testing {

bool write_whole_file(const std::wstring& path, const std::string& bytes);
bool file_exists(const std::wstring& path);

// A new, empty folder under the temporary folder, removed with its files when it goes.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::wstring& name);
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();

  const std::wstring& path() const { return path_; }
  std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }
  // The same, as UTF-8 for the code under test.
  std::string utf8_file(const std::wstring& name) const;
  // How many files the folder holds.
  std::size_t file_count() const;

 private:
  std::wstring path_;
};

}  // namespace ndek::testing
