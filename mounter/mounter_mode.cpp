#include "mounter/mounter_mode.h"

#include <string>

namespace ndek {

MounterMode mounter_mode(std::wstring_view arguments) {
  const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
  while (!arguments.empty() && blank(arguments.front())) arguments.remove_prefix(1);
  while (!arguments.empty() && blank(arguments.back())) arguments.remove_suffix(1);
  std::wstring word(arguments);
  for (wchar_t& c : word) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  if (word == L"/watch") return MounterMode::kWatch;
  if (word == L"/remount") return MounterMode::kRemount;
  if (word == L"/stop") return MounterMode::kStop;
  return MounterMode::kLogOn;
}

Refusal refusal(MounterMode mode, bool system_account, bool shell_sees_our_drives) {
  if (!system_account && shell_sees_our_drives) return Refusal::kNone;
  if (mode == MounterMode::kWatch) return Refusal::kLogOnOnly;
  if (mode == MounterMode::kRemount) return Refusal::kNothing;
  return Refusal::kNone;
}

}  // namespace ndek
