#include "mounter/set_aside_programs_win.h"

#include "platform/win32/win32.h"

#include <string>

#include "platform/win32/unique_handle_win.h"

namespace ndek {

void remove_set_aside_programs() {
  std::wstring folder(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, folder.data(), static_cast<DWORD>(folder.size()));
    if (length == 0) return;
    if (length < folder.size()) {
      folder.resize(length);
      break;
    }
    folder.resize(folder.size() * 2);
  }
  folder.erase(folder.find_last_of(L'\\') + 1);

  WIN32_FIND_DATAW found;
  const UniqueFindHandle search(FindFirstFileW((folder + kSetAsidePattern).c_str(), &found));
  if (!search) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      DeleteFileW((folder + found.cFileName).c_str());
    }
  } while (FindNextFileW(search.get(), &found));
}

}  // namespace ndek
