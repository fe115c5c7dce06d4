#include "drives/drive_mapping.h"

#include "drives/drive_command.h"
#include "settings/utf8.h"

namespace ndek {
namespace {

std::string comparable(const std::string& path) {
  std::string text = ascii_lower(path);
  while (!text.empty() && text.back() == '\\') text.pop_back();
  return text;
}

}  // namespace

bool is_mapping_of(const DriveMapping& now, const std::string& folder) {
  if (folder.empty()) return false;
  const DriveMapping::Kind kind =
      is_network_path(folder) ? DriveMapping::Kind::kNetwork : DriveMapping::Kind::kFolder;
  return now.kind == kind && comparable(now.target) == comparable(folder);
}

}  // namespace ndek
