#include "manager/assign_dialog.h"

#include "drives/drive_command.h"
#include "manager/manager_text.h"

namespace ndek {

std::string normalise_drive_text(std::string_view text) {
  if (text.empty()) return "";
  char first = text.front();
  if (first >= 'a' && first <= 'z') first = static_cast<char>(first - 'a' + 'A');
  // A byte of a multi-byte character is above 'Z', so it empties the box too.
  if (first < 'A' || first > 'Z') return "";
  return std::string(1, first) + ":";
}

void AssignDialog::load() {
  DriveTable& table = manager_.table();
  const int row = table.row();
  if (row <= 0) return;
  view_.set_combo_text(drive_name(row));
  table.set_col(DriveTable::kFolderCol);
  if (!table.text().empty()) view_.set_folder_text(table.text());
}

void AssignDialog::combo_changed() {
  const std::string text = view_.combo_text();
  const std::string normal = normalise_drive_text(text);
  // Setting the same text again would only cause another change.
  if (normal != text) view_.set_combo_text(normal);
}

void AssignDialog::browse() {
  view_.set_folder_text(view_.browse_for_folder(manager_text::kBrowsePrompt).value_or(""));
}

void AssignDialog::ok() {
  std::string folder = view_.folder_text();
  // Explorer's "copy as path" puts the path in quotes; those are not part of it.
  if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
    folder = folder.substr(1, folder.size() - 2);
  }
  const std::string drive = normalise_drive_text(view_.combo_text());
  // A quote or a control character cannot be kept in the settings file.
  if (folder.empty() || drive.empty() || !is_command_safe(folder)) {
    platform_.Beep();
    return;
  }
  DriveTable& table = manager_.table();
  table.set_cell(letter_row(drive.front()), DriveTable::kFolderCol);
  table.set_text(folder);
  manager_.view().refresh_table();
  view_.close();
}

void AssignDialog::cancel() { view_.close(); }

void AssignDialog::help() { manager_.help(); }

void AssignDialog::query_unload() {
  manager_.view().set_enabled(true);
  manager_.view().bring_to_front();
}

}  // namespace ndek
