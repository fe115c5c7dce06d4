#pragma once
// The system's own folder, where the commands and the DLLs looked up at run time are taken
// from, so that a file of the same name elsewhere is never used.
#include <string>

#include "platform/win32/unique_handle_win.h"

namespace ndek {

// The system folder's full path; empty when the system cannot say.
std::wstring system_folder();

// Loads the DLL `name` from the system folder; none when it is not there.
UniqueModule load_system_library(const wchar_t* name);

}  // namespace ndek
