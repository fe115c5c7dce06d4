#include "tests/fakes/fake_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace ndek::testing {

void FakePlatform::record(std::string call) {
  // Nothing of the logic may run once the program has been ended.
  EXPECT_FALSE(ended) << "called after EndProgram: " << call;
  calls.push_back(std::move(call));
}

namespace {

class FakeStartedCommand : public StartedCommand {
 public:
  FakeStartedCommand(const std::int64_t& now, FakePlatform::Outcome outcome)
      : now_(now), ends_at_(now + outcome.runs_ms), outcome_(std::move(outcome)) {}
  std::optional<std::uint32_t> ExitCode() override {
    if (now_ < ends_at_) return std::nullopt;
    return outcome_.exit_code;
  }
  std::string Output() override { return now_ < ends_at_ ? std::string() : outcome_.output; }
  std::int64_t ends_at() const { return ends_at_; }

 private:
  const std::int64_t& now_;
  std::int64_t ends_at_;
  FakePlatform::Outcome outcome_;
};

}  // namespace

std::string FakePlatform::ProgramDir() { return program_dir; }
std::string FakePlatform::SystemDir() { return "C:\\Windows\\system32"; }

ErrorNumber FakePlatform::RunCommand(const std::string& program, const std::string& command_line,
                                     WindowStyle style, std::unique_ptr<StartedCommand>& started) {
  record("run[" + std::to_string(static_cast<int>(style)) + "] " + program + " | " + command_line);
  const auto failure = run_failures.find(command_line);
  if (failure != run_failures.end()) return failure->second;
  start_times[command_line].push_back(now_ms);
  started = std::make_unique<FakeStartedCommand>(now_ms, take(outcomes[command_line], {}));
  return kOk;
}

std::int64_t FakePlatform::NowMs() { return now_ms; }

void FakePlatform::WaitForCommands(const std::vector<StartedCommand*>& commands,
                                   std::int64_t timeout_ms) {
  EXPECT_FALSE(ended) << "waiting after EndProgram";
  // A wait that cannot move the clock would make the caller spin.
  if (timeout_ms <= 0 || ++waits_ > 100000)
    throw std::runtime_error("the logic never stops waiting");
  std::int64_t until = now_ms + timeout_ms;
  for (StartedCommand* command : commands) {
    const auto* fake = static_cast<FakeStartedCommand*>(command);
    if (fake->ends_at() <= now_ms) return;
    until = std::min(until, fake->ends_at());
  }
  now_ms = until;
}

DriveMapping FakePlatform::CurrentMapping(const std::string& drive) {
  const auto mapping = mappings.find(drive);
  return mapping == mappings.end() ? DriveMapping{} : mapping->second;
}

std::uint32_t FakePlatform::LogicalDrives() {
  std::uint32_t drives = 0;
  for (const auto& [root, kind] : drive_kinds) drives |= 1u << (root.front() - 'A');
  return drives;
}

DriveKind FakePlatform::DriveType(const std::string& root_path) {
  drive_types_asked.push_back(root_path);
  const auto kind = drive_kinds.find(root_path);
  return kind == drive_kinds.end() ? DriveKind::kNoRoot : kind->second;
}

std::uint32_t FakePlatform::OsVersionWord() { return 0x0105; }  // 5.1

int FakePlatform::MessageBox(const std::string& text, int style, const std::string& title) {
  record("message[" + std::to_string(style) + "|" + title + "] " + text);
  return take(message_box_answers, kAnswerOk);
}

void FakePlatform::Beep() { record("beep"); }

namespace {
class FakeDriveChangeLock : public DriveChangeLock {
 public:
  explicit FakeDriveChangeLock(std::vector<std::string>& calls) : calls_(calls) {}
  ~FakeDriveChangeLock() override { calls_.push_back("unlock"); }

 private:
  std::vector<std::string>& calls_;
};
}  // namespace

std::unique_ptr<DriveChangeLock> FakePlatform::HoldDriveChanges() {
  record("lock");
  return std::make_unique<FakeDriveChangeLock>(calls);
}
namespace {
class FakeAskedCredentials : public AskedCredentials {
 public:
  FakeAskedCredentials(FakePlatform& platform, std::string server, std::string user)
      : platform_(platform), server_(std::move(server)), user_(std::move(user)) {}
  ErrorNumber Store() override {
    platform_.calls.push_back("store credentials[" + server_ + "] " + user_);
    return platform_.credential_store_result;
  }
  void TakeBack() override { platform_.calls.push_back("take back credentials[" + server_ + "]"); }

 private:
  FakePlatform& platform_;
  std::string server_;
  std::string user_;
};
}  // namespace

std::unique_ptr<AskedCredentials> FakePlatform::AskCredentials(const std::string& server) {
  record("ask credentials[" + server + "]");
  const std::optional<std::string> user = take(credential_answers, {});
  if (!user) return nullptr;
  return std::make_unique<FakeAskedCredentials>(*this, server, *user);
}

void FakePlatform::PumpEvents() { record("pump"); }

void FakePlatform::EndProgram() {
  record("end");
  ended = true;
}

std::vector<std::string> FakePlatform::calls_of(const std::string& kind) const {
  std::vector<std::string> out;
  for (const std::string& call : calls) {
    if (call.rfind(kind, 0) == 0) out.push_back(call);
  }
  return out;
}

}  // namespace ndek::testing
