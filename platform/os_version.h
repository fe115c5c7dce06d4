#pragma once
// The system's version as both programs use it, in one path: OsVersionWord -> version_from_word
// gives `ver_data` -> version_text fills the mounter's hidden `ver` label, and
// persistence_option(ver_data) decides how `net use` is told not to remember a connection.
#include <cstdint>
#include <string>

namespace ndek {

// "major.minor" read as a decimal fraction: 4.10 is 4.1, 5.0 is 5.
float version_from_word(std::uint32_t version_word);

// The shortest decimal text that reads back as the same value: "5.1", "4.1", "5"; for a
// version as version_from_word gives it (at most three decimals).
std::string version_text(float version);

}  // namespace ndek
