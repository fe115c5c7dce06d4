// The test program doubles as the program that the process tests start: with "--record FILE"
// it writes how it was started into FILE and ends.
#include "platform/win32/win32.h"
#include <shellapi.h>

#include <cstring>
#include <string>

#include "gtest/gtest.h"
#include "platform/win32/strings_win.h"
#include "platform/win32/tests/test_support_win.h"
#include "platform/win32/unique_handle_win.h"

namespace {

using UniqueArguments = ndek::UniqueHandle<LPWSTR*, LocalFree>;

// Line 1: the show command it was given; then each argument, as the C runtime would see it.
int record_start() {
  int count = 0;
  const UniqueArguments arguments(CommandLineToArgvW(GetCommandLineW(), &count));
  if (!arguments || count < 3) return 2;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  std::string text = std::to_string(startup.wShowWindow) + "\n";
  for (int i = 3; i < count; ++i) text += ndek::to_utf8(arguments.get()[i]) + "\n";
  // Written beside the file and renamed, so that the waiting test never reads half of it.
  const std::wstring path = arguments.get()[2];
  const std::wstring partial = path + L".partial";
  if (!ndek::testing::write_whole_file(partial, text)) return 3;
  return MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--record") == 0) return record_start();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
