#pragma once
// Windows are laid out at the DPI of the monitor they are on.
#include "platform/win32/win32.h"

#include <optional>
#include <string>

#include "platform/twips.h"
#include "platform/win32/unique_handle_win.h"

namespace ndek {

// The DPI the window is drawn at: its own where the system keeps one per window (Windows 10
// from 1607), else its monitor's (Windows 8.1 on), else the system's.
Dpi window_dpi(HWND window);
// The three sources one by one; nothing where the system lacks the call or it fails.
std::optional<Dpi> per_window_dpi(HWND window);
std::optional<Dpi> monitor_dpi(HWND window);
Dpi system_dpi();

// A font of `points` points at `dpi`.
UniqueFont create_font(const std::string& face_name, int points, Dpi dpi, int weight = FW_NORMAL);

// A rectangle given in twips, in pixels at `dpi`.
RECT to_pixels(const TwipsRect& rect, Dpi dpi);

// The outer rectangle of a window whose client area is `client` (pixels), for its styles at
// `dpi`.
RECT window_rect_for_client(HWND window, const RECT& client, Dpi dpi);

// Moves and sizes the window so that it stands in the middle of its monitor's work area.
void centre_in_work_area(HWND window, SIZE size);

}  // namespace ndek
