#pragma once
#include "platform/file_system.h"

namespace ndek {

class Win32FileSystem : public FileSystem {
 public:
  ErrorNumber open_read(const std::string& path, std::unique_ptr<InputFile>& file) override;
  ErrorNumber create_temp_beside(const std::string& path, std::unique_ptr<OutputFile>& file,
                                 std::string& temp_path) override;
  ErrorNumber replace(const std::string& from, const std::string& to,
                      const std::string& replaced) override;
  ErrorNumber move(const std::string& from, const std::string& to) override;
  ErrorNumber remove(const std::string& path) override;
  ErrorNumber is_read_only(const std::string& path, bool& read_only) override;
  void remove_leftover_temps(const std::string& path) override;
  void pause_before_retry(std::chrono::milliseconds pause) override;
};

}  // namespace ndek
