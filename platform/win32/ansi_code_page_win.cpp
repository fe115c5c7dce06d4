#include "platform/win32/ansi_code_page_win.h"

#include <windows.h>

#include <climits>
#include <string>

#include "platform/win32/strings_win.h"

namespace ndek {
namespace {

// CP_ACP on a system whose code page is UTF-8 is named as such: the flags allowed differ.
UINT effective_code_page(UINT code_page) {
  return code_page == CP_ACP && GetACP() == CP_UTF8 ? CP_UTF8 : code_page;
}

}  // namespace

bool Win32AnsiCodePage::decode(std::string_view ansi, std::string& utf8) {
  utf8.clear();
  if (ansi.empty()) return true;
  if (ansi.size() > INT_MAX) return false;
  const int size = static_cast<int>(ansi.size());
  // Only MB_ERR_INVALID_CHARS is allowed with UTF-8, and it is what is wanted anyway.
  const UINT code_page = effective_code_page(code_page_);
  const int length =
      MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, ansi.data(), size, nullptr, 0);
  if (length <= 0) return false;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  if (MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, ansi.data(), size, wide.data(),
                          length) != length) {
    return false;
  }
  utf8 = to_utf8(wide);
  return true;
}

bool Win32AnsiCodePage::encode(std::string_view utf8, std::string& ansi) {
  ansi.clear();
  if (utf8.empty()) return true;
  const std::wstring wide = to_wide(utf8);
  // The conversion puts U+FFFD in place of malformed bytes; only a faithful round trip shows
  // that the input was well-formed.
  if (to_utf8(wide) != utf8) return false;
  if (wide.size() > INT_MAX) return false;
  const int size = static_cast<int>(wide.size());

  // With UTF-8 as the code page (where WC_NO_BEST_FIT_CHARS and the default-character check
  // are not allowed) well-formed text is already its own encoding.
  const UINT code_page = effective_code_page(code_page_);
  if (code_page == CP_UTF8) {
    ansi.assign(utf8);
    return true;
  }

  // Without WC_NO_BEST_FIT_CHARS a character such as U+00A5 would silently become a
  // look-alike (a backslash in code page 932).
  BOOL used_default = FALSE;
  const int length = WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, wide.data(), size,
                                         nullptr, 0, nullptr, &used_default);
  if (length <= 0 || used_default) return false;
  ansi.assign(static_cast<std::size_t>(length), '\0');
  if (WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, wide.data(), size, ansi.data(), length,
                          nullptr, &used_default) != length ||
      used_default) {
    ansi.clear();
    return false;
  }
  return true;
}

}  // namespace ndek
