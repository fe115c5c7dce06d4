#include "manager/help_text.h"

#include <memory>

#include "settings/utf8.h"

namespace ndek {

namespace {
// Help is read whole into an edit box; anything larger is not a help text.
constexpr std::size_t kMaxHelpBytes = 1 << 20;
}  // namespace

ErrorNumber read_help_text(FileSystem& files, const std::string& path, std::string& text) {
  text.clear();
  std::unique_ptr<InputFile> file;
  if (const ErrorNumber err = files.open_read(path, file)) return err;
  std::string bytes;
  char buffer[4096];
  for (;;) {
    std::size_t got = 0;
    if (const ErrorNumber err = file->read(buffer, sizeof buffer, got)) return err;
    if (got == 0) break;
    bytes.append(buffer, got);
    if (bytes.size() > kMaxHelpBytes) return kErrInvalidFileFormat;
  }
  std::string_view content = bytes;
  if (content.substr(0, kUtf8Bom.size()) == kUtf8Bom) content.remove_prefix(kUtf8Bom.size());
  if (!is_valid_utf8(content)) return kErrInvalidFileFormat;
  text.assign(content);
  return kOk;
}

std::string with_crlf_breaks(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      out += "\r\n";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace ndek
