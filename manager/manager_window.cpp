#include "manager/manager_window.h"

#include "manager/manager_text.h"
#include "manager/table_storage.h"
#include "platform/os_version.h"
#include "settings/drive_command.h"

namespace ndek {

std::string ManagerWindow::help_file() const {
  return program_file(platform_.ProgramDir(), manager_text::kHelpFileName);
}

void ManagerWindow::load() {
  fill_drive_table(table_, platform_);
  keep_old_settings_ = !ini_load(table_, platform_, io_);
  view_.refresh_table();
}

void ManagerWindow::assign() {
  view_.set_enabled(false);
  view_.show_assign_dialog();
}

void ManagerWindow::delete_drive() {
  const int row = table_.row();
  if (row < 1 || row >= DriveTable::kRows) return;
  table_.set_col(DriveTable::kFolderCol);
  if (!table_.text().empty()) {
    table_.set_text("");
    view_.refresh_table();
  }
}

void ManagerWindow::help() {
  namespace text = manager_text;
  const std::string file = help_file();
  if (ErrorNumber err = platform_.ShowHelp(file, kHelpFinder)) {
    // Help is a convenience: its failure must not cost the user the edits made so far.
    platform_.MessageBox(std::string(text::kHelpNotOpened) + text::kErrorNumberLabel +
                             error_number_text(err) + "\r" + file,
                         kMbOkExclamation, text::kErrorTitle);
  }
}

void ManagerWindow::finish() {
  namespace text = manager_text;
  // The same commands as at log-on, so what maps now is what maps then.
  const std::string_view persistence =
      persistence_option(version_from_word(platform_.OsVersionWord()));
  for (int row = 1; row < DriveTable::kRows; ++row) {
    table_.set_row(row);
    table_.set_col(DriveTable::kFolderCol);
    const DriveSetting record{std::string(1, row_letter(row)) + ":", table_.text()};
    if (record.folder.empty()) continue;
    const std::optional<std::string> command = compose_drive_command(record, persistence);
    const ErrorNumber err = command ? platform_.RunCommand(*command, WindowStyle::kHidden)
                                    : kErrTypeMismatch;
    if (err != kOk) {
      // One letter that cannot be mapped now must not throw away the user's settings.
      platform_.MessageBox(std::string(text::kCommandNotStarted) +
                               (command ? *command : record.drive + " " + record.folder) + "\r" +
                               text::kErrorNumberLabel + error_number_text(err),
                           kMbOkExclamation, text::kErrorTitle);
    }
  }
  if (!ini_save(table_, platform_, io_, keep_old_settings_)) return;
  platform_.MessageBox(text::kRestartNotice, kMbOk, text::kRestartTitle);
  platform_.EndProgram();
}

void ManagerWindow::cancel() { platform_.EndProgram(); }

}  // namespace ndek
