#pragma once
#include "platform/ansi_code_page.h"

namespace ndek {

// CP_ACP: the code page of the running system.
class Win32AnsiCodePage : public AnsiCodePage {
 public:
  bool decode(std::string_view ansi, std::string& utf8) override;
  bool encode(std::string_view utf8, std::string& ansi) override;
};

}  // namespace ndek
