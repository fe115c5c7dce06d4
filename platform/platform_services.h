#pragma once
// The operating-system and user-interface operations the logic of both programs calls.
// Only standard types cross this interface so that the logic builds and is tested anywhere.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/error_numbers.h"

namespace ndek {

// How a started program's window is shown.
enum class WindowStyle { kHidden = 0, kNormalFocus = 1, kMinimizedFocus = 2 };

// Message box styles and answers, numbered as the system numbers them.
constexpr int kMbOk = 0;
constexpr int kMbOkExclamation = 48;
constexpr int kMbYesNoExclamation = 52;
// Added to a style: the box stays above other windows, and asks to come to the front.
constexpr int kMbTopmost = 0x40000;
constexpr int kMbSetForeground = 0x10000;
constexpr int kAnswerOk = 1;
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;

// Drive type codes as the system reports them.
enum class DriveKind {
  kUnknown = 0,
  kNoRoot = 1,
  kRemovable = 2,
  kFixed = 3,
  kRemote = 4,
  kCdRom = 5,
  kRamDisk = 6,
};

// A program started by RunCommand. A hidden command ends, with whatever it started, when this
// is let go of while it still runs; a program shown to the user runs on by itself.
class StartedCommand {
 public:
  virtual ~StartedCommand() = default;
  // The program's exit code once it has ended; nothing while it runs.
  virtual std::optional<std::uint32_t> ExitCode() = 0;
  // What the program wrote to its output and error output, as UTF-8 text; whole once it has
  // ended.
  virtual std::string Output() = 0;
};

// What a drive letter stands for now, as far as a `subst` or a `net use` could have made it.
struct DriveMapping {
  enum class Kind { kNone, kFolder, kNetwork };
  Kind kind = Kind::kNone;
  std::string target;  // the folder (subst), or the network path (net use)

  bool operator==(const DriveMapping& other) const = default;
};

// Held while a program changes this session's drives after its settings; letting go of it
// lets the next one go on.
class DriveChangeLock {
 public:
  virtual ~DriveChangeLock() = default;
};

// A user name and password the user typed for a server. The password stays in here, never
// reaches the logic, and is cleared when this goes.
class AskedCredentials {
 public:
  virtual ~AskedCredentials() = default;
  // Stores them in the system's credential store for the server, in place of what was stored
  // for it; the number of a refusal (a policy that forbids storing, for one).
  virtual ErrorNumber Store() = 0;
  // Undoes Store: the earlier credentials for the server are put back, or none are left.
  virtual void TakeBack() = 0;
};

class PlatformServices {
 public:
  virtual ~PlatformServices() = default;

  // The running program's directory, without a trailing separator except at a drive root.
  virtual std::string ProgramDir() = 0;
  // The system's own program folder, where subst.exe and net.exe are.
  virtual std::string SystemDir() = 0;
  // Starts the program file `program` (a full path; nothing is searched) with `command_line`
  // as the command line it receives, and returns at once. The program gets a console without
  // a window and a standard input that ends at once. 53 when the program cannot be found,
  // another number for any other failure; on success `started` watches it.
  virtual ErrorNumber RunCommand(const std::string& program, const std::string& command_line,
                                 WindowStyle style, std::unique_ptr<StartedCommand>& started) = 0;
  // Milliseconds on a clock that only moves forward.
  virtual std::int64_t NowMs() = 0;
  // Returns when one of `commands` has ended or `timeout_ms` has passed, handling window
  // messages meanwhile so that the program keeps answering the system.
  virtual void WaitForCommands(const std::vector<StartedCommand*>& commands,
                               std::int64_t timeout_ms) = 0;
  // What the letter ("X:") is mapped to now.
  virtual DriveMapping CurrentMapping(const std::string& drive) = 0;
  // One bit for each drive letter that has a drive: bit 0 for A, bit 25 for Z.
  virtual std::uint32_t LogicalDrives() = 0;
  virtual DriveKind DriveType(const std::string& root_path) = 0;
  // Lowest byte: major version; next byte: minor version.
  virtual std::uint32_t OsVersionWord() = 0;
  // Modal; returns the pressed button (kAnswerYes, ...).
  virtual int MessageBox(const std::string& text, int style, const std::string& title) = 0;
  virtual void Beep() = 0;
  // False when the drives this program maps would not show in the user's shell: it runs
  // elevated and the shell's process does not, and an elevated token has drive letters of its
  // own. True when there is no shell to compare with.
  virtual bool ShellSeesOurDrives() = 0;
  // Waits, handling window messages, until no other program of this session is changing the
  // drives, and keeps the others waiting while the returned lock lives. Nothing when the lock
  // cannot be made; the caller then goes on unguarded, as a lone program would.
  virtual std::unique_ptr<DriveChangeLock> HoldDriveChanges() = 0;
  // Asks the user for a user name and password for `server` (the host as a network path
  // writes it); nothing when the user cancels.
  virtual std::unique_ptr<AskedCredentials> AskCredentials(const std::string& server) = 0;
  // Processes pending window messages so that changed labels are painted.
  virtual void PumpEvents() = 0;
  // Closes every window and ends the program. The caller returns straight after it;
  // nothing of the logic runs once this has been called.
  virtual void EndProgram() = 0;
};

// Joins the program directory and a file name without doubling the separator at a drive root.
std::string program_file(const std::string& program_dir, const std::string& file_name);

}  // namespace ndek
