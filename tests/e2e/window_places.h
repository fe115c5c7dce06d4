#pragma once
// Where the windows of a program under test stand, and a DPI change as the system would
// announce it to one of them.
#include "platform/win32/win32.h"

#include <string>
#include <vector>

#include "tests/e2e/harness.h"

namespace ndek::e2e {

// Where a control stands in its parent's client area.
RECT rect_in_parent(HWND control);
RECT client_rect_on_screen(HWND window);
RECT window_rect(HWND window);
bool same_rect(const RECT& a, const RECT& b);
// "left,top widthxheight"
std::string describe_rect(const RECT& rect);

// The direct children of `window` whose place follows the DPI alone, with their places now.
// A combo box is left out: its height follows its font.
struct ControlPlace {
  HWND control;
  RECT at;
};
std::vector<ControlPlace> control_places(HWND window);

// True when `now` is `before` (taken at `from` DPI) laid out again at `to` DPI: left, top,
// width and height each within the one pixel that rounding at either DPI may give.
bool scaled_place(const RECT& before, const RECT& now, int from, int to);

// Tells a window of `process` that its DPI changed to `dpi` and suggests a rectangle for it,
// as the system does when the window moves to another monitor. The message points at the
// rectangle, which is therefore put at one address in the program's memory and in ours.
void send_dpi_change(const Process& process, HWND window, int dpi, const RECT& suggested);

// Announces to `window` a DPI half as high again as its own, suggesting a rectangle of the
// scaled size with its top left corner at `at`; expects the window to take that rectangle and
// to lay out its controls again at the new DPI.
void expect_dpi_change_followed(const Process& process, HWND window, POINT at);

}  // namespace ndek::e2e
