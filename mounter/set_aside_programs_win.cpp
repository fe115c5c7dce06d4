#include "mounter/set_aside_programs_win.h"

#include "platform/win32/win32.h"

#include <string>

#include "platform/win32/program_dir_win.h"
#include "platform/win32/unique_handle_win.h"

namespace ndek {

void remove_set_aside_programs() {
  const std::wstring path = module_path();
  if (path.empty()) return;
  // The program's folder, ending in a separator.
  const std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);

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
