// Feeds arbitrary bytes to the reader of a failed command's output, as what it printed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/command_outcome.h"
#include "settings/utf8.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ndek;
  const std::string_view output(reinterpret_cast<const char*>(data), size);
  require(!outcome_of_exit(0, output).failed());

  const CommandOutcome outcome = outcome_of_exit(static_cast<std::uint32_t>(size % 3 + 1), output);
  require(outcome.kind == CommandOutcome::Kind::kFailed);
  // The reason is one line the command printed.
  require(outcome.reason.find_first_of("\r\n") == std::string::npos);
  require(output.find(outcome.reason) != std::string_view::npos);

  // What the user sees is one well-formed line of bounded length, whatever was printed.
  const std::string reason = shortened_reason(outcome.reason);
  require(is_valid_utf8(reason));
  require(reason.size() <= kReasonColumns * 3 + 3);
  for (const char c : reason) require(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
  const std::string line = failure_line("Z: ← \\\\s\\p", outcome);
  require(is_valid_utf8(line));
  require(line.find_first_of("\r\n") == std::string::npos);
  return 0;
}
