#pragma once
// The system's ANSI code page, in which the settings file is kept (932 on the machines this
// system was built for).
#include <string>
#include <string_view>

namespace ndek {

class AnsiCodePage {
 public:
  virtual ~AnsiCodePage() = default;
  // False when the bytes are not valid text in the code page.
  virtual bool decode(std::string_view ansi, std::string& utf8) = 0;
  // False when any character cannot be represented exactly (no best-fit, no '?').
  virtual bool encode(std::string_view utf8, std::string& ansi) = 0;
};

}  // namespace ndek
