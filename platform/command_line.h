#pragma once
#include <string>
#include <string_view>

namespace ndek {

// Quotes one argument so that the program's argument parser (the C runtime's, or
// CommandLineToArgvW) gets it back unchanged: always in double quotes, backslashes
// before a quote (the closing one included) doubled, quotes escaped.
std::string quote_argument(std::string_view argument);

}  // namespace ndek
