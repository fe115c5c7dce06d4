#include "settings/command_outcome.h"

namespace ndek {
namespace {

constexpr const char* kReportIntro = "次の仮想ドライブを設定できませんでした。\r\r";
constexpr const char* kNotStarted = "コマンドを起動できませんでした　エラー№=";
constexpr const char* kExitCode = "終了コード= ";
constexpr const char* kNoAnswer = "応答がありません";
constexpr const char* kUnusableFolder = "フォルダ名をこのままでは使えません";

std::string how(const CommandOutcome& outcome) {
  using Kind = CommandOutcome::Kind;
  switch (outcome.kind) {
    case Kind::kNotStarted:
      return kNotStarted + error_number_text(static_cast<ErrorNumber>(outcome.number));
    case Kind::kFailed:
      return kExitCode + std::to_string(outcome.number);
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
  CommandOutcome outcome{CommandOutcome::Kind::kFailed, exit_code};
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
    if (left <= 0) return {CommandOutcome::Kind::kNoAnswer};
    platform.WaitForCommands({&command}, left);
  }
}

CommandOutcome run_drive_command(PlatformServices& platform, const DriveCommand& command,
                                 std::int64_t limit_ms) {
  std::unique_ptr<StartedCommand> started;
  if (const ErrorNumber err = start_drive_command(platform, command, started)) {
    return {CommandOutcome::Kind::kNotStarted, err};
  }
  return wait_for_outcome(platform, *started, limit_ms);
}

std::string failure_line(const std::string& subject, const CommandOutcome& outcome) {
  return subject + "（" + how(outcome) + "）";
}

std::string failure_report(const std::vector<std::string>& lines) {
  std::string text = kReportIntro;
  for (std::size_t i = 0; i < lines.size() && i < kMaxListedFailures; ++i) text += lines[i] + "\r";
  if (lines.size() > kMaxListedFailures) {
    text += "ほか " + std::to_string(lines.size() - kMaxListedFailures) + " 件\r";
  }
  return text;
}

}  // namespace ndek
