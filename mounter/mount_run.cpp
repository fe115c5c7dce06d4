#include "mounter/mount_run.h"

#include <vector>

#include "mounter/mounter_text.h"
#include "platform/os_version.h"
#include "platform/command_line.h"
#include "settings/drive_command.h"

namespace ndek {
namespace {

struct FailedCommand {
  std::string command;
  ErrorNumber error;
};

// Tells the user the settings are missing or faulty, offers the manager, and ends.
void recover(PlatformServices& platform, const std::string& program_dir, ErrorNumber failure) {
  namespace text = mounter_text;
  const bool missing = failure == kErrFileNotFound || failure == kErrFileExists;
  const int answer = platform.MessageBox(missing ? text::kNotSetUp : text::kFaulty,
                                         kMbYesNoExclamation, text::kTitle);
  if (answer == kAnswerYes) {
    // By bare name the manager is looked up beside this program first; after a faulty read
    // it is started from here by full path, minimised. The path is quoted so that a blank
    // in it cannot make the system start some other program.
    const ErrorNumber err =
        missing ? platform.RunCommand(text::kManagerFileName, WindowStyle::kNormalFocus)
                : platform.RunCommand(
                      quote_argument(program_file(program_dir, text::kManagerFileName)),
                      WindowStyle::kMinimizedFocus);
    if (err != kOk) {
      platform.MessageBox(std::string(text::kManagerNotStarted) + text::kErrorNumberLabel +
                              error_number_text(err),
                          kMbOkExclamation, text::kTitle);
    }
  }
  platform.EndProgram();
}

}  // namespace

std::string progress_text(const DriveSetting& record) {
  return record.drive + mounter_text::kArrow + record.folder;
}

void mount_run(PlatformServices& platform, const SettingsIo& io, float ver_data, MountWindow& window) {
  window.disable_timer();
  const std::string_view persistence = persistence_option(ver_data);
  const std::string program_dir = platform.ProgramDir();

  const SettingsReadResult settings =
      read_settings(io, program_file(program_dir, kSettingsFileName), kMaxRecords);
  if (settings.failure != kOk) return recover(platform, program_dir, settings.failure);

  std::vector<FailedCommand> failed;
  for (const DriveSetting& record : settings.records) {
    const std::optional<std::string> command = compose_drive_command(record, persistence);
    if (!command) return recover(platform, program_dir, kErrTypeMismatch);
    // A command that cannot start does not stop the others; the user hears of it at the end.
    if (ErrorNumber err = platform.RunCommand(*command, WindowStyle::kHidden)) {
      failed.push_back({*command, err});
      continue;
    }
    window.set_progress(progress_text(record));
    platform.PumpEvents();
  }

  if (!failed.empty()) {
    std::string message = mounter_text::kCommandsNotStarted;
    for (const FailedCommand& f : failed) {
      message += f.command + "\r" + mounter_text::kErrorNumberLabel + error_number_text(f.error) + "\r";
    }
    platform.MessageBox(message, kMbOkExclamation, mounter_text::kTitle);
  }
  platform.EndProgram();
}

}  // namespace ndek
