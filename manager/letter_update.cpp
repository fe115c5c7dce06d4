#include "manager/letter_update.h"

namespace ndek {

LetterUpdate plan_letter_update(const std::string& loaded, const std::string& wanted,
                                const DriveMapping& now) {
  if (is_mapping_of(now, wanted)) return {};
  return {is_mapping_of(now, loaded), !wanted.empty()};
}

}  // namespace ndek
