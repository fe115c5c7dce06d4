#pragma once
// The drive table's grid: a small owner-drawn control of our own that shows a DriveTable
// and lets the user move its current cell. Everything it changes goes through the table.

#include "platform/win32/win32.h"

#include <functional>

#include "manager/drive_table.h"
#include "manager/grid_geometry.h"
#include "platform/win32/unique_handle_win.h"
#include "platform/win32/window_base_win.h"

namespace ndek {

class DriveGridWin : public WindowBase<DriveGridWin, WindowKind::kChild> {
 public:
  // `on_double_click` runs on a double click anywhere on the grid.
  DriveGridWin(DriveTable& table, std::function<void()> on_double_click);

  bool create(HWND parent, int control_id, HINSTANCE instance);
  // Places the grid (pixels, in the parent's client area) and sizes its cells for `dpi`.
  void place(const RECT& bounds, Dpi dpi);
  // The table changed: show the current cell and draw again.
  void refresh();

 private:
  friend class WindowBase<DriveGridWin, WindowKind::kChild>;

  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);
  void update_geometry();
  void update_scroll_bars();
  // The scroll position changed: the bars follow and the grid is drawn again.
  void after_scroll();
  void after_move();
  void paint();
  void paint_cells(HDC dc, const RECT& client);
  void paint_cell(HDC dc, int row, int col);
  bool selected(int row, int col) const;
  void on_scroll(ScrollAxis axis, WORD request);
  void on_key(WPARAM key);
  void on_mouse(LPARAM lparam, bool extend);
  void on_button_down(WPARAM wparam, LPARAM lparam);
  void on_focus_change(bool gained);
  void publish_current_row();

  DriveTable& table_;
  std::function<void()> on_double_click_;
  GridGeometry geometry_;
  UniqueFont font_;
  Dpi dpi_ = kDefaultDpi;
  bool dragging_ = false;
};

}  // namespace ndek
