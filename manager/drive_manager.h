#pragma once
// What the manager's main window does, apart from drawing it.
#include <array>
#include <string>
#include <vector>

#include "manager/drive_table.h"
#include "settings/settings_file.h"

namespace ndek {

// The main window as the logic sees it.
class ManagerView {
 public:
  virtual ~ManagerView() = default;
  // Disabled, the window stays visible but takes no input.
  virtual void set_enabled(bool enabled) = 0;
  virtual void bring_to_front() = 0;
  // Opens the assignment dialog without waiting for it.
  virtual void show_assign_dialog() = 0;
  // The table changed; draw it again.
  virtual void refresh_table() = 0;
  // While busy the window takes no input and shows the wait cursor.
  virtual void set_busy(bool busy) = 0;
  // Shows the help text (CR LF line breaks) beside the window, not modal; a failure comes
  // back as its number.
  virtual ErrorNumber show_help(const std::string& text) = 0;
};

class DriveManager {
 public:
  DriveManager(PlatformServices& platform, const SettingsIo& io, ManagerView& view)
      : platform_(platform), io_(io), view_(view) {}

  DriveTable& table() { return table_; }
  ManagerView& view() { return view_; }

  void load();
  void assign();        // the assign button, or a double click on the table
  void delete_drive();  // the delete button
  void help();          // the help button, or F1
  void finish();        // the finish button
  void cancel();        // the cancel button, or the close box

  std::string help_file() const;

 private:
  // Unmaps and maps each letter whose folder changed; what failed goes to `failures`.
  void map_drives(std::vector<std::string>& failures);

  PlatformServices& platform_;
  SettingsIo io_;
  ManagerView& view_;
  DriveTable table_;
  // Each row's folder as the settings file held it at load: what NDek may have mapped.
  std::array<std::string, DriveTable::kRows> loaded_;
  // The settings file could not be read to its end: finish keeps it before replacing it.
  bool keep_old_settings_ = false;
  bool finishing_ = false;
};

}  // namespace ndek
