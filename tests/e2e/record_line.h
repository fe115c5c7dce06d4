#pragma once
// One line of record.log: what a recorder standing in for a system command was started with.
// Fields are separated by tabs; a tab, CR, LF or percent sign inside a field is written as
// %09, %0D, %0A or %25, so every argument comes back exactly, blanks and quotes included.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ndek::e2e {

struct RecordLine {
  std::string program;                 // the recorder's own full file name, e.g. "C:\...\subst.exe"
  std::string input;                   // what reading its standard input gave (see recorder.cpp)
  std::string console;                 // its console window: "none", "hidden" or "visible"
  std::string command_line;            // GetCommandLineW() as received
  std::vector<std::string> arguments;  // CommandLineToArgvW of it, the program name first
  bool show_window_set = false;        // STARTF_USESHOWWINDOW
  int show_window = 0;                 // STARTUPINFO.wShowWindow

  bool operator==(const RecordLine& other) const = default;
};

std::string format_record_line(const RecordLine& record);
// Nothing when the line is not one format_record_line wrote.
std::optional<RecordLine> parse_record_line(std::string_view line);

}  // namespace ndek::e2e
