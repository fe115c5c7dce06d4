#pragma once
#include <string>

#include "platform/platform_services.h"
#include "settings/settings_file.h"

namespace ndek {

// The startup window as the mount run sees it.
class MountWindow {
 public:
  virtual ~MountWindow() = default;
  virtual void disable_timer() = 0;
  virtual void set_progress(const std::string& text) = 0;
  // Takes the window off the screen; the program goes on without one.
  virtual void hide() = 0;
};

// Issues one command per settings record, then follows them to their end and reports the
// drives that could not be set up; asks to start the manager when the settings are missing
// or faulty. Ends the program in every case.
void mount_run(PlatformServices& platform, const SettingsIo& io, float ver_data,
               MountWindow& window);

}  // namespace ndek
