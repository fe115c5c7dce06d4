#pragma once
// What a settings record means to the system: the command that gives its letter to its
// folder. Both programs compose commands here, so a drive maps the same way at once and
// at the next log-on.
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_file.h"

namespace ndek {

constexpr std::string_view kPersistentNo = " /persistent:no";

// " /persistent:no" from version 5.0 on: the connection is made again at every log-on, so
// the system need not remember it as well.
std::string_view persistence_option(float os_version);

// Two leading backslashes, compared exactly.
bool is_network_path(std::string_view folder);

// Text that can stand in a command line without changing its arguments: no double quote
// and no control character.
bool is_command_safe(std::string_view text);

// `subst D: "folder"` or `net use D: "\\server\share"` + `persistence`; nothing when the
// record cannot be made into a command (a numeric drive field, a drive field with a blank,
// a field with a quote or a control character).
std::optional<std::string> compose_drive_command(const DriveSetting& record,
                                                 std::string_view persistence);

}  // namespace ndek
