#include "platform/os_version.h"

namespace ndek {
namespace {

// "major.minor" has at most three decimals. Both operands of the division are exact in a
// float and the division rounds correctly, so the quotient is the float nearest to the
// decimal, as reading the text would give. (No text conversion of the C library: a
// statically linked printf and strtod would be a fifth of the program.)
constexpr unsigned kMaxScale = 1000;

float decimal_value(unsigned scaled, unsigned scale) {
  return static_cast<float>(scaled) / static_cast<float>(scale);
}

}  // namespace

float version_from_word(std::uint32_t version_word) {
  const unsigned major = version_word & 0xFF;
  const unsigned minor = (version_word >> 8) & 0xFF;
  unsigned scale = 10;
  while (scale <= minor) scale *= 10;
  return decimal_value(major * scale + minor, scale);
}

std::string version_text(float version) {
  // The fewest decimals whose nearest value reads back as the same float.
  const auto scaled_by = [version](unsigned scale) {
    return static_cast<unsigned>(static_cast<double>(version) * scale + 0.5);
  };
  unsigned scale = 1;
  unsigned scaled = scaled_by(scale);
  while (scale < kMaxScale && decimal_value(scaled, scale) != version) {
    scale *= 10;
    scaled = scaled_by(scale);
  }
  std::string text = std::to_string(scaled / scale);
  if (scale > 1) {
    // The decimals with their leading zeros: "1" and the decimals, less the "1".
    text += "." + std::to_string(scale + scaled % scale).substr(1);
  }
  return text;
}

}  // namespace ndek
