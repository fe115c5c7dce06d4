#pragma once
// The fakes a logic test of the programs works against, wired together.
#include "settings/settings_file.h"
#include "tests/fakes/cp932_code_page.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_platform.h"

namespace ndek::testing {

struct FakeSystem {
  FakePlatform platform;
  FakeFileSystem fs;
  Cp932CodePage cp932;
  SettingsIo io{fs, cp932};
};

}  // namespace ndek::testing
