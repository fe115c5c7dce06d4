#pragma once
// Failures travel through the logic as numbers in the classic runtime's numbering, because
// they are shown to the user verbatim and two of them (53, 58) steer the recovery.
#include <cstdint>
#include <string>

namespace ndek {

using ErrorNumber = int;

constexpr ErrorNumber kOk = 0;
constexpr ErrorNumber kErrTypeMismatch = 13;
constexpr ErrorNumber kErrBadFileName = 52;
constexpr ErrorNumber kErrFileNotFound = 53;
constexpr ErrorNumber kErrDeviceIo = 57;
constexpr ErrorNumber kErrFileExists = 58;
constexpr ErrorNumber kErrBadRecordLength = 59;
constexpr ErrorNumber kErrDiskFull = 61;
constexpr ErrorNumber kErrInputPastEnd = 62;
constexpr ErrorNumber kErrTooManyFiles = 67;
constexpr ErrorNumber kErrPermissionDenied = 70;
constexpr ErrorNumber kErrDiskNotReady = 71;
constexpr ErrorNumber kErrPathFileAccess = 75;
constexpr ErrorNumber kErrPathNotFound = 76;
constexpr ErrorNumber kErrInvalidFileFormat = 321;

// Maps an operating-system error code (GetLastError) onto the runtime's numbers.
// Codes with no counterpart keep a distinct number: 1000 + the system code, so the user
// still sees something a support person can look up.
ErrorNumber error_number_from_system(std::uint32_t system_code);

// The number as the messages show it: a leading blank when it is not negative (" 75").
std::string error_number_text(ErrorNumber number);

}  // namespace ndek
