#pragma once
// Where the drive grid's cells lie in its window, in pixels. The header row and the label
// column stay in place; the other rows scroll by whole rows, the other columns by pixels.
#include <optional>
#include <vector>

namespace ndek {

struct GridCell {
  int row;
  int col;
  bool operator==(const GridCell& other) const = default;
};

// What a scroll bar asks for: a line or a page back or forward, the thumb's position, or either
// end.
enum class ScrollRequest { kLineBack, kLineForward, kPageBack, kPageForward, kTo, kStart, kEnd };
enum class ScrollAxis { kRows, kX };

struct PixelRect {
  int left;
  int top;
  int right;
  int bottom;
  bool operator==(const PixelRect& other) const = default;
};

class GridGeometry {
 public:
  // One fixed row and one fixed column; every row is `row_height` high.
  GridGeometry(int rows, std::vector<int> col_widths, int row_height);

  // New cell sizes (a new DPI); the scroll position is kept within the limits at the next
  // set_view.
  void set_cell_sizes(std::vector<int> col_widths, int row_height);
  // The client area the grid draws in; the scroll position is kept within the new limits.
  void set_view(int width, int height);

  int rows() const { return rows_; }
  int cols() const { return static_cast<int>(col_widths_.size()); }
  int row_height() const { return row_height_; }
  // The first scrolling row shown, 1 when scrolled to the top.
  int top_row() const { return top_row_; }
  // How far the scrolling columns are moved to the left.
  int scroll_x() const { return scroll_x_; }
  // Scrolling rows that fit wholly below the header, at least one.
  int page_rows() const;
  int max_top_row() const;
  int scrolling_width() const;       // of the columns right of the fixed one
  int view_scrolling_width() const;  // room for them in the client area
  int max_scroll_x() const;

  void scroll_to_row(int top_row);
  void scroll_to_x(int x);
  // Rows scroll by one row a line and by the rows in view a page; columns by a row's height a
  // line and by the room in view a page. kTo goes to `position`.
  void scroll(ScrollAxis axis, ScrollRequest request, int position = 0);
  // The mouse wheel, `delta` in the system's units (120 a notch, positive away from the user):
  // each whole notch scrolls three rows back; parts of a notch add up until they make one.
  void scroll_wheel(int delta);
  // Scrolls just enough for the cell to be wholly in view (as far as it fits).
  void bring_into_view(int row, int col);

  // In client coordinates; cells scrolled away lie outside the client area or under the
  // fixed row or column.
  PixelRect cell_rect(int row, int col) const;
  // The cell under a point, nothing right of the last column or below the last row.
  std::optional<GridCell> cell_at(int x, int y) const;
  // The bottom right corner of the last cell as drawn now.
  int used_width() const;
  int used_height() const;

 private:
  int col_left(int col) const;  // before scrolling

  int rows_;
  std::vector<int> col_widths_;
  int row_height_;
  int view_width_ = 0;
  int view_height_ = 0;
  int top_row_ = 1;
  int scroll_x_ = 0;
  int wheel_delta_ = 0;  // the part of a notch not yet scrolled
};

}  // namespace ndek
