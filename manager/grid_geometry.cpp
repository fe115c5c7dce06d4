#include "manager/grid_geometry.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace ndek {
namespace {

constexpr int kWheelNotch = 120;
constexpr int kWheelRows = 3;

}  // namespace

GridGeometry::GridGeometry(int rows, std::vector<int> col_widths, int row_height)
    : rows_(rows), col_widths_(std::move(col_widths)), row_height_(std::max(row_height, 1)) {}

void GridGeometry::set_cell_sizes(std::vector<int> col_widths, int row_height) {
  col_widths_ = std::move(col_widths);
  row_height_ = std::max(row_height, 1);
}

void GridGeometry::set_view(int width, int height) {
  view_width_ = std::max(width, 0);
  view_height_ = std::max(height, 0);
  scroll_to_row(top_row_);
  scroll_to_x(scroll_x_);
}

int GridGeometry::page_rows() const {
  return std::max((view_height_ - row_height_) / row_height_, 1);
}

int GridGeometry::max_top_row() const { return std::max(rows_ - page_rows(), 1); }

int GridGeometry::scrolling_width() const {
  return std::accumulate(col_widths_.begin() + 1, col_widths_.end(), 0);
}

int GridGeometry::view_scrolling_width() const {
  return std::max(view_width_ - col_widths_.front(), 0);
}

int GridGeometry::max_scroll_x() const {
  return std::max(scrolling_width() - view_scrolling_width(), 0);
}

void GridGeometry::scroll_to_row(int top_row) { top_row_ = std::clamp(top_row, 1, max_top_row()); }

void GridGeometry::scroll_to_x(int x) { scroll_x_ = std::clamp(x, 0, max_scroll_x()); }

void GridGeometry::scroll(ScrollAxis axis, ScrollRequest request, int position) {
  const bool rows = axis == ScrollAxis::kRows;
  const int now = rows ? top_row_ : scroll_x_;
  const int line = rows ? 1 : row_height_;
  const int page = rows ? page_rows() : view_scrolling_width();
  int target = now;
  switch (request) {
    case ScrollRequest::kLineBack:
      target = now - line;
      break;
    case ScrollRequest::kLineForward:
      target = now + line;
      break;
    case ScrollRequest::kPageBack:
      target = now - page;
      break;
    case ScrollRequest::kPageForward:
      target = now + page;
      break;
    case ScrollRequest::kTo:
      target = position;
      break;
    case ScrollRequest::kStart:
      target = 0;  // before the first row and the left edge; clamped to them
      break;
    case ScrollRequest::kEnd:
      target = rows ? max_top_row() : max_scroll_x();
      break;
  }
  if (rows) {
    scroll_to_row(target);
  } else {
    scroll_to_x(target);
  }
}

void GridGeometry::scroll_wheel(int delta) {
  wheel_delta_ += delta;
  const int notches = wheel_delta_ / kWheelNotch;
  wheel_delta_ -= notches * kWheelNotch;
  scroll_to_row(top_row_ - notches * kWheelRows);
}

void GridGeometry::bring_into_view(int row, int col) {
  if (row >= 1 && row < rows_) {
    if (row < top_row_) {
      scroll_to_row(row);
    } else if (row >= top_row_ + page_rows()) {
      scroll_to_row(row - page_rows() + 1);
    }
  }
  if (col >= 1 && col < cols()) {
    const int left = col_left(col) - col_widths_.front();
    const int right = left + col_widths_[col];
    if (left < scroll_x_) {
      scroll_to_x(left);
    } else if (right > scroll_x_ + view_scrolling_width()) {
      // A column wider than the room shows its left edge.
      scroll_to_x(std::min(left, right - view_scrolling_width()));
    }
  }
}

int GridGeometry::col_left(int col) const {
  return std::accumulate(col_widths_.begin(), col_widths_.begin() + col, 0);
}

PixelRect GridGeometry::cell_rect(int row, int col) const {
  const int top = row == 0 ? 0 : (row - top_row_ + 1) * row_height_;
  const int left = col == 0 ? 0 : col_left(col) - scroll_x_;
  return {left, top, left + col_widths_[col], top + row_height_};
}

std::optional<GridCell> GridGeometry::cell_at(int x, int y) const {
  if (x < 0 || y < 0) return std::nullopt;
  const int row = y < row_height_ ? 0 : top_row_ + (y - row_height_) / row_height_;
  if (row >= rows_) return std::nullopt;
  int col = 0;
  if (x >= col_widths_.front()) {
    int right = col_widths_.front() - scroll_x_;
    for (col = 1; col < cols(); ++col) {
      right += col_widths_[col];
      if (x < right) break;
    }
    if (col == cols()) return std::nullopt;
  }
  return GridCell{row, col};
}

int GridGeometry::used_width() const { return col_left(cols()) - scroll_x_; }

int GridGeometry::used_height() const { return (rows_ - top_row_ + 1) * row_height_; }

}  // namespace ndek
