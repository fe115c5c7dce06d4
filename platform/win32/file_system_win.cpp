#include "platform/win32/file_system_win.h"

#include "platform/win32/win32.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "platform/win32/strings_win.h"
#include "platform/win32/unique_handle_win.h"

namespace ndek {
namespace {

// ReadFile and WriteFile count in DWORDs; larger requests go in pieces.
constexpr std::size_t kMaxTransfer = 1u << 30;
constexpr int kMaxTempAttempts = 1000;

ErrorNumber last_error() { return error_number_from_system(GetLastError()); }

class Win32InputFile : public InputFile {
 public:
  explicit Win32InputFile(UniqueFileHandle handle) : handle_(std::move(handle)) {}

  ErrorNumber read(char* buffer, std::size_t capacity, std::size_t& got) override {
    DWORD read = 0;
    const DWORD wanted = static_cast<DWORD>(std::min(capacity, kMaxTransfer));
    got = 0;
    if (!ReadFile(handle_.get(), buffer, wanted, &read, nullptr)) return last_error();
    got = read;
    return kOk;
  }

 private:
  UniqueFileHandle handle_;
};

class Win32OutputFile : public OutputFile {
 public:
  explicit Win32OutputFile(UniqueFileHandle handle) : handle_(std::move(handle)) {}

  ErrorNumber write(const char* data, std::size_t size) override {
    while (size > 0) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(std::min(size, kMaxTransfer));
      if (!WriteFile(handle_.get(), data, chunk, &written, nullptr)) return last_error();
      if (written == 0) return error_number_from_system(ERROR_DISK_FULL);
      data += written;
      size -= written;
    }
    return kOk;
  }

  ErrorNumber flush() override { return FlushFileBuffers(handle_.get()) ? kOk : last_error(); }

  // Closing can report a failure of its own (a delayed write on a network drive), so it is
  // done here and not only in the destructor.
  ErrorNumber close() override {
    if (!handle_) return kOk;
    return CloseHandle(handle_.release()) ? kOk : last_error();
  }

 private:
  UniqueFileHandle handle_;
};

std::string directory_with_separator(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string file_name_part(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

// Temporary files are "~" + the target's name + "." + digits and dots + ".tmp", e.g.
// "~NDek.ini.1234.5678.tmp": beside the target, so that the final rename stays on one
// volume, and recognisable when a save was cut short.
std::string temp_prefix(const std::string& path) {
  return directory_with_separator(path) + "~" + file_name_part(path) + ".";
}
constexpr std::wstring_view kTempSuffix = L".tmp";

bool is_temp_name(std::wstring_view name, std::wstring_view target_name) {
  const auto same = [](std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
  };
  // What a replace kept of the file it replaced carries one more suffix.
  const std::wstring replaced_suffix = to_wide(kReplacedSuffix);
  if (name.size() > replaced_suffix.size() &&
      same(name.substr(name.size() - replaced_suffix.size()), replaced_suffix)) {
    name.remove_suffix(replaced_suffix.size());
  }
  const std::size_t prefix = 1 + target_name.size() + 1;
  if (name.size() <= prefix + kTempSuffix.size()) return false;
  const std::wstring_view middle = name.substr(prefix, name.size() - prefix - kTempSuffix.size());
  return name[0] == L'~' && same(name.substr(1, target_name.size()), target_name) &&
         name[prefix - 1] == L'.' &&
         same(name.substr(name.size() - kTempSuffix.size()), kTempSuffix) &&
         middle.find_first_not_of(L"0123456789.") == std::wstring_view::npos;
}

// Attributes a replaced file keeps; read-only is refused before a save ever gets here.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

}  // namespace

ErrorNumber Win32FileSystem::open_read(const std::string& path, std::unique_ptr<InputFile>& file) {
  // Full sharing, so that a save (ours or another program's) is never refused for a read.
  UniqueFileHandle handle(CreateFileW(to_wide(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return last_error();
  file = std::make_unique<Win32InputFile>(std::move(handle));
  return kOk;
}

ErrorNumber Win32FileSystem::create_temp_beside(const std::string& path,
                                                std::unique_ptr<OutputFile>& file,
                                                std::string& temp_path) {
  const std::string stem = temp_prefix(path) + std::to_string(GetCurrentProcessId()) + ".";
  const unsigned long long start = GetTickCount64();
  for (int attempt = 0; attempt < kMaxTempAttempts; ++attempt) {
    const std::string candidate = stem + std::to_string(start + attempt) + ".tmp";
    UniqueFileHandle handle(CreateFileW(to_wide(candidate).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle) {
      file = std::make_unique<Win32OutputFile>(std::move(handle));
      temp_path = candidate;
      return kOk;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      return error_number_from_system(error);
    }
  }
  return error_number_from_system(ERROR_FILE_EXISTS);
}

void Win32FileSystem::remove_leftover_temps(const std::string& path) {
  const std::wstring directory = to_wide(directory_with_separator(path));
  const std::wstring target_name = to_wide(file_name_part(path));
  WIN32_FIND_DATAW found{};
  const UniqueFindHandle search(FindFirstFileExW(to_wide(temp_prefix(path) + "*").c_str(),
                                                 FindExInfoBasic, &found, FindExSearchNameMatch,
                                                 nullptr, 0));
  if (!search) return;
  do {
    // A save still running holds its file open without sharing, so it cannot be removed.
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        is_temp_name(found.cFileName, target_name)) {
      DeleteFileW((directory + found.cFileName).c_str());
    }
  } while (FindNextFileW(search.get(), &found));
}

ErrorNumber Win32FileSystem::replace(const std::string& from, const std::string& to,
                                     const std::string& replaced) {
  const std::wstring wide_from = to_wide(from);
  const std::wstring wide_to = to_wide(to);
  // ReplaceFileW should carry these over itself, but not every implementation does.
  const DWORD attributes = GetFileAttributesW(wide_to.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return last_error();
  if ((attributes & kKeptAttributes) != 0 &&
      !SetFileAttributesW(wide_from.c_str(), attributes & kKeptAttributes)) {
    return last_error();
  }
  // Unlike a rename over it, this keeps the file's own permissions.
  return ReplaceFileW(wide_to.c_str(), wide_from.c_str(), to_wide(replaced).c_str(),
                      REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                      nullptr)
             ? kOk
             : last_error();
}

ErrorNumber Win32FileSystem::move(const std::string& from, const std::string& to) {
  return MoveFileExW(to_wide(from).c_str(), to_wide(to).c_str(), MOVEFILE_WRITE_THROUGH)
             ? kOk
             : last_error();
}

ErrorNumber Win32FileSystem::remove(const std::string& path) {
  return DeleteFileW(to_wide(path).c_str()) ? kOk : last_error();
}

ErrorNumber Win32FileSystem::is_read_only(const std::string& path, bool& read_only) {
  read_only = false;
  const DWORD attributes = GetFileAttributesW(to_wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
               ? kOk
               : error_number_from_system(error);
  }
  read_only = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  return kOk;
}

void Win32FileSystem::pause_before_retry(std::chrono::milliseconds pause) {
  Sleep(static_cast<DWORD>(pause.count()));
}

}  // namespace ndek
