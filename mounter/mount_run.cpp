#include "mounter/mount_run.h"

#include "drives/drive_command.h"
#include "drives/report_text.h"
#include "mounter/command_watch.h"
#include "mounter/mounter_text.h"
#include "platform/command_line.h"
#include "platform/os_version.h"

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
    platform.MessageBox(std::string(text::kManagerNotStarted) + report_text::kErrorNumberLabel +
                            error_number_text(err),
                        kMbOkExclamation, text::kTitle);
  }
}

// The letter of each command started, in order (0 when its field names none).
struct Started {
  std::vector<LetterSet> letters;

  LetterSet succeeded(const CommandWatch& watch) const {
    LetterSet set = 0;
    const std::vector<bool> successes = watch.successes();
    for (std::size_t i = 0; i < successes.size() && i < letters.size(); ++i) {
      if (successes[i]) set |= letters[i];
    }
    return set;
  }
};

}  // namespace

LetterSet mount_run(PlatformServices& platform, const SettingsIo& io, float ver_data,
                    MountWindow& window, AfterRun after) {
  window.disable_timer();
  const std::int64_t began = platform.NowMs();
  const std::string_view persistence = persistence_option(ver_data);
  const std::string program_dir = platform.ProgramDir();
  const auto end = [&] {
    if (after == AfterRun::kEndProgram) platform.EndProgram();
  };

  const SettingsReadResult settings = read_settings(io, settings_path(program_dir), kMaxRecords);
  if (settings.failure != kOk) {
    ask_to_start_manager(platform, program_dir, settings.failure);
    end();
    return 0;
  }

  CommandWatch watch(platform, began);
  LetterSet mapped = 0;
  Started started;
  // Letters held by something else are known at once, and are listed first.
  std::vector<std::string> failures;
  for (const DriveSetting& record : settings.records) {
    const std::optional<DriveCommand> command = compose_drive_command(record, persistence);
    if (!command) {
      // The records after it are not issued; those before it are still followed to the end.
      ask_to_start_manager(platform, program_dir, kErrTypeMismatch);
      break;
    }
    const LetterCheck letter = check_letter(platform, record);
    if (letter.state == LetterCheck::State::kHeld) {
      failures.push_back(progress_text(record) + "（" + letter.reason + "）");
      continue;
    }
    if (letter.state == LetterCheck::State::kMapped) {
      // Already there from an earlier run in this log-on: shown as if it had just been made.
      mapped |= letter_bit(record.drive).value_or(0);
    } else {
      started.letters.push_back(letter_bit(record.drive).value_or(0));
      // A command that cannot start does not stop the others; the user hears of it at the end.
      if (watch.start(progress_text(record), *command, is_network_path(record.folder)) != kOk) {
        continue;
      }
    }
    window.set_progress(progress_text(record));
    platform.PumpEvents();
  }

  // The window goes as soon as the last command is started; the waiting is not shown.
  window.hide();
  watch.wait();
  mapped |= started.succeeded(watch);
  const std::string report = watch.report(std::move(failures));
  if (!report.empty()) {
    // It comes minutes after log-on, likely behind whatever the user has opened since.
    platform.MessageBox(report, kMbOkExclamation | kMbTopmost | kMbSetForeground,
                        mounter_text::kTitle);
  }
  end();
  return mapped;
}

LetterSet remount(PlatformServices& platform, const SettingsIo& io, float ver_data,
                  LetterSet mapped) {
  const std::unique_ptr<DriveChangeLock> lock = platform.HoldDriveChanges();
  const SettingsReadResult settings =
      read_settings(io, settings_path(platform.ProgramDir()), kMaxRecords);
  if (settings.failure != kOk) return mapped;

  CommandWatch watch(platform, platform.NowMs());
  Started started;
  for (const DriveSetting& record : settings.records) {
    const std::optional<LetterSet> bit = letter_bit(record.drive);
    if (!bit || (mapped & *bit) != 0) continue;
    const LetterCheck letter = check_letter(platform, record);
    if (letter.state == LetterCheck::State::kMapped) mapped |= *bit;
    if (letter.state != LetterCheck::State::kFree) continue;
    const std::optional<DriveCommand> command =
        compose_drive_command(record, persistence_option(ver_data));
    if (!command) continue;
    started.letters.push_back(*bit);
    watch.start(progress_text(record), *command, is_network_path(record.folder));
  }
  watch.wait();
  return mapped | started.succeeded(watch);
}

}  // namespace ndek
