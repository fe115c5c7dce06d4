#include "drives/drive_command.h"

#include "drives/report_text.h"
#include "platform/command_line.h"

namespace ndek {

std::string_view persistence_option(float os_version) {
  return os_version >= 5.0f ? kPersistentNo : std::string_view();
}

std::string progress_text(const DriveSetting& record) {
  return record.drive + report_text::kMapsTo + record.folder;
}

bool is_network_path(std::string_view folder) { return folder.substr(0, 2) == "\\\\"; }

bool is_command_safe(std::string_view text) {
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c < 0x20 || c == 0x7F) return false;
  }
  return true;
}

std::optional<DriveCommand> compose_drive_command(const DriveSetting& record,
                                                  std::string_view persistence) {
  // The drive field goes on the line unquoted, so a blank in it would start a new argument.
  if (record.drive_is_number || !is_command_safe(record.drive) || !is_command_safe(record.folder) ||
      record.drive.find(' ') != std::string::npos) {
    return std::nullopt;
  }
  // subst refuses "d:\work\"; a drive root ("d:\") keeps its backslash.
  std::string_view path = record.folder;
  while (path.size() > 3 && path.back() == '\\') path.remove_suffix(1);
  const std::string folder = quote_argument(path);
  if (is_network_path(record.folder)) {
    return DriveCommand{"net.exe",
                        "net use " + record.drive + " " + folder + std::string(persistence)};
  }
  return DriveCommand{"subst.exe", "subst " + record.drive + " " + folder};
}

DriveCommand compose_unmap_command(const std::string& drive, DriveMapping::Kind kind) {
  if (kind == DriveMapping::Kind::kNetwork) return {"net.exe", "net use " + drive + " /delete"};
  return {"subst.exe", "subst " + drive + " /D"};
}

ErrorNumber start_drive_command(PlatformServices& platform, const DriveCommand& command,
                                std::unique_ptr<StartedCommand>& started) {
  return platform.RunCommand(program_file(platform.SystemDir(), command.program), command.line,
                             WindowStyle::kHidden, started);
}

}  // namespace ndek
