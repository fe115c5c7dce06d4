#pragma once
#include "platform/ansi_code_page.h"

namespace ndek {

// The code page of the running system (CP_ACP, 0), or the one given.
class Win32AnsiCodePage : public AnsiCodePage {
 public:
  explicit Win32AnsiCodePage(unsigned code_page = 0) : code_page_(code_page) {}
  bool decode(std::string_view ansi, std::string& utf8) override;
  bool encode(std::string_view utf8, std::string& ansi) override;

 private:
  unsigned code_page_;
};

}  // namespace ndek
