#pragma once
// What stands on a record's letter before the mounter gives it its folder.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform_services.h"
#include "settings/settings_file.h"

namespace ndek {

// Drive letters as bits, bit 0 for A, as the system counts its drives.
using LetterSet = std::uint32_t;

// The bit of a drive field such as "X:" or "x:"; nothing for a field that names no letter.
std::optional<LetterSet> letter_bit(const std::string& drive);

struct LetterCheck {
  enum class State {
    kFree,    // nothing there: the command can give it its folder
    kMapped,  // already the record's folder or share, as the command would make it
    kHeld,    // something else has the letter: a disk, a stick, another folder or share
  };
  State state = State::kFree;
  std::string reason;  // why the letter is held, in the report's words
};

// A remembered network connection counts as there even while it is not connected. A field
// that names no letter is left to the command.
LetterCheck check_letter(PlatformServices& platform, const DriveSetting& record);

}  // namespace ndek
