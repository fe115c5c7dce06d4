#pragma once
#include <string>
#include <string_view>

namespace ndek {

// The directory part of a full file path, without a trailing backslash except at a drive
// root: "C:\Tools\NDek.exe" -> "C:\Tools", "C:\NDek.exe" -> "C:\".
std::wstring directory_of(std::wstring_view file_path);

// The running program's full file name, however long; empty when the system cannot say.
std::wstring module_path();

}  // namespace ndek
