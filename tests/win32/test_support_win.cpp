#include "tests/win32/test_support_win.h"

#include "platform/win32/win32.h"

#include "platform/win32/strings_win.h"
#include "platform/win32/unique_handle_win.h"

namespace ndek::testing {
namespace {

template <typename Visit>
void for_each_file(const std::wstring& folder, Visit visit) {
  WIN32_FIND_DATAW found{};
  const UniqueFindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
  if (!search) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) visit(found.cFileName);
  } while (FindNextFileW(search.get(), &found));
}

}  // namespace

bool write_whole_file(const std::wstring& path, const std::string& bytes) {
  const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file &&
         WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool file_exists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

ScratchFolder::ScratchFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  path_ = std::wstring(temp, length) + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(GetTickCount64());
  CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
  for_each_file(path_, [this](const wchar_t* name) {
    const std::wstring path = file(name);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
  });
  RemoveDirectoryW(path_.c_str());
}

std::string ScratchFolder::utf8_file(const std::wstring& name) const { return to_utf8(file(name)); }

std::size_t ScratchFolder::file_count() const {
  std::size_t count = 0;
  for_each_file(path_, [&count](const wchar_t*) { ++count; });
  return count;
}

}  // namespace ndek::testing
