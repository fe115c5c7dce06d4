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
  std::map<std::string, DriveKind> drive_kinds;     // root path -> kind; kNoRoot otherwise
  std::map<std::string, ErrorNumber> run_failures;  // command line -> error number
  // How each start of a command line ends, in order; starts beyond the list exit with 0 at
  // once.
  struct Outcome {
    std::uint32_t exit_code = 0;
    std::int64_t runs_ms = 0;  // kForever: it never ends
    std::string output = {};   // what it prints, as UTF-8
  };
  static constexpr std::int64_t kForever = std::int64_t{1} << 62;
  std::map<std::string, std::deque<Outcome>> outcomes;
  std::map<std::string, DriveMapping> mappings;  // drive ("X:") -> its mapping; none otherwise
  std::int64_t now_ms = 0;                       // moves only while the logic waits
  std::deque<int> message_box_answers;           // kAnswerOk when empty
  bool shell_sees_our_drives = true;
  // The user names typed into each credential prompt; nothing (cancel) when empty.
  std::deque<std::optional<std::string>> credential_answers;
  ErrorNumber credential_store_result = kOk;

  // What happened, in order: "run[0] C:\\Windows\\system32\\subst.exe | subst X: \"d:\\data\"",
  // "message[52|title] text", "beep", "pump", "end",
  // "ask credentials[server]", "store credentials[server] user", "take back credentials[server]".
  std::vector<std::string> calls;
  std::vector<std::string> drive_types_asked;  // root paths
  bool ended = false;
  // Command line -> the times at which it was started.
  std::map<std::string, std::vector<std::int64_t>> start_times;

  std::string ProgramDir() override;
  std::string SystemDir() override;
  ErrorNumber RunCommand(const std::string& program, const std::string& command_line,
                         WindowStyle style, std::unique_ptr<StartedCommand>& started) override;
  std::int64_t NowMs() override;
  // Moves the clock on to the end of the first of `commands` to end, or by `timeout_ms`.
  void WaitForCommands(const std::vector<StartedCommand*>& commands,
                       std::int64_t timeout_ms) override;
  DriveMapping CurrentMapping(const std::string& drive) override;
  std::uint32_t LogicalDrives() override;
  DriveKind DriveType(const std::string& root_path) override;
  std::uint32_t OsVersionWord() override;
  int MessageBox(const std::string& text, int style, const std::string& title) override;
  void Beep() override;
  bool ShellSeesOurDrives() override { return shell_sees_our_drives; }
  // Recorded as "lock" and, when the lock is let go, "unlock".
  std::unique_ptr<DriveChangeLock> HoldDriveChanges() override;
  std::unique_ptr<AskedCredentials> AskCredentials(const std::string& server) override;
  void PumpEvents() override;
  void EndProgram() override;

  // The calls of one kind ("run", "message", ...), in order.
  std::vector<std::string> calls_of(const std::string& kind) const;

 private:
  void record(std::string call);
  int waits_ = 0;
};

// The first of the scripted `answers`, taken from them; `otherwise` when there is none.
template <typename T>
T take(std::deque<T>& answers, T otherwise) {
  if (answers.empty()) return otherwise;
  T answer = std::move(answers.front());
  answers.pop_front();
  return answer;
}

// The recorded hidden start of a command from the system folder.
inline std::string subst(const std::string& arguments) {
  return "run[0] C:\\Windows\\system32\\subst.exe | subst " + arguments;
}
inline std::string net_use(const std::string& arguments) {
  return "run[0] C:\\Windows\\system32\\net.exe | net use " + arguments;
}

}  // namespace ndek::testing
