#include "manager/folder_browser_win.h"

#include "platform/win32/win32.h"
#include <shlobj.h>

#include <cwchar>

#include "platform/win32/strings_win.h"
#include "platform/win32/unique_handle_win.h"

namespace ndek {
namespace {

using GetPathFromIdListEx = BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, PWSTR, DWORD, GPFIDL_FLAGS);

// SHGetPathFromIDListEx takes any buffer size but is missing from older systems; the
// classic call is limited to MAX_PATH characters.
std::optional<std::wstring> path_from_id_list(PCIDLIST_ABSOLUTE id_list) {
  const auto get_path =
      find_function<GetPathFromIdListEx>(GetModuleHandleW(L"shell32.dll"), "SHGetPathFromIDListEx");
  std::wstring path;
  if (get_path != nullptr) {
    for (DWORD size = MAX_PATH; size <= kMaxPathChars; size *= 2) {
      path.assign(size, L'\0');
      if (get_path(id_list, path.data(), size, GPFIDL_DEFAULT)) {
        path.resize(std::wcslen(path.c_str()));
        return path;
      }
    }
  }
  path.assign(MAX_PATH, L'\0');
  if (!SHGetPathFromIDListW(id_list, path.data())) return std::nullopt;
  path.resize(std::wcslen(path.c_str()));
  return path;
}

}  // namespace

std::optional<std::string> browse_for_folder(HWND owner, const std::string& prompt) {
  const std::wstring title = to_wide(prompt);
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  const UniqueCoTaskMem id_list(SHBrowseForFolderW(&browse));
  if (!id_list) return std::nullopt;
  const std::optional<std::wstring> path =
      path_from_id_list(static_cast<PCIDLIST_ABSOLUTE>(id_list.get()));
  if (!path) return std::nullopt;
  return to_utf8(*path);
}

}  // namespace ndek
