#include "platform/win32/program_dir_win.h"

namespace ndek {

std::wstring directory_of(std::wstring_view file_path) {
  const std::size_t separator = file_path.find_last_of(L"\\/");
  if (separator == std::wstring_view::npos) return {};
  std::wstring directory(file_path.substr(0, separator));
  // "C:" alone would mean the current directory of drive C, not its root.
  if (!directory.empty() && directory.back() == L':') directory.push_back(L'\\');
  return directory;
}

}  // namespace ndek
