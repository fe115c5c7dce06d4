#pragma once
// Recording stand-ins for the manager's two windows. They write into the platform fake's log
// so that window changes and system calls can be checked in one order.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "manager/assign_dialog.h"
#include "tests/fakes/fake_platform.h"

namespace ndek::testing {

class FakeManagerView : public ManagerView {
 public:
  explicit FakeManagerView(FakePlatform& platform) : platform_(platform) {}
  int refreshes = 0;  // how often the table was drawn again
  ErrorNumber help_result = kOk;
  void set_enabled(bool value) override {
    platform_.calls.push_back(value ? "main enabled" : "main disabled");
  }
  void bring_to_front() override { platform_.calls.push_back("main to front"); }
  void show_assign_dialog() override { platform_.calls.push_back("dialog shown"); }
  void refresh_table() override { ++refreshes; }
  void set_busy(bool busy) override { platform_.calls.push_back(busy ? "busy" : "not busy"); }
  ErrorNumber show_help(const std::string& text) override {
    platform_.calls.push_back("help " + text);
    return help_result;
  }

 private:
  FakePlatform& platform_;
};

class FakeDialogView : public AssignDialogView {
 public:
  std::string combo;
  std::string folder;
  bool closed = false;
  int combo_sets = 0;
  std::deque<std::optional<std::string>> browse_results;  // nothing (cancel) when empty
  std::vector<std::string> browse_prompts;

  std::string combo_text() override { return combo; }
  void set_combo_text(const std::string& text) override {
    combo = text;
    ++combo_sets;
  }
  std::string folder_text() override { return folder; }
  void set_folder_text(const std::string& text) override { folder = text; }
  void close() override { closed = true; }
  std::optional<std::string> browse_for_folder(const std::string& prompt) override {
    browse_prompts.push_back(prompt);
    return take(browse_results, {});
  }
};

// Types folders into drives' rows of the table, as the grid's edit would.
inline void set_folders(DriveManager& manager,
                        std::initializer_list<std::pair<int, const char*>> folders) {
  for (const auto& [row, folder] : folders) {
    manager.table().set_folder(row, folder);
  }
}

}  // namespace ndek::testing
