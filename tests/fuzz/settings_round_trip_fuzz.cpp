// Builds a record set from arbitrary bytes and checks that what the writer stores reads back
// unchanged, and that what it cannot store so stays out of the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "drives/drive_command.h"
#include "settings/settings_file.h"
#include "settings/utf8.h"
#include "tests/fakes/cp932_code_page.h"
#include "tests/fakes/fake_file_system.h"

namespace {

// Text the program itself never holds is outside what this property covers.
bool well_formed(const std::string& field) {
  return ndek::is_valid_utf8(field) && ndek::utf16_length(field) <= ndek::kMaxFieldChars;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ndek;
  // Records are separated by 0x1E, the two fields of a record by 0x1F.
  std::vector<DriveSetting> records;
  std::vector<DriveSetting> stored;
  std::string text(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  while (start <= text.size() && records.size() < kMaxRecords) {
    std::size_t end = text.find('\x1E', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    const std::size_t split = line.find('\x1F');
    DriveSetting record{line.substr(0, split),
                        split == std::string::npos ? "" : line.substr(split + 1)};
    if (!well_formed(record.drive) || !well_formed(record.folder)) return 0;
    records.push_back(record);
    if (storable(record)) stored.push_back(record);
    start = end + 1;
  }
  if (size == 0) records.clear(), stored.clear();

  testing::FakeFileSystem fs;
  testing::Cp932CodePage cp932;
  const SettingsIo io{fs, cp932};
  const std::string path = "C:\\NDek\\NDek.ini";
  if (write_settings(io, path, records) != kOk) std::abort();
  const SettingsReadResult result = read_settings(io, path);
  if (result.failure != kOk || result.records != stored) std::abort();
  return 0;
}
