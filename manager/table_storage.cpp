#include "manager/table_storage.h"

#include "drives/report_text.h"
#include "manager/manager_text.h"
#include "settings/utf8.h"

namespace ndek {

bool ini_load(DriveTable& table, PlatformServices& platform, const SettingsIo& io) {
  table.set_col(DriveTable::kFolderCol);
  const std::string path = settings_path(platform.ProgramDir());
  // One record more than is shown, to know whether some were left unread.
  SettingsReadResult settings = read_settings(io, path, kMaxRecords + 1);
  // Records the table cannot show would be lost at the next save without a word, so they
  // count as a read that did not reach the end.
  bool skipped = settings.records.size() > kMaxRecords;
  if (skipped) settings.records.resize(kMaxRecords);
  bool taken[26] = {};
  for (const DriveSetting& record : settings.records) {
    const std::string drive = ascii_upper(record.drive);
    if (drive.empty() && record.folder.empty()) continue;  // a blank line: nothing to lose
    const char letter = drive.empty() ? '\0' : drive[0];
    const std::string_view rest = std::string_view(drive).substr(drive.empty() ? 0 : 1);
    if ((rest != ":" && rest != ":\\") || letter < 'A' || letter > 'Z' || !storable(record)) {
      skipped = true;
      continue;
    }
    // A later record for the letter replaces this one.
    skipped = skipped || taken[letter - 'A'];
    taken[letter - 'A'] = true;
    table.set_row(letter_row(letter));
    table.set_text(ascii_lower(record.folder));
  }
  // A failure keeps what was read before it; the other rows stay empty.
  ErrorNumber failure = settings.failure == kErrFileNotFound ? kOk : settings.failure;
  if (failure == kOk && skipped) failure = kErrInvalidFileFormat;
  if (failure == kOk) return true;

  namespace text = manager_text;
  platform.MessageBox(std::string(text::kLoadIncomplete) + report_text::kErrorNumberLabel +
                          error_number_text(failure) + "\r" + path + "\r" +
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
  // Waiting for a file held open goes through the platform, so the window keeps answering.
  SettingsIo patient_io{io.files, io.code_page, [&platform](std::chrono::milliseconds pause) {
                          platform.WaitForCommands({}, pause.count());
                        }};
  const ErrorNumber err =
      write_settings(patient_io, settings_path(program_dir), records,
                     keep_old_file ? program_file(program_dir, kSettingsBackupName) : "");
  if (err == kOk) return true;

  namespace text = manager_text;
  platform.MessageBox(std::string(text::kSaveFailed) + report_text::kErrorNumberLabel +
                          error_number_text(err) + "\r" + text::kAppPathLabel + program_dir,
                      kMbOkExclamation, text::kErrorTitle);
  return false;
}

}  // namespace ndek
