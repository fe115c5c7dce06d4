#include "platform/win32/system_folder_win.h"

namespace ndek {

std::wstring system_folder() {
  std::wstring dir(MAX_PATH, L'\0');
  UINT length = GetSystemDirectoryW(dir.data(), static_cast<UINT>(dir.size()));
  if (length >= dir.size()) {
    dir.resize(length);
    length = GetSystemDirectoryW(dir.data(), static_cast<UINT>(dir.size()));
  }
  dir.resize(length < dir.size() ? length : 0);
  return dir;
}

UniqueModule load_system_library(const wchar_t* name) {
  const std::wstring dir = system_folder();
  if (dir.empty()) return {};
  // A full path, not LOAD_LIBRARY_SEARCH_SYSTEM32: Windows 7 without its loader update
  // refuses that flag.
  return UniqueModule(LoadLibraryW((dir + L"\\" + name).c_str()));
}

}  // namespace ndek
