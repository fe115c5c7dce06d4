#include "drives/drive_command.h"

#include <gtest/gtest.h>

namespace ndek {
namespace {

// The quoting itself is the command line's (its own table); here which program, which
// arguments, and which records are refused.
TEST(DriveCommand, LocalFolderIsSubstAndNetworkPathIsNetUseWithThePersistenceOption) {
  const struct {
    DriveSetting record;
    std::string_view persistence;
    std::optional<DriveCommand> command;
  } cases[] = {
      {{"X:", R"(d:\data)"}, kPersistentNo, DriveCommand{"subst.exe", R"(subst X: "d:\data")"}},
      // A single leading backslash is local.
      {{"c:", R"(\data)"}, "", DriveCommand{"subst.exe", R"(subst c: "\data")"}},
      {{"Z:", R"(\\srv\pub)"},
       kPersistentNo,
       DriveCommand{"net.exe", R"(net use Z: "\\srv\pub" /persistent:no)"}},
      // A trailing backslash goes, except on a drive root.
      {{"X:", R"(d:\data\)"}, "", DriveCommand{"subst.exe", R"(subst X: "d:\data")"}},
      {{"X:", R"(d:\)"}, "", DriveCommand{"subst.exe", R"(subst X: "d:\\")"}},
      {{"Z:", R"(\\srv\pub\)"}, "", DriveCommand{"net.exe", R"(net use Z: "\\srv\pub")"}},
      // Records that would change the arguments.
      {{"X:", R"(d:\a" /D ")"}, "", std::nullopt},
      {{"X:", "d:\\a\tb"}, "", std::nullopt},
      {{"X\"", R"(d:\a)"}, "", std::nullopt},
      {{"5", R"(d:\a)", true}, "", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(compose_drive_command(c.record, c.persistence), c.command) << c.record.folder;
  }
}

TEST(DriveCommand, UnmappingFollowsTheKindOfMapping) {
  EXPECT_EQ(compose_unmap_command("X:", DriveMapping::Kind::kFolder),
            (DriveCommand{"subst.exe", "subst X: /D"}));
  EXPECT_EQ(compose_unmap_command("Z:", DriveMapping::Kind::kNetwork),
            (DriveCommand{"net.exe", "net use Z: /delete"}));
}

}  // namespace
}  // namespace ndek
