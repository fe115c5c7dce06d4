#include "platform/win32/program_dir_win.h"

#include "platform/win32/win32.h"

namespace ndek {

std::wstring directory_of(std::wstring_view file_path) {
  const std::size_t separator = file_path.find_last_of(L"\\/");
  if (separator == std::wstring_view::npos) return {};
  std::wstring directory(file_path.substr(0, separator));
  // "C:" alone would mean the current directory of drive C, not its root.
  if (!directory.empty() && directory.back() == L':') directory.push_back(L'\\');
  return directory;
}

std::wstring module_path() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    // A cut-off name fills the buffer exactly.
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= kMaxPathChars) return {};
    path.resize(path.size() * 2);
  }
}

}  // namespace ndek
