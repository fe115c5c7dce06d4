#include "mounter/command_watch.h"

#include <algorithm>

namespace ndek {
namespace {

// The mounter never asks for a password at log-on; the manager does, at finish.
constexpr const char* kCredentialsNote =
    "ユーザー名とパスワードは、仮想ドライブマネージャーの設定終了で保存できます。\r";

}  // namespace

struct CommandWatch::Watched {
  std::string subject;
  DriveCommand command;
  bool retry = false;
  std::unique_ptr<StartedCommand> running;  // the try under way, if any
  std::int64_t try_began_ms = 0;
  std::int64_t next_try_ms = 0;  // while waiting to try again
  std::int64_t pause_ms = kFirstPauseMs;
  bool done = false;
  CommandOutcome outcome;
};

CommandWatch::CommandWatch(PlatformServices& platform, std::int64_t began_ms)
    : platform_(platform), retry_until_ms_(began_ms + kRetryPeriodMs) {}

CommandWatch::~CommandWatch() = default;

bool CommandWatch::try_once(Watched& watched, std::int64_t now) {
  if (const ErrorNumber err = start_drive_command(platform_, watched.command, watched.running)) {
    watched.outcome = {.kind = CommandOutcome::Kind::kNotStarted, .start_error = err};
    watched.done = true;
    return false;
  }
  watched.try_began_ms = now;
  return true;
}

ErrorNumber CommandWatch::start(const std::string& subject, const DriveCommand& command,
                                bool retry) {
  Watched& watched = watched_.emplace_back();
  watched.subject = subject;
  watched.command = command;
  watched.retry = retry;
  try_once(watched, platform_.NowMs());
  return watched.done ? watched.outcome.start_error : kOk;
}

std::optional<std::int64_t> CommandWatch::advance(Watched& watched, std::int64_t now) {
  if (watched.done) return std::nullopt;
  if (watched.running) {
    const std::optional<std::uint32_t> code = watched.running->ExitCode();
    if (!code) {
      const std::int64_t limit = watched.try_began_ms + kTryLimitMs;
      if (now < limit) return limit;
      // Let go of, which ends it with whatever it started: it may be waiting for something
      // that never comes, such as a password on a console nobody sees.
      watched.running.reset();
      watched.outcome = {.kind = CommandOutcome::Kind::kNoAnswer};
      watched.done = true;
      return std::nullopt;
    }
    watched.outcome = outcome_of_exit(*code, watched.running->Output());
    watched.running.reset();
    if (!watched.outcome.failed() || !watched.retry || !worth_retrying(watched.outcome) ||
        now >= retry_until_ms_) {
      watched.done = true;
      return std::nullopt;
    }
    watched.next_try_ms = std::min(now + watched.pause_ms, retry_until_ms_);
    watched.pause_ms *= 2;
  }
  if (now < watched.next_try_ms) return watched.next_try_ms;
  if (!try_once(watched, now)) return std::nullopt;
  return now + kTryLimitMs;
}

void CommandWatch::wait() {
  for (;;) {
    const std::int64_t now = platform_.NowMs();
    std::optional<std::int64_t> next;
    std::vector<StartedCommand*> running;
    for (Watched& watched : watched_) {
      const std::optional<std::int64_t> event = advance(watched, now);
      if (!event) continue;
      next = std::min(next.value_or(*event), *event);
      if (watched.running) running.push_back(watched.running.get());
    }
    if (!next) return;
    platform_.WaitForCommands(running, *next - now);
  }
}

std::vector<std::string> CommandWatch::failures() const {
  std::vector<std::string> lines;
  for (const Watched& watched : watched_) {
    if (watched.outcome.failed()) lines.push_back(failure_line(watched.subject, watched.outcome));
  }
  return lines;
}

std::vector<bool> CommandWatch::successes() const {
  std::vector<bool> succeeded;
  for (const Watched& watched : watched_)
    succeeded.push_back(watched.done && !watched.outcome.failed());
  return succeeded;
}

std::string CommandWatch::report(std::vector<std::string> lines) const {
  const std::vector<std::string> failed = failures();
  lines.insert(lines.end(), failed.begin(), failed.end());
  if (lines.empty()) return {};
  const bool asked = std::any_of(watched_.begin(), watched_.end(), [](const Watched& watched) {
    return needs_credentials(watched.outcome);
  });
  return failure_report(lines) + (asked ? kCredentialsNote : "");
}

}  // namespace ndek
