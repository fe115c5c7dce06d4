#pragma once
// The platform services on Windows.
#include "platform/win32/win32.h"

#include <functional>
#include <string>
#include <utility>

#include "platform/platform_services.h"

namespace ndek {

class Win32Platform : public PlatformServices {
 public:
  // Opens a help file; a program that offers help sets one (the mounter does not).
  using HelpViewer = std::function<ErrorNumber(const std::string& help_file, int command)>;
  void set_help_viewer(HelpViewer viewer) { help_viewer_ = std::move(viewer); }
  // Lets the user choose a folder; a program that browses sets one (the mounter does not, and
  // so does not load the shell's DLLs).
  using FolderBrowser = std::optional<std::string> (*)(WindowRef owner, const std::string& prompt);
  void set_folder_browser(FolderBrowser browser) { folder_browser_ = browser; }

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
  std::optional<std::string> BrowseForFolder(WindowRef owner, const std::string& prompt) override;
  int MessageBox(const std::string& text, int style, const std::string& title) override;
  ErrorNumber ShowHelp(const std::string& help_file, int command) override;
  void Beep() override;
  bool ShellSeesOurDrives() override;
  std::unique_ptr<DriveChangeLock> HoldDriveChanges() override;
  std::unique_ptr<AskedCredentials> AskCredentials(const std::string& server) override;
  void PumpEvents() override;
  // Hides every window of the program and posts the quit message; the message loop ends and
  // the windows are destroyed as the program unwinds.
  void EndProgram() override;

 private:
  HelpViewer help_viewer_;
  FolderBrowser folder_browser_ = nullptr;
  bool ended_ = false;
  // The quit message has been taken out of the queue and put back: waiting for messages
  // would only find it again.
  bool quit_pending_ = false;
};

}  // namespace ndek
