#include "platform/os_version.h"

#include <cstdio>
#include <cstdlib>

namespace ndek {

// The C library's conversions rather than std::from_chars and std::to_chars: those bring
// about 200 KB of floating-point tables into a statically linked program. strtof rounds
// correctly, so the value is the same.

float version_from_word(std::uint32_t version_word) {
  const std::string text =
      std::to_string(version_word & 0xFF) + "." + std::to_string((version_word >> 8) & 0xFF);
  return std::strtof(text.c_str(), nullptr);
}

std::string version_text(float version) {
  // Fixed notation with the fewest decimals that read back as the same value; for a version
  // number that is the shortest decimal.
  char buffer[64];
  for (int decimals = 0; decimals <= 9; ++decimals) {
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, static_cast<double>(version));
    if (std::strtof(buffer, nullptr) == version) return buffer;
  }
  std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(version));
  return buffer;
}

}  // namespace ndek
