#include "drives/command_outcome.h"

#include <vector>

#include "drives/report_text.h"
#include "settings/utf8.h"

namespace ndek {
namespace {

using namespace report_text;

// The next character of `text` from `at`, moving `at` past it; a byte that begins no
// well-formed sequence is a character of its own.
char32_t next_char(std::string_view text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead < 0xC2   ? 1
                             : lead < 0xE0 ? 2
                             : lead < 0xF0 ? 3
                             : lead < 0xF5 ? 4
                                           : 1;
  if (length == 1 || !is_valid_utf8(text.substr(at, length))) {
    ++at;
    return lead < 0x80 ? lead : 0xFFFD;
  }
  auto c = static_cast<char32_t>(lead & (0x7F >> length));
  for (std::size_t i = 1; i < length; ++i) {
    c = (c << 6) | static_cast<char32_t>(text[at + i] & 0x3F);
  }
  at += length;
  return c;
}

// Half-width columns a character takes on screen: kana, kanji, hangul and the full-width
// forms take two.
std::size_t columns_of(char32_t c) {
  const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                    (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                    (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                    (c >= 0xFFE0 && c <= 0xFFE6) || c >= 0x20000;
  return wide ? 2 : 1;
}

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string how(const CommandOutcome& outcome) {
  using Kind = CommandOutcome::Kind;
  switch (outcome.kind) {
    case Kind::kNotStarted:
      return kNotStarted + error_number_text(outcome.start_error);
    case Kind::kFailed: {
      std::string text = outcome.reason.empty() ? kExitCode + std::to_string(outcome.exit_code)
                                                : shortened_reason(outcome.reason);
      if (outcome.system_error != 0) {
        text += kErrorNumber + std::to_string(outcome.system_error);
      }
      return text;
    }
    case Kind::kNoAnswer:
      return kNoAnswer;
    case Kind::kUnusableFolder:
      return kUnusableFolder;
    case Kind::kSucceeded:
      break;
  }
  return {};
}

// "システム エラー 53 が発生しました。" or "System error 53 has occurred.": the number, if any.
std::uint32_t system_error_in(std::string_view line) {
  for (std::string_view label :
       {std::string_view("システム エラー "), std::string_view("System error ")}) {
    const std::size_t at = line.find(label);
    if (at == std::string_view::npos) continue;
    std::uint32_t number = 0;
    std::size_t digits = 0;
    for (std::size_t i = at + label.size(); i < line.size() && digits < 9; ++i, ++digits) {
      if (line[i] < '0' || line[i] > '9') break;
      number = number * 10 + static_cast<std::uint32_t>(line[i] - '0');
    }
    if (digits > 0) return number;
  }
  return 0;
}

}  // namespace

CommandOutcome outcome_of_exit(std::uint32_t exit_code, std::string_view output) {
  if (exit_code == 0) return {};
  CommandOutcome outcome{.kind = CommandOutcome::Kind::kFailed};
  outcome.exit_code = exit_code;
  // The last line that is not the one naming the number says why.
  while (!output.empty()) {
    const std::size_t end = output.find_first_of("\r\n");
    const std::string_view line = output.substr(0, end);
    output = end == std::string_view::npos ? std::string_view() : output.substr(end + 1);
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
    if (const std::uint32_t number = system_error_in(line)) {
      if (outcome.system_error == 0) outcome.system_error = number;
      continue;
    }
    outcome.reason = std::string(line);
  }
  return outcome;
}

bool worth_retrying(const CommandOutcome& outcome) {
  if (outcome.kind != CommandOutcome::Kind::kFailed) return false;
  switch (outcome.system_error) {
    case 0:     // nothing said: as likely as not the network
    case 51:    // the remote computer is not available
    case 53:    // the network path was not found
    case 59:    // an unexpected network error
    case 64:    // the network name is no longer available
    case 67:    // the network name cannot be found
    case 121:   // the semaphore timeout period has expired
    case 1222:  // the network is not present or not started
    case 1231:  // the network location cannot be reached
    case 1232:  // the network location cannot be reached (host)
    case 1311:  // no logon servers
      return true;
    default:
      return false;
  }
}

bool needs_credentials(const CommandOutcome& outcome) {
  if (outcome.kind != CommandOutcome::Kind::kFailed) return false;
  switch (outcome.system_error) {
    case 5:     // access denied
    case 86:    // the network password is not correct
    case 1244:  // not authenticated
    case 1272:  // guest access refused
    case 1326:  // the user name or password is incorrect
    case 1327:  // an account restriction
      return true;
    default:
      return false;
  }
}

CommandOutcome wait_for_outcome(PlatformServices& platform, StartedCommand& command,
                                std::int64_t limit_ms) {
  const std::int64_t until = platform.NowMs() + limit_ms;
  for (;;) {
    if (const std::optional<std::uint32_t> code = command.ExitCode()) {
      return outcome_of_exit(*code, command.Output());
    }
    const std::int64_t left = until - platform.NowMs();
    if (left <= 0) return {.kind = CommandOutcome::Kind::kNoAnswer};
    platform.WaitForCommands({&command}, left);
  }
}

CommandOutcome run_drive_command(PlatformServices& platform, const DriveCommand& command,
                                 std::int64_t limit_ms) {
  std::unique_ptr<StartedCommand> started;
  if (const ErrorNumber err = start_drive_command(platform, command, started)) {
    return {.kind = CommandOutcome::Kind::kNotStarted, .start_error = err};
  }
  return wait_for_outcome(platform, *started, limit_ms);
}

std::string shortened_reason(std::string_view reason) {
  std::vector<char32_t> chars;
  std::size_t columns = 0;
  for (std::size_t at = 0; at < reason.size();) {
    char32_t c = next_char(reason, at);
    // One line in a message box: no control character may break or garble it.
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == 0x2028 || c == 0x2029) c = ' ';
    if (c == ' ' && chars.empty()) continue;
    chars.push_back(c);
    columns += columns_of(c);
  }
  // Room for the ellipsis, which Japanese fonts draw two columns wide, when it must be cut.
  while (!chars.empty() && chars.back() == ' ')
    columns -= columns_of(chars.back()), chars.pop_back();
  const std::size_t room = columns <= kReasonColumns ? kReasonColumns : kReasonColumns - 2;
  std::string text;
  columns = 0;
  for (const char32_t c : chars) {
    columns += columns_of(c);
    if (columns > room) return text + kEllipsis;
    append_utf8(text, c);
  }
  return text;
}

std::string failure_line(const std::string& subject, const CommandOutcome& outcome) {
  return subject + "（" + how(outcome) + "）";
}

std::string failure_report(const std::vector<std::string>& lines) {
  std::string text = kReportIntro;
  for (std::size_t i = 0; i < lines.size() && i < kMaxListedFailures; ++i) text += lines[i] + "\r";
  if (lines.size() > kMaxListedFailures) {
    text += kMoreBefore + std::to_string(lines.size() - kMaxListedFailures) + kMoreAfter;
  }
  return text;
}

}  // namespace ndek
