#pragma once
#include <cstdint>
#include <string>

namespace ndek {

// "major.minor" read as a decimal fraction: 4.10 is 4.1, 5.0 is 5.
float version_from_word(std::uint32_t version_word);

// The shortest decimal text that reads back as the same value: "5.1", "4.1", "5"; for a
// version as version_from_word gives it (at most three decimals).
std::string version_text(float version);

}  // namespace ndek
