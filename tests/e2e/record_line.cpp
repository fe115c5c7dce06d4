#include "tests/e2e/record_line.h"

#include <charconv>

namespace ndek::e2e {
namespace {

constexpr char kSeparator = '\t';

std::string escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '%':
        out += "%25";
        break;
      case '\t':
        out += "%09";
        break;
      case '\r':
        out += "%0D";
        break;
      case '\n':
        out += "%0A";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::optional<std::string> unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    int value = 0;
    if (text.size() - i < 3) return std::nullopt;
    const auto [end, error] = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
    if (error != std::errc() || end != text.data() + i + 3) return std::nullopt;
    out += static_cast<char>(value);
    i += 2;
  }
  return out;
}

std::vector<std::string_view> split(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find(kSeparator, start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

// "key=value" with the value unescaped; nothing when the key differs.
std::optional<std::string> field(std::string_view text, std::string_view key) {
  if (text.substr(0, key.size()) != key || text.substr(key.size(), 1) != "=") return std::nullopt;
  return unescape(text.substr(key.size() + 1));
}

}  // namespace

std::string format_record_line(const RecordLine& record) {
  std::string line = "program=" + escape(record.program);
  line += kSeparator;
  line += "show=" + std::to_string(record.show_window);
  line += kSeparator;
  line += std::string("showset=") + (record.show_window_set ? "1" : "0");
  line += kSeparator;
  line += "input=" + escape(record.input);
  line += kSeparator;
  line += "console=" + escape(record.console);
  line += kSeparator;
  line += "line=" + escape(record.command_line);
  for (const std::string& argument : record.arguments) {
    line += kSeparator;
    line += "arg=" + escape(argument);
  }
  return line;
}

std::optional<RecordLine> parse_record_line(std::string_view line) {
  const std::vector<std::string_view> fields = split(line);
  if (fields.size() < 6) return std::nullopt;
  RecordLine record;
  const auto program = field(fields[0], "program");
  const auto show = field(fields[1], "show");
  const auto show_set = field(fields[2], "showset");
  const auto input = field(fields[3], "input");
  const auto console = field(fields[4], "console");
  const auto command_line = field(fields[5], "line");
  if (!program || !show || !show_set || !input || !console || !command_line) return std::nullopt;
  record.program = *program;
  record.input = *input;
  record.console = *console;
  record.command_line = *command_line;
  record.show_window_set = *show_set == "1";
  const auto [end, error] =
      std::from_chars(show->data(), show->data() + show->size(), record.show_window);
  if (error != std::errc() || end != show->data() + show->size()) return std::nullopt;
  for (std::size_t i = 6; i < fields.size(); ++i) {
    auto argument = field(fields[i], "arg");
    if (!argument) return std::nullopt;
    record.arguments.push_back(std::move(*argument));
  }
  return record;
}

}  // namespace ndek::e2e
