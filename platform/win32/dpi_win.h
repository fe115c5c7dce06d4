#pragma once
// Windows are laid out at the DPI of the monitor they are on.
#include "platform/win32/win32.h"

#include <string>

#include "platform/twips.h"
#include "platform/win32/unique_handle_win.h"

namespace ndek {

constexpr UINT kDefaultDpi = 96;

// The window's own DPI where the system knows one per window (Windows 10 on), otherwise the
// system DPI.
UINT window_dpi(HWND window);

// A font of `points` points at `dpi`.
UniqueFont create_font(const std::string& face_name, int points, UINT dpi, int weight = FW_NORMAL);

// The outer size of a window whose client area is `client` pixels, for its styles at `dpi`.
SIZE window_size_for_client(HWND window, SIZE client, UINT dpi);

// Moves and sizes the window so that it stands in the middle of its monitor's work area.
void centre_in_work_area(HWND window, SIZE size);

// Places a child window at a position given in twips of its parent's client area.
void place_in_twips(HWND child, const TwipsRect& rect, UINT dpi);

}  // namespace ndek
