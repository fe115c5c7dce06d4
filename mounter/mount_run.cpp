#include "mounter/mount_run.h"

#include "mounter/command_watch.h"
#include "mounter/mounter_text.h"
#include "platform/command_line.h"
#include "platform/os_version.h"
#include "settings/drive_command.h"

namespace ndek {
namespace {

// Tells the user the settings are missing or faulty and offers the manager.
void ask_to_start_manager(PlatformServices& platform, const std::string& program_dir,
                          ErrorNumber failure) {
  namespace text = mounter_text;
  const bool missing = failure == kErrFileNotFound || failure == kErrFileExists;
  const int answer = platform.MessageBox(missing ? text::kNotSetUp : text::kFaulty,
                                         kMbYesNoExclamation, text::kTitle);
  if (answer != kAnswerYes) return;
  // Always the manager beside this program, never one of the same name elsewhere. After a
  // faulty read it is minimised, and its command line is its quoted full path.
  const std::string manager = program_file(program_dir, text::kManagerFileName);
  std::unique_ptr<StartedCommand> started;
  const ErrorNumber err = missing ? platform.RunCommand(manager, text::kManagerFileName,
                                                        WindowStyle::kNormalFocus, started)
                                  : platform.RunCommand(manager, quote_argument(manager),
                                                        WindowStyle::kMinimizedFocus, started);
  if (err != kOk) {
    platform.MessageBox(
        std::string(text::kManagerNotStarted) + text::kErrorNumberLabel + error_number_text(err),
        kMbOkExclamation, text::kTitle);
  }
}

}  // namespace

void mount_run(PlatformServices& platform, const SettingsIo& io, float ver_data,
               MountWindow& window) {
  window.disable_timer();
  const std::int64_t began = platform.NowMs();
  const std::string_view persistence = persistence_option(ver_data);
  const std::string program_dir = platform.ProgramDir();

  const SettingsReadResult settings =
      read_settings(io, program_file(program_dir, kSettingsFileName), kMaxRecords);
  if (settings.failure != kOk) {
    ask_to_start_manager(platform, program_dir, settings.failure);
    platform.EndProgram();
    return;
  }

  CommandWatch watch(platform, began);
  for (const DriveSetting& record : settings.records) {
    const std::optional<DriveCommand> command = compose_drive_command(record, persistence);
    if (!command) {
      // The records after it are not issued; those before it are still followed to the end.
      ask_to_start_manager(platform, program_dir, kErrTypeMismatch);
      break;
    }
    // A command that cannot start does not stop the others; the user hears of it at the end.
    if (watch.start(progress_text(record), *command, is_network_path(record.folder)) != kOk) {
      continue;
    }
    window.set_progress(progress_text(record));
    platform.PumpEvents();
  }

  // The window goes as soon as the last command is started; the waiting is not shown.
  window.hide();
  watch.wait();
  const std::string report = watch.report();
  if (!report.empty()) platform.MessageBox(report, kMbOkExclamation, mounter_text::kTitle);
  platform.EndProgram();
}

}  // namespace ndek
