#pragma once
// What finishing does for one drive letter, so that a change takes effect at once without
// touching a mapping that NDek did not make.
#include <string>

#include "drives/drive_mapping.h"
#include "platform/platform_services.h"

namespace ndek {

struct LetterUpdate {
  bool unmap = false;  // remove the letter's current mapping first
  bool map = false;    // then map the table's folder
  bool operator==(const LetterUpdate& other) const = default;
};

// `loaded`: the letter's folder in the settings file when the manager loaded it; `wanted`:
// its folder in the table now (either may be empty); `now`: what the letter is mapped to.
LetterUpdate plan_letter_update(const std::string& loaded, const std::string& wanted,
                                const DriveMapping& now);

}  // namespace ndek
