#include <iconv.h>

#include <cerrno>

#include "tests/fakes/cp932_code_page.h"

namespace ndek::testing {
namespace {

bool convert(const char* to, const char* from, std::string_view in, std::string& out) {
  out.clear();
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string input(in);
  char* in_ptr = input.data();
  std::size_t in_left = input.size();
  bool ok = true;
  while (in_left > 0) {
    char buffer[256];
    char* out_ptr = buffer;
    std::size_t out_left = sizeof buffer;
    const std::size_t rc = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
    out.append(buffer, out_ptr);
    if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
      ok = false;
      break;
    }
  }
  iconv_close(cd);
  return ok;
}

}  // namespace

bool Cp932CodePage::decode(std::string_view ansi, std::string& utf8) {
  return convert("UTF-8", "CP932", ansi, utf8);
}

bool Cp932CodePage::encode(std::string_view utf8, std::string& ansi) {
  return convert("CP932", "UTF-8", utf8, ansi);
}

}  // namespace ndek::testing
