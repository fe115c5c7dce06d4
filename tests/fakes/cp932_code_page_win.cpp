#include "platform/win32/ansi_code_page_win.h"
#include "tests/fakes/cp932_code_page.h"

namespace ndek::testing {

bool Cp932CodePage::decode(std::string_view ansi, std::string& utf8) {
  return Win32AnsiCodePage(932).decode(ansi, utf8);
}

bool Cp932CodePage::encode(std::string_view utf8, std::string& ansi) {
  return Win32AnsiCodePage(932).encode(utf8, ansi);
}

}  // namespace ndek::testing
