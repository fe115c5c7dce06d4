#include "platform/platform_services.h"

namespace ndek {

std::string program_file(const std::string& program_dir, const std::string& file_name) {
  if (!program_dir.empty() && program_dir.back() == '\\') return program_dir + file_name;
  return program_dir + "\\" + file_name;
}

}  // namespace ndek
