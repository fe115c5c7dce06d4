#include "platform/win32/file_system_win.h"

#include "platform/win32/win32.h"

#include <algorithm>
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

}  // namespace

ErrorNumber Win32FileSystem::open_read(const std::string& path, std::unique_ptr<InputFile>& file) {
  UniqueFileHandle handle(CreateFileW(to_wide(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return last_error();
  file = std::make_unique<Win32InputFile>(std::move(handle));
  return kOk;
}

ErrorNumber Win32FileSystem::create_temp_beside(const std::string& path,
                                                std::unique_ptr<OutputFile>& file,
                                                std::string& temp_path) {
  // Same directory, so that the final rename stays on one volume.
  const std::string stem = directory_with_separator(path) + "~" + file_name_part(path) + "." +
                           std::to_string(GetCurrentProcessId()) + ".";
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

ErrorNumber Win32FileSystem::replace(const std::string& from, const std::string& to) {
  return MoveFileExW(to_wide(from).c_str(), to_wide(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
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

}  // namespace ndek
