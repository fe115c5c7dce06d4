#pragma once
// What each program runs on, built once in its entry point and lent to the rest.
#include "platform/win32/ansi_code_page_win.h"
#include "platform/win32/file_system_win.h"
#include "platform/win32/platform_services_win.h"
#include "settings/settings_file.h"

namespace ndek {

struct ProgramServices {
  Win32Platform platform;
  Win32FileSystem files;
  Win32AnsiCodePage code_page;
  // Refers to the two members above, so the services are neither copied nor moved.
  SettingsIo io{files, code_page};

  ProgramServices() = default;
  ProgramServices(const ProgramServices&) = delete;
  ProgramServices& operator=(const ProgramServices&) = delete;
};

}  // namespace ndek
