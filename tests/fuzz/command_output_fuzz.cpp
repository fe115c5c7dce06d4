// Feeds arbitrary bytes to the reader of a failed command's output, as what it printed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "drives/command_outcome.h"
#include "settings/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ndek;
  const std::string_view output(reinterpret_cast<const char*>(data), size);
  const CommandOutcome outcome = outcome_of_exit(2, output);
  // The reason is one line the command printed; the user sees it as one well-formed line of
  // bounded length, whatever was printed.
  const std::string reason = shortened_reason(outcome.reason);
  const std::string line = failure_line("Z: ← \\\\s\\p", outcome);
  const bool sound = output.find(outcome.reason) != std::string_view::npos &&
                     outcome.reason.find_first_of("\r\n") == std::string::npos &&
                     reason.size() <= kReasonColumns * 3 + 3 && is_valid_utf8(line) &&
                     line.find_first_of("\r\n\t") == std::string::npos;
  if (!sound) std::abort();
  return 0;
}
