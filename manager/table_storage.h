#pragma once
// Moves the folder column of the drive table to and from NDek.ini.
#include "manager/drive_table.h"
#include "settings/settings_file.h"

namespace ndek {

// Fills the folders of the letters the file names, upper-casing the drive and lower-casing
// the folder. A missing file leaves the column empty; a file that cannot be read to its end,
// or holds records the table cannot show (a bad drive field, more than 100, a letter given
// again later, a field that would not be saved as it is), is reported, the rows it could
// show are kept, and the result is false.
bool ini_load(DriveTable& table, PlatformServices& platform, const SettingsIo& io);

// Writes one record per row with a folder; with `keep_old_file` the file being replaced is
// kept beside it first (after a load that could not read all of it). On failure it tells
// the user and returns false; the table is left as it was, to be saved again.
bool ini_save(DriveTable& table, PlatformServices& platform, const SettingsIo& io,
              bool keep_old_file = false);

}  // namespace ndek
