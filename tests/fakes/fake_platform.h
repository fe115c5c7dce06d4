#pragma once
// The one recording fake of the platform services that every logic test shares: it writes
// each call to a log and answers from a script.
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform_services.h"

namespace ndek::testing {

class FakePlatform : public PlatformServices {
 public:
  // Scripted answers.
  std::string program_dir = "C:\\Tools";
  std::uint32_t version_word = 0x0105;  // 5.1
  std::map<std::string, DriveKind> drive_kinds;  // root path -> kind; no drive otherwise
  std::map<std::string, ErrorNumber> run_failures;  // command line -> error number
  std::deque<int> message_box_answers;  // kAnswerOk when empty
  std::deque<std::optional<std::string>> browse_results;  // nothing (cancel) when empty
  ErrorNumber help_result = kOk;

  // What happened, in order: "run[0] subst X: \"d:\\data\"", "message[52|title] text",
  // "beep", "pump", "end", "help[15] path", "browse[owner] prompt".
  std::vector<std::string> calls;
  std::vector<std::string> drive_types_asked;  // root paths
  bool ended = false;

  std::string ProgramDir() override;
  ErrorNumber RunCommand(const std::string& command_line, WindowStyle style) override;
  std::uint32_t LogicalDrives() override;
  DriveKind DriveType(const std::string& root_path) override;
  std::uint32_t OsVersionWord() override;
  std::optional<std::string> BrowseForFolder(WindowRef owner, const std::string& prompt) override;
  int MessageBox(const std::string& text, int style, const std::string& title) override;
  ErrorNumber ShowHelp(const std::string& help_file, int command) override;
  void Beep() override;
  void PumpEvents() override;
  void EndProgram() override;

  // The calls of one kind ("run", "message", ...), in order.
  std::vector<std::string> calls_of(const std::string& kind) const;

 private:
  void record(std::string call);
};

}  // namespace ndek::testing
