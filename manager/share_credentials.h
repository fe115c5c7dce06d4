#pragma once
// A share whose server wants a user name and password: the user types them once at finish,
// the system's credential store keeps them, and every later `net use` finds them there.
#include <optional>
#include <string>
#include <string_view>

#include "drives/command_outcome.h"

namespace ndek {

// The server of a network path exactly as the path writes it: "nas" of \\nas\share\dir. The
// credential store tells `nas`, `nas.local` and an address apart, and so does this.
std::string server_of(std::string_view network_path);

// After the map command of `record` failed with `first` because the server wants
// credentials: asks the user for them, stores them for the server and runs the command once
// more. Credentials that do not help are taken back, so a wrong password is never tried
// again. The line for the failure list, or nothing once the share is mapped.
std::optional<std::string> map_with_credentials(PlatformServices& platform,
                                                const DriveSetting& record, const DriveCommand& map,
                                                const CommandOutcome& first, std::int64_t limit_ms);

}  // namespace ndek
