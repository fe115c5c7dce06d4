#include "manager/share_credentials.h"

#include <memory>

#include "drives/report_text.h"
#include "manager/manager_text.h"

namespace ndek {

std::string server_of(std::string_view network_path) {
  const std::string_view rest = network_path.substr(network_path.size() < 2 ? 0 : 2);
  return std::string(rest.substr(0, rest.find('\\')));
}

std::optional<std::string> map_with_credentials(PlatformServices& platform,
                                                const DriveSetting& record, const DriveCommand& map,
                                                const CommandOutcome& first,
                                                std::int64_t limit_ms) {
  const std::unique_ptr<AskedCredentials> credentials =
      platform.AskCredentials(server_of(record.folder));
  if (!credentials) return failure_line(progress_text(record), first);
  if (const ErrorNumber err = credentials->Store()) {
    return progress_text(record) + "（" + manager_text::kCredentialsNotStored +
           report_text::kErrorNumberLabel + error_number_text(err) + "）";
  }
  const CommandOutcome retry = run_drive_command(platform, map, limit_ms);
  if (!retry.failed()) return std::nullopt;
  credentials->TakeBack();
  return failure_line(progress_text(record), retry);
}

}  // namespace ndek
