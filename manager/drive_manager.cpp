#include "manager/drive_manager.h"

#include "drives/command_outcome.h"
#include "drives/drive_command.h"
#include "drives/report_text.h"
#include "manager/help_text.h"
#include "manager/letter_update.h"
#include "manager/manager_text.h"
#include "manager/share_credentials.h"
#include "manager/table_storage.h"
#include "platform/os_version.h"

namespace ndek {
namespace {

// Finish waits this long for each command before it goes on without it.
constexpr std::int64_t kCommandLimitMs = 5000;

}  // namespace

std::string DriveManager::help_file() const {
  return program_file(platform_.ProgramDir(), manager_text::kHelpFileName);
}

void DriveManager::load() {
  fill_drive_table(table_, platform_);
  keep_old_settings_ = !ini_load(table_, platform_, io_);
  for (int row = 1; row < DriveTable::kRows; ++row) {
    loaded_[row] = table_.folder(row);
  }
  view_.refresh_table();
  // An elevated token has drive letters of its own: finish would report success for drives
  // the user never sees.
  if (!platform_.ShellSeesOurDrives()) {
    platform_.MessageBox(manager_text::kNotSeenByShell, kMbOkExclamation,
                         manager_text::kErrorTitle);
  }
}

void DriveManager::assign() {
  view_.set_enabled(false);
  view_.show_assign_dialog();
}

void DriveManager::delete_drive() {
  const int row = table_.row();
  if (row < 1 || row >= DriveTable::kRows) return;
  table_.set_col(DriveTable::kFolderCol);
  if (!table_.text().empty()) {
    table_.set_text("");
    view_.refresh_table();
  }
}

void DriveManager::help() {
  namespace text = manager_text;
  const std::string file = help_file();
  std::string help;
  ErrorNumber err = read_help_text(io_.files, file, help);
  if (err == kOk) err = view_.show_help(with_crlf_breaks(help));
  if (err != kOk) {
    // Help is a convenience: its failure must not cost the user the edits made so far.
    platform_.MessageBox(std::string(text::kHelpNotOpened) + report_text::kErrorNumberLabel +
                             error_number_text(err) + "\r" + file,
                         kMbOkExclamation, text::kErrorTitle);
  }
}

void DriveManager::finish() {
  namespace text = manager_text;
  if (finishing_) return;
  finishing_ = true;
  std::vector<std::string> failures;
  view_.set_busy(true);
  bool saved = false;
  {
    // A watching NDek must not map from the old settings between our commands and the save.
    const std::unique_ptr<DriveChangeLock> lock = platform_.HoldDriveChanges();
    map_drives(failures);
    // What could not be mapped now is still saved: it may well work at the next log-on.
    saved = ini_save(table_, platform_, io_, keep_old_settings_);
  }
  view_.set_busy(false);
  if (!saved) {
    finishing_ = false;
    return;
  }
  if (!failures.empty()) {
    platform_.MessageBox(failure_report(failures), kMbOkExclamation, text::kErrorTitle);
  }
  platform_.MessageBox(text::kRestartNotice, kMbOk, text::kRestartTitle);
  platform_.EndProgram();
}

void DriveManager::map_drives(std::vector<std::string>& failures) {
  // The same commands as at log-on, so what maps now is what maps then.
  const std::string_view persistence =
      persistence_option(version_from_word(platform_.OsVersionWord()));
  for (int row = 1; row < DriveTable::kRows; ++row) {
    const DriveSetting record{drive_name(row), table_.folder(row)};
    const std::string& loaded = loaded_[row];
    if (record.folder.empty() && loaded.empty()) continue;
    const std::optional<DriveCommand> map = compose_drive_command(record, persistence);
    if (!record.folder.empty() && !map) {
      failures.push_back(
          failure_line(progress_text(record), {.kind = CommandOutcome::Kind::kUnusableFolder}));
      continue;
    }
    const DriveMapping now = platform_.CurrentMapping(record.drive);
    const LetterUpdate update = plan_letter_update(loaded, record.folder, now);
    if (update.unmap) {
      const CommandOutcome outcome = run_drive_command(
          platform_, compose_unmap_command(record.drive, now.kind), kCommandLimitMs);
      if (outcome.failed()) {
        // The letter is still taken, so mapping it again would fail as well.
        failures.push_back(failure_line(record.drive + manager_text::kUnmapSuffix, outcome));
        continue;
      }
    }
    if (!update.map) continue;
    const CommandOutcome outcome = run_drive_command(platform_, *map, kCommandLimitMs);
    if (!outcome.failed()) continue;
    if (needs_credentials(outcome) && is_network_path(record.folder)) {
      if (std::optional<std::string> line =
              map_with_credentials(platform_, record, *map, outcome, kCommandLimitMs)) {
        failures.push_back(std::move(*line));
      }
    } else {
      failures.push_back(failure_line(progress_text(record), outcome));
    }
  }
}

void DriveManager::cancel() {
  // The close box while finish waits for its commands: finish ends the program itself.
  if (finishing_) return;
  platform_.EndProgram();
}
}  // namespace ndek
