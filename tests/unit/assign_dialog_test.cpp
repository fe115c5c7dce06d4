#include "manager/assign_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/fakes/cp932_code_page.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_views.h"

namespace ndek {
namespace {

using ::testing::ElementsAre;

TEST(NormaliseDriveText, KeepsOneUpperCaseLetterAndAColon) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},     {"d", "D:"},   {"D", "D:"},  {"D:", "D:"}, {"D:x", "D:"}, {"dx", "D:"},
      {"z", "Z:"},  {"a", "A:"},   {"7", ""},    {":", ""},    {"@", ""},     {"[", ""},
      {"`", ""},    {"{", ""},     {" d", ""},   {"ｄ", ""},   {"あ", ""},    {"\\\\", ""}};
  for (auto [typed, shown] : cases) EXPECT_EQ(normalise_drive_text(typed), shown) << typed;
}

class Dialog : public ::testing::Test {
 protected:
  void SetUp() override { manager.load(); }
  void choose_row(int row) { manager.table().set_cell(row, 0); }

  testing::FakePlatform platform;
  testing::FakeFileSystem fs;
  testing::Cp932CodePage cp932;
  SettingsIo io{fs, cp932};
  testing::FakeManagerView main_view{platform};
  ManagerWindow manager{platform, io, main_view};
  testing::FakeDialogView view;
  AssignDialog dialog{manager, platform, view};
};

TEST_F(Dialog, OpensPrefilledFromTheCurrentRow) {
  manager.table().set_cell(4, 2);
  manager.table().set_text("e:\\tools");
  choose_row(4);
  dialog.load();
  EXPECT_EQ(view.combo, "D:");
  EXPECT_EQ(view.folder, "e:\\tools");
}

TEST_F(Dialog, OpensEmptyOnTheHeaderRow) {
  dialog.load();  // after load the current row is the header
  EXPECT_EQ(view.combo, "");
  EXPECT_EQ(view.folder, "");
}

TEST_F(Dialog, TypingNormalisesAndSettles) {
  view.combo = "x";
  dialog.combo_changed();
  EXPECT_EQ(view.combo, "X:");
  dialog.combo_changed();  // the change the program's own set causes
  EXPECT_EQ(view.combo_sets, 1);
  view.combo = "X:q";
  dialog.combo_changed();
  EXPECT_EQ(view.combo, "X:");
  view.combo = "7";
  dialog.combo_changed();
  EXPECT_EQ(view.combo, "");
}

TEST_F(Dialog, OkStoresTheFolderInTheLettersRowAndCloses) {
  view.combo = "X:";
  view.folder = "D:\\Data As Typed";
  dialog.ok();
  EXPECT_EQ(manager.table().cell(24, 2), "D:\\Data As Typed");
  EXPECT_TRUE(view.closed);
  EXPECT_TRUE(platform.calls.empty());
}

TEST_F(Dialog, OkReplacesAFolderAndDropsExplorersQuotes) {
  manager.table().set_cell(3, 2);
  manager.table().set_text("c:\\old");
  view.combo = "C:";
  view.folder = "\"c:\\new folder\"";
  dialog.ok();
  EXPECT_EQ(manager.table().cell(3, 2), "c:\\new folder");
}

TEST_F(Dialog, OkBeepsAndStaysOpenWhenSomethingIsMissingOrCannotBeStored) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "d:\\x"}, {"X:", ""}, {"X:", "\"\""}, {"X:", "d:\\a\"b"}, {"X:", "d:\\a\tb"}, {"X:", "\""}};
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
  platform.browse_results = {std::string("d:\\picked"), std::nullopt};
  view.folder = "c:\\a";
  dialog.browse();
  EXPECT_EQ(view.folder, "d:\\picked");
  dialog.browse();
  EXPECT_EQ(view.folder, "");
  EXPECT_THAT(platform.calls_of("browse"),
              ElementsAre("browse[18193] フォルダを選択してください",
                          "browse[18193] フォルダを選択してください"));
}

TEST_F(Dialog, CancelChangesNothingAndClosingGivesTheMainWindowBack) {
  manager.assign();
  view.combo = "X:";
  view.folder = "d:\\x";
  dialog.cancel();
  EXPECT_TRUE(view.closed);
  dialog.query_unload();
  EXPECT_EQ(manager.table().cell(24, 2), "");
  EXPECT_TRUE(main_view.enabled);
  EXPECT_THAT(platform.calls, ElementsAre("main disabled", "dialog shown", "main enabled", "main to front"));
}

}  // namespace
}  // namespace ndek
