// Feeds arbitrary bytes to the settings reader as the content of NDek.ini.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/settings_file.h"
#include "settings/utf8.h"
#include "tests/fakes/cp932_code_page.h"
#include "tests/fakes/fake_file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ndek;
  testing::FakeFileSystem fs;
  testing::Cp932CodePage cp932;
  const std::string path = "C:\\NDek\\NDek.ini";
  fs.files[path].assign(reinterpret_cast<const char*>(data), size);
  // Small blocks make every block boundary land somewhere inside a field.
  fs.read_block = size % 7 + 1;

  const SettingsReadResult result = read_settings(SettingsIo{fs, cp932}, path);
  if (result.records.size() > kMaxRecords || result.failure == kErrFileNotFound) std::abort();
  for (const DriveSetting& record : result.records) {
    for (const std::string* field : {&record.drive, &record.folder}) {
      if (!is_valid_utf8(*field) || utf16_length(*field) > kMaxFieldChars) std::abort();
    }
  }

  // Blank lines and a Ctrl-Z after the last line end are the end of the file: added to a file
  // that reads cleanly, they change nothing.
  if (result.failure == kOk && size > 0 && size < 4096 && data[size - 1] == '\n') {
    fs.files[path] += "\r\n \t\r\n\x1A";
    const SettingsReadResult again = read_settings(SettingsIo{fs, cp932}, path);
    if (again.failure != kOk || again.records.size() != result.records.size()) std::abort();
  }
  return 0;
}
