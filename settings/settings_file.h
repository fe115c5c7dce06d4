#pragma once
// NDek.ini: one record per line, "X:","folder" CR LF, in the ANSI code page; UTF-8 with a
// byte-order mark when some text cannot be written in that code page, or would read as
// UTF-8 without the mark. Hand-edited files may also be UTF-8 without the mark.
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/ansi_code_page.h"
#include "platform/error_numbers.h"
#include "platform/file_system.h"

namespace ndek {

struct DriveSetting {
  std::string drive;
  std::string folder;
  // An unquoted drive field that reads as a number; such a record cannot become a command.
  bool drive_is_number = false;

  bool operator==(const DriveSetting& other) const = default;
};

struct SettingsIo {
  FileSystem& files;
  AnsiCodePage& code_page;
  // How a save waits before it tries again; without it, FileSystem::pause_before_retry.
  std::function<void(std::chrono::milliseconds)> wait = {};
};

struct SettingsReadResult {
  std::vector<DriveSetting> records;
  // kOk, or the failure that stopped the reading; the records before it are kept.
  ErrorNumber failure = kOk;
};

constexpr const char* kSettingsFileName = "NDek.ini";
// The file as it was before a save that must not lose what could not be read of it.
constexpr const char* kSettingsBackupName = "NDek.ini.bak";
constexpr std::size_t kMaxRecords = 100;

// The one settings file of both programs: NDek.ini in the program directory.
std::string settings_path(const std::string& program_dir);
// A longer field is taken for a damaged file rather than read into memory.
constexpr std::size_t kMaxFieldChars = 32767;

SettingsReadResult read_settings(const SettingsIo& io, const std::string& path,
                                 std::size_t max = kMaxRecords);

// False when the record would not read back as it is: a field holds a quote (nothing is
// escaped), or the drive field has blanks around it (the reader trims them).
bool storable(const DriveSetting& record);

// The bytes of a settings file holding the records that are storable.
std::string encode_settings(AnsiCodePage& code_page, const std::vector<DriveSetting>& records);

// Replaces the file in one step, keeping its permissions: on failure the previous file stays
// as it was. A file that another program holds open is waited for about five seconds and
// then reported as 70. With
// `backup_path`, the previous file is first copied there, replacing an older copy.
ErrorNumber write_settings(const SettingsIo& io, const std::string& path,
                           const std::vector<DriveSetting>& records,
                           const std::string& backup_path = {});

}  // namespace ndek
