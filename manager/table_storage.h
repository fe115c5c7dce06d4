#pragma once
// Moves the folder column of the drive table to and from NDek.ini.
#include "manager/drive_table.h"
#include "settings/settings_file.h"

namespace ndek {

// Fills the folders of the letters the file names, upper-casing the drive and lower-casing
// the folder; a missing or damaged file is passed over in silence.
void ini_load(DriveTable& table, PlatformServices& platform, const SettingsIo& io);

// Writes one record per row with a folder. On failure it tells the user, ends the program
// and returns false.
bool ini_save(DriveTable& table, PlatformServices& platform, const SettingsIo& io);

}  // namespace ndek
