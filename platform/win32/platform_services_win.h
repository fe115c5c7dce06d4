#pragma once
// The platform services on Windows.
#include "platform/win32/win32.h"

#include <string>

#include "platform/platform_services.h"

namespace ndek {

class Win32Platform : public PlatformServices {
 public:
  // True once EndProgram was called: the message loop stops.
  bool ended() const { return ended_; }

  std::string ProgramDir() override;
  std::string SystemDir() override;
  ErrorNumber RunCommand(const std::string& program, const std::string& command_line,
                         WindowStyle style, std::unique_ptr<StartedCommand>& started) override;
  std::int64_t NowMs() override;
  void WaitForCommands(const std::vector<StartedCommand*>& commands,
                       std::int64_t timeout_ms) override;
  DriveMapping CurrentMapping(const std::string& drive) override;
  std::uint32_t LogicalDrives() override;
  DriveKind DriveType(const std::string& root_path) override;
  std::uint32_t OsVersionWord() override;
  int MessageBox(const std::string& text, int style, const std::string& title) override;
  void Beep() override;
  bool ShellSeesOurDrives() override;
  std::unique_ptr<DriveChangeLock> HoldDriveChanges() override;
  std::unique_ptr<AskedCredentials> AskCredentials(const std::string& server) override;
  void PumpEvents() override;
  // Hides every window of the program and posts the quit message; the message loop ends and
  // the windows are destroyed as the program unwinds.
  void EndProgram() override;

 private:
  bool ended_ = false;
  // The quit message has been taken out of the queue and put back: waiting for messages
  // would only find it again.
  bool quit_pending_ = false;
};

}  // namespace ndek
