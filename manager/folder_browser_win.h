#pragma once
// The shell's folder browser: the manager's alone, so that only the manager loads the shell.
#include "platform/win32/win32.h"

#include <optional>
#include <string>

namespace ndek {

// The chosen folder's full path, or nothing when the user cancels. OLE must be initialised on
// the calling thread.
std::optional<std::string> browse_for_folder(HWND owner, const std::string& prompt);

}  // namespace ndek
