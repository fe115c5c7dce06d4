#include "platform/error_numbers.h"

namespace ndek {

ErrorNumber error_number_from_system(std::uint32_t system_code) {
  // Values of the Win32 codes are spelled out so that this table builds and is tested
  // on every platform.
  switch (system_code) {
    case 0:
      return kOk;
    case 2:     // ERROR_FILE_NOT_FOUND
    case 1157:  // ERROR_DLL_NOT_FOUND
      return kErrFileNotFound;
    case 3:    // ERROR_PATH_NOT_FOUND
    case 161:  // ERROR_BAD_PATHNAME
    case 53:   // ERROR_BAD_NETPATH
    case 67:   // ERROR_BAD_NET_NAME
      return kErrPathNotFound;
    case 4:  // ERROR_TOO_MANY_OPEN_FILES
      return kErrTooManyFiles;
    case 5:   // ERROR_ACCESS_DENIED
    case 19:  // ERROR_WRITE_PROTECT
      return kErrPathFileAccess;
    case 32:  // ERROR_SHARING_VIOLATION
    case 33:  // ERROR_LOCK_VIOLATION
      return kErrPermissionDenied;
    case 80:   // ERROR_FILE_EXISTS
    case 183:  // ERROR_ALREADY_EXISTS
      return kErrFileExists;
    case 39:   // ERROR_HANDLE_DISK_FULL
    case 112:  // ERROR_DISK_FULL
      return kErrDiskFull;
    case 21:  // ERROR_NOT_READY
      return kErrDiskNotReady;
    case 123:  // ERROR_INVALID_NAME
    case 206:  // ERROR_FILENAME_EXCED_RANGE
      return kErrBadFileName;
    case 23:    // ERROR_CRC
    case 30:    // ERROR_READ_FAULT
    case 29:    // ERROR_WRITE_FAULT
    case 1117:  // ERROR_IO_DEVICE
      return kErrDeviceIo;
    default:
      return 1000 + static_cast<ErrorNumber>(system_code);
  }
}

std::string error_number_text(ErrorNumber number) {
  return number < 0 ? std::to_string(number) : " " + std::to_string(number);
}

}  // namespace ndek
