#include "manager/table_storage.h"

#include "manager/manager_text.h"
#include "settings/utf8.h"

namespace ndek {

bool ini_load(DriveTable& table, PlatformServices& platform, const SettingsIo& io) {
  table.set_col(DriveTable::kFolderCol);
  const std::string path = settings_path(platform.ProgramDir());
  const SettingsReadResult settings = read_settings(io, path, kMaxRecords);
  for (const DriveSetting& record : settings.records) {
    const std::string drive = ascii_upper(record.drive);
    if (drive.empty()) continue;
    const char letter = drive[0];
    const std::string_view rest = std::string_view(drive).substr(1);
    if ((rest != ":" && rest != ":\\") || letter < 'A' || letter > 'Z') continue;
    table.set_row(letter_row(letter));
    table.set_text(ascii_lower(record.folder));
  }
  // A failure keeps what was read before it; the other rows stay empty.
  if (settings.failure == kOk || settings.failure == kErrFileNotFound) return true;

  namespace text = manager_text;
  platform.MessageBox(std::string(text::kLoadIncomplete) + kErrorNumberLabel +
                          error_number_text(settings.failure) + "\r" + path + "\r" +
                          text::kLoadIncompleteRows,
                      kMbOkExclamation, text::kErrorTitle);
  return false;
}

bool ini_save(DriveTable& table, PlatformServices& platform, const SettingsIo& io,
              bool keep_old_file) {
  const std::string program_dir = platform.ProgramDir();
  std::vector<DriveSetting> records;
  for (int row = 1; row < DriveTable::kRows; ++row) {
    if (!table.folder(row).empty()) records.push_back({drive_name(row), table.folder(row)});
  }
  // A save leaves the last row's folder current, as the grid always has after one.
  table.set_cell(DriveTable::kRows - 1, DriveTable::kFolderCol);
  const ErrorNumber err =
      write_settings(io, settings_path(program_dir), records,
                     keep_old_file ? program_file(program_dir, kSettingsBackupName) : "");
  if (err == kOk) return true;

  namespace text = manager_text;
  platform.MessageBox(std::string(text::kSaveFailed) + kErrorNumberLabel + error_number_text(err) +
                          "\r" + text::kAppPathLabel + program_dir,
                      kMbOkExclamation, text::kErrorTitle);
  platform.EndProgram();
  return false;
}

}  // namespace ndek
