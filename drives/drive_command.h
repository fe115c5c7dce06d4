#pragma once
// What a settings record means to the system: the command that gives its letter to its
// folder. Both programs compose commands here, so a drive maps the same way at once and
// at the next log-on.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform_services.h"
#include "settings/settings_file.h"

namespace ndek {

constexpr std::string_view kPersistentNo = " /persistent:no";

// A system command: the program file in the system folder and the command line it receives.
struct DriveCommand {
  std::string program;  // "subst.exe" or "net.exe"
  std::string line;

  bool operator==(const DriveCommand& other) const = default;
};

// " /persistent:no" from version 5.0 on: the connection is made again at every log-on, so
// the system need not remember it as well.
std::string_view persistence_option(float os_version);

// Two leading backslashes, compared exactly.
bool is_network_path(std::string_view folder);

// Text that can stand in a command line without changing its arguments: no double quote
// and no control character.
bool is_command_safe(std::string_view text);

// "D: ← d:\work": how a record is shown to the user.
std::string progress_text(const DriveSetting& record);

// `subst D: "folder"` or `net use D: "\\server\share"` + `persistence`, the folder without a
// trailing backslash unless it is a drive root; nothing when the record cannot be made into
// a command (a numeric drive field, a drive field with a blank, a field with a quote or a
// control character).
std::optional<DriveCommand> compose_drive_command(const DriveSetting& record,
                                                  std::string_view persistence);

// `subst D: /D` for a folder, `net use D: /delete` for a network drive.
DriveCommand compose_unmap_command(const std::string& drive, DriveMapping::Kind kind);

// Starts the command hidden from the system folder, so that no program of the same name
// elsewhere is run in its place.
ErrorNumber start_drive_command(PlatformServices& platform, const DriveCommand& command,
                                std::unique_ptr<StartedCommand>& started);

}  // namespace ndek
