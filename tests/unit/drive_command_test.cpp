#include "settings/drive_command.h"

#include <gtest/gtest.h>

namespace ndek {
namespace {

DriveSetting rec(std::string drive, std::string folder) { return {std::move(drive), std::move(folder)}; }

TEST(DriveCommand, LocalFolderIsSubstWithTheFolderQuoted) {
  EXPECT_EQ(compose_drive_command(rec("X:", R"(d:\data)"), kPersistentNo), R"(subst X: "d:\data")");
  EXPECT_EQ(compose_drive_command(rec("c:", R"(d:\work)"), ""), R"(subst c: "d:\work")");
  EXPECT_EQ(compose_drive_command(rec("X:", R"(d:\my docs)"), ""), R"(subst X: "d:\my docs")");
  // A single leading backslash, or a folder too short to hold two, is local.
  EXPECT_EQ(compose_drive_command(rec("X:", R"(\data)"), ""), R"(subst X: "\data")");
  EXPECT_EQ(compose_drive_command(rec("X:", R"(\)"), ""), R"(subst X: "\\")");
  EXPECT_EQ(compose_drive_command(rec("X:", ""), ""), R"(subst X: "")");
}

TEST(DriveCommand, NetworkPathIsNetUseWithThePersistenceOption) {
  EXPECT_EQ(compose_drive_command(rec("Z:", R"(\\srv\pub)"), kPersistentNo),
            R"(net use Z: "\\srv\pub" /persistent:no)");
  EXPECT_EQ(compose_drive_command(rec("Z:", R"(\\srv\pub)"), ""), R"(net use Z: "\\srv\pub")");
  EXPECT_EQ(compose_drive_command(rec("Y:", R"(\\server\share\)"), ""),
            R"(net use Y: "\\server\share\\")");
}

TEST(DriveCommand, RecordsThatWouldChangeTheArgumentsAreRefused) {
  EXPECT_EQ(compose_drive_command(rec("X:", R"(d:\a" /D ")"), ""), std::nullopt);
  EXPECT_EQ(compose_drive_command(rec("X:", "d:\\a\tb"), ""), std::nullopt);
  EXPECT_EQ(compose_drive_command(rec("X:", "d:\\a\rb"), ""), std::nullopt);
  EXPECT_EQ(compose_drive_command(rec("X\"", R"(d:\a)"), ""), std::nullopt);
  EXPECT_EQ(compose_drive_command(rec("X: /D", R"(d:\a)"), ""), std::nullopt);
  DriveSetting numeric = rec("5", R"(d:\a)");
  numeric.drive_is_number = true;
  EXPECT_EQ(compose_drive_command(numeric, ""), std::nullopt);
}

}  // namespace
}  // namespace ndek
