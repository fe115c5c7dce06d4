#pragma once
// The operating-system and user-interface operations the logic of both programs calls.
// Only standard types cross this interface so that the logic builds and is tested anywhere.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/error_numbers.h"

namespace ndek {

// How a started program's window is shown.
enum class WindowStyle { kHidden = 0, kNormalFocus = 1, kMinimizedFocus = 2 };

// Message box styles and answers, with the values the messages are specified in.
constexpr int kMbOk = 0;
constexpr int kMbOkExclamation = 48;
constexpr int kMbYesNoExclamation = 52;
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

// Opaque reference to a native window; 0 means none.
using WindowRef = std::uintptr_t;

constexpr int kHelpFinder = 15;

class PlatformServices {
 public:
  virtual ~PlatformServices() = default;

  // The running program's directory, without a trailing separator except at a drive root.
  virtual std::string ProgramDir() = 0;
  // Starts the program named first on the line and returns at once. 53 when the program
  // cannot be found, another number for any other failure.
  virtual ErrorNumber RunCommand(const std::string& command_line, WindowStyle style) = 0;
  // One bit for each drive letter that has a drive: bit 0 for A, bit 25 for Z.
  virtual std::uint32_t LogicalDrives() = 0;
  virtual DriveKind DriveType(const std::string& root_path) = 0;
  // Lowest byte: major version; next byte: minor version.
  virtual std::uint32_t OsVersionWord() = 0;
  // The chosen folder's full path, or nothing when the user cancels.
  virtual std::optional<std::string> BrowseForFolder(WindowRef owner, const std::string& prompt) = 0;
  // Modal; returns the pressed button (kAnswerYes, ...).
  virtual int MessageBox(const std::string& text, int style, const std::string& title) = 0;
  // Opens the help file; a failure comes back as its number.
  virtual ErrorNumber ShowHelp(const std::string& help_file, int command) = 0;
  virtual void Beep() = 0;
  // Processes pending window messages so that changed labels are painted.
  virtual void PumpEvents() = 0;
  // Closes every window and ends the program. The caller returns straight after it;
  // nothing of the logic runs once this has been called.
  virtual void EndProgram() = 0;
};

// Joins the program directory and a file name without doubling the separator at a drive root.
std::string program_file(const std::string& program_dir, const std::string& file_name);

}  // namespace ndek
