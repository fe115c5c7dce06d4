#include "manager/grid_geometry.h"

#include <gtest/gtest.h>

namespace ndek {
namespace {

// The drive grid at 96 DPI: 27 rows of 16 px; columns 47, 67 and 336 px.
GridGeometry drive_grid(int width = 300, int height = 301) {
  GridGeometry grid(27, {47, 67, 336}, 16);
  grid.set_view(width, height);
  return grid;
}

TEST(GridGeometry, ScrollLimitsFollowTheClientAreaAndTheCellSizes) {
  const struct {
    int width, height, page_rows, max_top_row, max_scroll_x;
  } cases[] = {
      {300, 301, 17, 10, 150}, {456, 1000, 61, 1, 0}, {456, 10, 1, 26, 0}};  // smaller than one row
  for (const auto& c : cases) {
    const GridGeometry grid = drive_grid(c.width, c.height);
    EXPECT_EQ(grid.page_rows(), c.page_rows) << c.width << "x" << c.height;
    EXPECT_EQ(grid.max_top_row(), c.max_top_row) << c.width << "x" << c.height;
    EXPECT_EQ(grid.max_scroll_x(), c.max_scroll_x) << c.width << "x" << c.height;
  }
  GridGeometry grid = drive_grid();
  grid.scroll_to_row(8);
  grid.scroll_to_x(100);
  grid.set_cell_sizes({70, 100, 504}, 24);  // the same grid at 144 DPI keeps its place
  grid.set_view(300, 301);
  EXPECT_EQ(grid.top_row(), 8);
  grid.set_view(1000, 1000);  // growing the view takes the scroll back
  EXPECT_EQ(grid.top_row(), 1);
  EXPECT_EQ(grid.scroll_x(), 0);
}

TEST(GridGeometry, FixedRowAndColumnStayWhileTheRestScrolls) {
  GridGeometry grid = drive_grid();
  grid.scroll_to_row(5);
  grid.scroll_to_x(20);
  EXPECT_EQ(grid.cell_rect(0, 0), (PixelRect{0, 0, 47, 16}));
  EXPECT_EQ(grid.cell_rect(0, 2), (PixelRect{94, 0, 430, 16}));
  EXPECT_EQ(grid.cell_rect(7, 1), (PixelRect{27, 48, 94, 64}));
  EXPECT_EQ(grid.cell_rect(4, 1).bottom, 16);  // scrolled away under the header
  EXPECT_EQ(grid.used_height(), 368);
}

TEST(GridGeometry, HitTestFindsTheCellUnderAPoint) {
  GridGeometry grid = drive_grid(456, 301);
  const struct {
    int x, y;
    std::optional<GridCell> cell;
  } cases[] = {
      {46, 15, GridCell{0, 0}}, {47, 16, GridCell{1, 1}}, {449, 40, GridCell{2, 2}},
      {450, 40, std::nullopt},  {-1, 5, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(grid.cell_at(c.x, c.y), c.cell) << c.x << "," << c.y;
  grid.scroll_to_row(10);
  EXPECT_EQ(grid.cell_at(60, 290), std::nullopt);  // below the last row

  GridGeometry narrow = drive_grid();
  narrow.scroll_to_x(70);
  EXPECT_EQ(narrow.cell_at(50, 20), (GridCell{1, 2}));  // column 1 lies under column 0 now
}

TEST(GridGeometry, BringingACellIntoViewScrollsJustEnough) {
  GridGeometry grid = drive_grid();
  const struct {
    int row, col, top_row, scroll_x;
  } steps[] = {
      {20, 1, 4, 0},  // row 20 is the last one in view
      {2, 1, 2, 0},
      {0, 0, 2, 0},   // fixed cells are always in view
      {2, 2, 2, 67},  // wider than the room: its left edge shows
  };
  for (const auto& s : steps) {
    grid.bring_into_view(s.row, s.col);
    EXPECT_EQ(std::pair(grid.top_row(), grid.scroll_x()), std::pair(s.top_row, s.scroll_x))
        << s.row << "," << s.col;
  }
}

TEST(GridGeometry, ScrollRequestsMoveByLinesPagesOrToAPlaceWithinTheLimits) {
  using enum ScrollRequest;
  constexpr ScrollAxis kRows = ScrollAxis::kRows;
  constexpr ScrollAxis kX = ScrollAxis::kX;
  const struct {
    ScrollAxis axis;
    int from;
    ScrollRequest request;
    int position, to;
  } cases[] = {
      {kRows, 5, kLineBack, 0, 4},   {kX, 40, kLineForward, 0, 56}, {kRows, 9, kPageBack, 0, 1},
      {kX, 0, kPageForward, 0, 150}, {kRows, 5, kTo, 40, 10},       {kRows, 5, kStart, 0, 1},
      {kRows, 1, kEnd, 0, 10},
  };
  for (const auto& c : cases) {
    GridGeometry grid = drive_grid();
    const bool rows = c.axis == kRows;
    rows ? grid.scroll_to_row(c.from) : grid.scroll_to_x(c.from);
    grid.scroll(c.axis, c.request, c.position);
    EXPECT_EQ(rows ? grid.top_row() : grid.scroll_x(), c.to)
        << (rows ? "rows" : "x") << " from " << c.from << " by " << static_cast<int>(c.request);
  }
}

TEST(GridGeometry, WheelScrollsThreeRowsANotchAndAddsUpParts) {
  GridGeometry grid = drive_grid();
  grid.scroll_to_row(10);
  for (const auto& [delta, top_row] : {std::pair{120, 7},
                                       {60, 7},
                                       {60, 4},
                                       {-240, 10},
                                       {-40, 10},
                                       {100, 10}}) {  // back and forth: less than a notch
    grid.scroll_wheel(delta);
    EXPECT_EQ(grid.top_row(), top_row) << delta;
  }
}

}  // namespace
}  // namespace ndek
