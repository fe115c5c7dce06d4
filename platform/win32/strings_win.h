#pragma once
// The two conversions at the system boundary: UTF-8 inside, UTF-16 for the W APIs.
#include <string>
#include <string_view>

namespace ndek {

std::wstring to_wide(std::string_view utf8);
std::string to_utf8(std::wstring_view wide);

}  // namespace ndek
