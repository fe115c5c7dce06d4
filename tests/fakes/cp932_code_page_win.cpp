#include "platform/win32/ansi_code_page_win.h"
#include "tests/fakes/cp932_code_page.h"

namespace ndek::testing {
namespace {

constexpr unsigned kShiftJis = 932;

}  // namespace

bool Cp932CodePage::decode(std::string_view ansi, std::string& utf8) {
  return Win32AnsiCodePage(kShiftJis).decode(ansi, utf8);
}

bool Cp932CodePage::encode(std::string_view utf8, std::string& ansi) {
  return Win32AnsiCodePage(kShiftJis).encode(utf8, ansi);
}

}  // namespace ndek::testing
