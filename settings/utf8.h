#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace ndek {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool is_valid_utf8(std::string_view text);

// Length in UTF-16 code units, the unit the system counts path lengths in.
// Assumes valid UTF-8.
std::size_t utf16_length(std::string_view text);

std::string ascii_lower(std::string_view text);
std::string ascii_upper(std::string_view text);

}  // namespace ndek
