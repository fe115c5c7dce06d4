#include <iconv.h>

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
  out.resize(input.size() * 3 + 1);  // a character grows to at most three bytes either way
  char* out_ptr = out.data();
  std::size_t out_left = out.size();
  const bool ok = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) != static_cast<std::size_t>(-1);
  out.resize(out_ptr - out.data());
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
