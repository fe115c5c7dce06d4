#pragma once
// The manager's one font, for its buttons, boxes and the drive grid.
#include "platform/win32/dpi_win.h"

namespace ndek {

inline UniqueFont create_ui_font(Dpi dpi) { return create_font("ＭＳ Ｐゴシック", 9, dpi); }

}  // namespace ndek
