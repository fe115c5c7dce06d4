#include "platform/os_version.h"

#include <charconv>


namespace ndek {

float version_from_word(std::uint32_t version_word) {
  const std::string text =
      std::to_string(version_word & 0xFF) + "." + std::to_string((version_word >> 8) & 0xFF);
  float version = 0;
  std::from_chars(text.data(), text.data() + text.size(), version);
  return version;
}

std::string version_text(float version) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, version);
  return std::string(buffer, result.ptr);
}

}  // namespace ndek
