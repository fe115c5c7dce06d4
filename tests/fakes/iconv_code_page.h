#pragma once
// The Japanese ANSI code page (932) through iconv, so that the codec's tests run against
// real Shift-JIS rather than a stand-in.
#include "platform/ansi_code_page.h"

namespace ndek::testing {

class IconvCodePage : public AnsiCodePage {
 public:
  explicit IconvCodePage(const char* code_page = "CP932") : code_page_(code_page) {}
  bool decode(std::string_view ansi, std::string& utf8) override;
  bool encode(std::string_view utf8, std::string& ansi) override;

 private:
  const char* code_page_;
};

}  // namespace ndek::testing
