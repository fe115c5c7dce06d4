#pragma once
// What the drive assignment dialog does, apart from drawing it.
#include <optional>
#include <string>
#include <string_view>

#include "manager/drive_manager.h"

namespace ndek {

// The dialog as the logic sees it.
class AssignDialogView {
 public:
  virtual ~AssignDialogView() = default;
  virtual std::string combo_text() = 0;
  // Sets the text without reporting a change back.
  virtual void set_combo_text(const std::string& text) = 0;
  virtual std::string folder_text() = 0;
  virtual void set_folder_text(const std::string& text) = 0;
  // Closes the dialog; the view calls query_unload on its way out.
  virtual void close() = 0;
  // The shell's folder browser over the dialog: the chosen folder's full path, or nothing when
  // the user cancels.
  virtual std::optional<std::string> browse_for_folder(const std::string& prompt) = 0;
};

// "" or one upper-case letter A to Z followed by a colon, from whatever the box holds.
std::string normalise_drive_text(std::string_view text);

class AssignDialog {
 public:
  AssignDialog(DriveManager& manager, PlatformServices& platform, AssignDialogView& view)
      : manager_(manager), platform_(platform), view_(view) {}

  void load();
  void combo_changed();
  void browse();
  void ok();
  void cancel();
  // F1: the application's help file serves every window.
  void help();
  // Runs however the dialog closes: the main window takes input again.
  void query_unload();

 private:
  DriveManager& manager_;
  PlatformServices& platform_;
  AssignDialogView& view_;
};

}  // namespace ndek
