#pragma once
// Whether a letter already stands for what a record asks, compared the same way by the
// manager's finish and by the mounter.
#include <string>

#include "platform/platform_services.h"

namespace ndek {

// True when `now` is what NDek's command for `folder` makes: `subst` for a folder, `net use`
// for a network path, to the same place (letter case and trailing separators aside).
bool is_mapping_of(const DriveMapping& now, const std::string& folder);

}  // namespace ndek
