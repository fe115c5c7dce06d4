#pragma once
// The Windows API for every Win32 file. The API's MessageBox macro goes here, once: it would
// rename the platform operation of that name in some files and not in others.
#include <windows.h>
#undef MessageBox

namespace ndek {

// Long enough for any path the system accepts with the long-path prefix.
constexpr DWORD kMaxPathChars = 32768;

// A function looked up at run time, for one a system may lack: nullptr when the module or the
// function is missing. The caller names the function's pointer type once, here, instead of
// casting what GetProcAddress returns.
template <typename FunctionPointer>
FunctionPointer find_function(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<FunctionPointer>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace ndek
