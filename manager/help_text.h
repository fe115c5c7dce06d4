#pragma once
// The help file NDek.hlp: plain UTF-8 text, with or without a byte-order mark.
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace ndek {

// The file's text without its byte-order mark; a missing or unreadable file, or one that is
// not UTF-8, leaves `text` empty and returns the failure's number.
ErrorNumber read_help_text(FileSystem& files, const std::string& path, std::string& text);

// Every line break (CR LF, LF or CR) as CR LF, the break a multi-line edit box shows.
std::string with_crlf_breaks(std::string_view text);

}  // namespace ndek
