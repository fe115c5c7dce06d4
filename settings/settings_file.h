#pragma once
// NDek.ini: one record per line, "X:","folder" CR LF, in the ANSI code page; UTF-8 with a
// byte-order mark when some text cannot be written in that code page. Hand-edited files may
// also be UTF-8 without the mark.
#include <cstddef>
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

// The bytes of a settings file holding `records`.
std::string encode_settings(AnsiCodePage& code_page, const std::vector<DriveSetting>& records);

// Replaces the file in one step: on failure the previous file stays as it was. A file that
// another program holds open is waited for briefly and then reported as 70. With
// `backup_path`, the previous file is first copied there, replacing an older copy.
ErrorNumber write_settings(const SettingsIo& io, const std::string& path,
                           const std::vector<DriveSetting>& records,
                           const std::string& backup_path = {});

}  // namespace ndek
