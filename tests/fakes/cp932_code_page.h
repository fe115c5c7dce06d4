#pragma once
// The Japanese ANSI code page (932), so that the codec's tests run against real Shift-JIS
// rather than a stand-in: through iconv, or on Windows through the system's own conversions
// (whatever the system's code page is).
#include "platform/ansi_code_page.h"

namespace ndek::testing {

class Cp932CodePage : public AnsiCodePage {
 public:
  bool decode(std::string_view ansi, std::string& utf8) override;
  bool encode(std::string_view utf8, std::string& ansi) override;
};

}  // namespace ndek::testing
