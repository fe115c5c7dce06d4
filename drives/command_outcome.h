#pragma once
// What became of a drive command, and how the user hears of the ones that failed.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "drives/drive_command.h"
#include "platform/platform_services.h"

namespace ndek {

struct CommandOutcome {
  enum class Kind {
    kSucceeded,
    kNotStarted,      // the program could not be started, for `start_error`
    kFailed,          // it ended with the non-zero `exit_code`
    kNoAnswer,        // it was still running when its time was up, and was ended
    kUnusableFolder,  // no command was made: the folder would change the command's arguments
  };
  Kind kind = Kind::kSucceeded;
  ErrorNumber start_error = kOk;
  std::uint32_t exit_code = 0;
  // The system error number the command's own output names (0 when it names none), and its
  // message in one line ("" when it printed none).
  std::uint32_t system_error = 0;
  std::string reason = {};

  bool failed() const { return kind != Kind::kSucceeded; }
  bool operator==(const CommandOutcome& other) const = default;
};

// Succeeded for exit code 0, failed with it otherwise; a failure takes its system error number
// and reason from what the command printed.
CommandOutcome outcome_of_exit(std::uint32_t exit_code, std::string_view output = {});

// A failure that may go away by itself once the network is up, and so is tried again at
// log-on: any failure whose output names no system error, and the "not reachable" errors.
// Never a refused logon: each try with a wrong stored password counts toward a lock-out.
bool worth_retrying(const CommandOutcome& outcome);

// A failure because the server wants a user name and password it has not been given.
bool needs_credentials(const CommandOutcome& outcome);

// Waits at most `limit_ms` for the command to end.
CommandOutcome wait_for_outcome(PlatformServices& platform, StartedCommand& command,
                                std::int64_t limit_ms);

// Starts the command and waits at most `limit_ms` for it.
CommandOutcome run_drive_command(PlatformServices& platform, const DriveCommand& command,
                                 std::int64_t limit_ms);

// The widest a command's reason is shown, in half-width columns (a kana or kanji takes two),
// so that its line fits in a message box beside the drive and folder.
constexpr std::size_t kReasonColumns = 48;

// The reason as one line of at most kReasonColumns columns: control characters become
// blanks, and a longer reason is cut, ending with "…".
std::string shortened_reason(std::string_view reason);

// "X: ← d:\data（終了コード= 1）": what failed, then how. A command that said why is shown with
// its reason and the system error number it named ("…（ネットワーク
// パスが見つかりません。　エラー№= 53）").
std::string failure_line(const std::string& subject, const CommandOutcome& outcome);

// The message that lists failed commands: at most kMaxListedFailures lines, then how many
// more there are, so that the message box never grows taller than the screen.
constexpr std::size_t kMaxListedFailures = 10;
std::string failure_report(const std::vector<std::string>& lines);

}  // namespace ndek
