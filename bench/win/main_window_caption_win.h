#pragma once
// The caption the start-up timing waits for: the manager's main window, and the bare window
// that stands beside it in the comparison.
#include "platform/win32/win32.h"

namespace ndek::bench {

inline constexpr wchar_t kMainWindowCaption[] = L"仮想ドライブマネージャー";

}  // namespace ndek::bench
