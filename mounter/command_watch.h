#pragma once
// Follows the commands of a mount run to their end: each one's exit code is read, a failed
// network connection is tried again while the network may still be coming up, and what
// could not be set up is kept for the report. Only a failure that may go away by itself is
// tried again: a refused password is not, as each try counts toward the account's lock-out.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drives/command_outcome.h"
#include "drives/drive_command.h"

namespace ndek {

// Each try may take this long; one that takes longer is ended and counts as failed.
constexpr std::int64_t kTryLimitMs = 30000;
// Network connections are tried again until this long after the run began.
constexpr std::int64_t kRetryPeriodMs = 120000;
// The pause after the first failed try; it doubles after each further one.
constexpr std::int64_t kFirstPauseMs = 2000;

class CommandWatch {
 public:
  // `began_ms`: when the run began, on the platform's clock.
  CommandWatch(PlatformServices& platform, std::int64_t began_ms);
  CommandWatch(const CommandWatch&) = delete;
  CommandWatch& operator=(const CommandWatch&) = delete;
  ~CommandWatch();

  // Starts a command and watches it; `subject` names it in the report. A network command
  // (`net use`) is tried again when it fails. Returns the start's failure, if any: a command
  // that cannot be started is reported and never tried again.
  ErrorNumber start(const std::string& subject, const DriveCommand& command, bool retry);

  // Returns once every command has succeeded, failed for good or run out of time.
  void wait();

  // One line per command that did not succeed, in the order they were started.
  std::vector<std::string> failures() const;
  // Whether each command succeeded, in the order they were started.
  std::vector<bool> successes() const;
  // The message that lists `lines` and then the failed commands, and says where a password
  // can be given when a server asked for one; empty when there is nothing to list.
  std::string report(std::vector<std::string> lines) const;

 private:
  struct Watched;
  // Moves one command on at `now`; the time of its next event, or nothing when it is done.
  std::optional<std::int64_t> advance(Watched& watched, std::int64_t now);
  bool try_once(Watched& watched, std::int64_t now);

  PlatformServices& platform_;
  std::int64_t retry_until_ms_;
  std::vector<Watched> watched_;
};

}  // namespace ndek
