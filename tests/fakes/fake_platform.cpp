#include "tests/fakes/fake_platform.h"

#include <gtest/gtest.h>

namespace ndek::testing {

void FakePlatform::record(std::string call) {
  // Nothing of the logic may run once the program has been ended.
  EXPECT_FALSE(ended) << "called after EndProgram: " << call;
  calls.push_back(std::move(call));
}

std::string FakePlatform::ProgramDir() { return program_dir; }

ErrorNumber FakePlatform::RunCommand(const std::string& command_line, WindowStyle style) {
  record("run[" + std::to_string(static_cast<int>(style)) + "] " + command_line);
  const auto failure = run_failures.find(command_line);
  return failure == run_failures.end() ? kOk : failure->second;
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

std::uint32_t FakePlatform::OsVersionWord() { return version_word; }

std::optional<std::string> FakePlatform::BrowseForFolder(WindowRef owner, const std::string& prompt) {
  record("browse[" + std::to_string(owner) + "] " + prompt);
  if (browse_results.empty()) return std::nullopt;
  auto result = browse_results.front();
  browse_results.pop_front();
  return result;
}

int FakePlatform::MessageBox(const std::string& text, int style, const std::string& title) {
  record("message[" + std::to_string(style) + "|" + title + "] " + text);
  if (message_box_answers.empty()) return kAnswerOk;
  const int answer = message_box_answers.front();
  message_box_answers.pop_front();
  return answer;
}

ErrorNumber FakePlatform::ShowHelp(const std::string& help_file, int command) {
  record("help[" + std::to_string(command) + "] " + help_file);
  return help_result;
}

void FakePlatform::Beep() { record("beep"); }
void FakePlatform::PumpEvents() { record("pump"); }

void FakePlatform::EndProgram() {
  record("end");
  ended = true;
}

std::vector<std::string> FakePlatform::calls_of(const std::string& kind) const {
  std::vector<std::string> out;
  for (const std::string& call : calls) {
    if (call == kind || call.rfind(kind + "[", 0) == 0 || call.rfind(kind + " ", 0) == 0) {
      out.push_back(call);
    }
  }
  return out;
}

}  // namespace ndek::testing
