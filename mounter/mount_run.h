#pragma once
#include <string>

#include "mounter/letter_check.h"
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

// What the program does once the run is over.
enum class AfterRun { kEndProgram, kStay };

// Issues one command per settings record, then follows them to their end and reports the
// drives that could not be set up; asks to start the manager when the settings are missing
// or faulty. A letter that already has its folder gets no command; one held by something else
// is reported. Ends the program, unless `after` says to stay; returns the letters that now have
// their folders.
LetterSet mount_run(PlatformServices& platform, const SettingsIo& io, float ver_data,
                    MountWindow& window, AfterRun after = AfterRun::kEndProgram);

// A quiet run for drives that could not be set up before: reads the settings anew and, while
// holding the drive-change lock, gives each free letter not in `mapped` its folder, trying
// shares again as at log-on. Letters in `mapped` (given their folders before, and perhaps
// removed by the user since) and letters held by something else are left alone; nothing is
// shown. Returns `mapped` with the letters that now have their folders.
LetterSet remount(PlatformServices& platform, const SettingsIo& io, float ver_data,
                  LetterSet mapped);

}  // namespace ndek
