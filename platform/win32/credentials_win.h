#pragma once
// Credentials for a server in the system's credential store, as Windows' own "remember my
// credentials" keeps them, so that every later `net use` to it logs on by itself.
#include "platform/win32/win32.h"

#include <memory>
#include <string>

#include "platform/platform_services.h"

namespace ndek {

// Shows the system's credential prompt over `parent`, naming `server`; nothing when the user
// cancels or the prompt cannot be shown.
std::unique_ptr<AskedCredentials> ask_credentials(HWND parent, const std::string& server);

}  // namespace ndek
