#include "manager/assign_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/fakes/fake_system.h"
#include "tests/fakes/fake_views.h"

namespace ndek {
namespace {

using ::testing::ElementsAre;
using testing::set_folders;

TEST(NormaliseDriveText, KeepsOneUpperCaseLetterAndAColon) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},  {"d", "D:"}, {"D:x", "D:"}, {"z", "Z:"}, {"a", "A:"}, {"@", ""},
      {"[", ""}, {"`", ""},   {"{", ""},     {" d", ""},  {"ｄ", ""}};
  for (auto [typed, shown] : cases) EXPECT_EQ(normalise_drive_text(typed), shown) << typed;
}

class Dialog : public ::testing::Test, protected testing::FakeSystem {
 protected:
  void SetUp() override { manager.load(); }

  testing::FakeManagerView main_view{platform};
  DriveManager manager{platform, io, main_view};
  testing::FakeDialogView view;
  AssignDialog dialog{manager, platform, view};
};

TEST_F(Dialog, OpensPrefilledFromTheCurrentRowAndEmptyOnTheHeader) {
  dialog.load();  // after load the current row is the header
  EXPECT_EQ(view.combo + view.folder, "");
  set_folders(manager, {{4, "e:\\tools"}});
  manager.table().set_cell(4, 0);
  dialog.load();
  EXPECT_EQ(view.combo, "D:");
  EXPECT_EQ(view.folder, "e:\\tools");
}

TEST_F(Dialog, TypingNormalisesOnceAndSettles) {
  view.combo = "x";
  dialog.combo_changed();
  dialog.combo_changed();  // the change the program's own set causes
  EXPECT_EQ(view.combo, "X:");
  EXPECT_EQ(view.combo_sets, 1);
}

TEST_F(Dialog, OkStoresTheFolderAsTypedWithoutExplorersQuotesAndCloses) {
  set_folders(manager, {{3, "c:\\old"}});
  for (auto [combo, folder, row, stored] :
       {std::tuple{"X:", "D:\\Data As Typed", 24, "D:\\Data As Typed"},
        std::tuple{"C:", "\"c:\\new folder\"", 3, "c:\\new folder"}}) {
    view = {};
    view.combo = combo;
    view.folder = folder;
    dialog.ok();
    EXPECT_EQ(manager.table().cell(row, 2), stored);
    EXPECT_TRUE(view.closed);
  }
  EXPECT_EQ(main_view.refreshes, 3);  // the load's, then each stored folder's
  EXPECT_TRUE(platform.calls.empty());
}

TEST_F(Dialog, OkBeepsAndStaysOpenWhenSomethingIsMissingOrCannotBeStored) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "d:\\x"}, {"X:", ""}, {"X:", "\"\""}, {"X:", "d:\\a\"b"}};
  for (auto [combo, folder] : cases) {
    view.combo = combo;
    view.folder = folder;
    dialog.ok();
    EXPECT_FALSE(view.closed) << combo << " " << folder;
  }
  EXPECT_EQ(platform.calls_of("beep").size(), std::size(cases));
  EXPECT_EQ(manager.table().cell(24, 2), "");
}

TEST_F(Dialog, BrowseSetsTheChosenFolderAndCancelClearsIt) {
  view.browse_results = {std::string("d:\\picked"), std::nullopt};
  view.folder = "c:\\a";
  dialog.browse();
  EXPECT_EQ(view.folder, "d:\\picked");
  dialog.browse();
  EXPECT_EQ(view.folder, "");
  EXPECT_EQ(view.browse_prompts, std::vector<std::string>(2, "フォルダを選択してください"));
}

TEST_F(Dialog, CancelChangesNothingAndClosingGivesTheMainWindowBack) {
  manager.assign();
  view.combo = "X:";
  view.folder = "d:\\x";
  dialog.cancel();
  EXPECT_TRUE(view.closed);
  dialog.query_unload();
  EXPECT_EQ(manager.table().cell(24, 2), "");
  EXPECT_THAT(platform.calls,
              ElementsAre("main disabled", "dialog shown", "main enabled", "main to front"));
}

}  // namespace
}  // namespace ndek
