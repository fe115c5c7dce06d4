#include "manager/grid_geometry.h"

#include <gtest/gtest.h>

namespace ndek {
namespace {

// The drive grid at 96 DPI: 27 rows of 16 px; columns 47, 67 and 336 px.
GridGeometry drive_grid(int width, int height) {
  GridGeometry grid(27, {47, 67, 336}, 16);
  grid.set_view(width, height);
  return grid;
}

TEST(GridGeometry, PagesAndScrollLimitsFollowTheClientArea) {
  const GridGeometry grid = drive_grid(456, 301);  // 301 = header + 17 rows + 13 px
  EXPECT_EQ(grid.page_rows(), 17);
  EXPECT_EQ(grid.max_top_row(), 10);  // rows 10 to 26 fill the last page
  EXPECT_EQ(grid.max_scroll_x(), 0);  // 450 px of columns fit in 456

  const GridGeometry narrow = drive_grid(300, 301);
  EXPECT_EQ(narrow.max_scroll_x(), 403 - 253);

  const GridGeometry tall = drive_grid(456, 1000);
  EXPECT_EQ(tall.max_top_row(), 1);

  const GridGeometry flat = drive_grid(456, 10);  // smaller than one row
  EXPECT_EQ(flat.page_rows(), 1);
  EXPECT_EQ(flat.max_top_row(), 26);
}

TEST(GridGeometry, ScrollingIsClampedToItsLimits) {
  GridGeometry grid = drive_grid(300, 301);
  grid.scroll_to_row(0);
  EXPECT_EQ(grid.top_row(), 1);
  grid.scroll_to_row(99);
  EXPECT_EQ(grid.top_row(), 10);
  grid.scroll_to_x(-5);
  EXPECT_EQ(grid.scroll_x(), 0);
  grid.scroll_to_x(1000);
  EXPECT_EQ(grid.scroll_x(), 150);
  grid.set_view(456, 1000);  // growing the view takes the scroll back
  EXPECT_EQ(grid.top_row(), 1);
  EXPECT_EQ(grid.scroll_x(), 0);
}

TEST(GridGeometry, FixedRowAndColumnStayWhileTheRestScrolls) {
  GridGeometry grid = drive_grid(300, 301);
  grid.scroll_to_row(5);
  grid.scroll_to_x(20);
  EXPECT_EQ(grid.cell_rect(0, 0), (PixelRect{0, 0, 47, 16}));
  EXPECT_EQ(grid.cell_rect(0, 2), (PixelRect{47 + 67 - 20, 0, 47 + 67 - 20 + 336, 16}));
  EXPECT_EQ(grid.cell_rect(5, 0), (PixelRect{0, 16, 47, 32}));
  EXPECT_EQ(grid.cell_rect(7, 1), (PixelRect{27, 48, 94, 64}));
  EXPECT_EQ(grid.cell_rect(4, 1).bottom, 16);  // scrolled away under the header
}

TEST(GridGeometry, HitTestFindsTheCellUnderAPoint) {
  GridGeometry grid = drive_grid(456, 301);
  struct Case {
    int x, y;
    std::optional<GridCell> cell;
  };
  const Case cases[] = {
      {0, 0, GridCell{0, 0}},    {46, 15, GridCell{0, 0}},   {47, 16, GridCell{1, 1}},
      {113, 31, GridCell{1, 1}}, {114, 32, GridCell{2, 2}},  {449, 40, GridCell{2, 2}},
      {450, 40, std::nullopt},   {10, 300, GridCell{18, 0}}, {-1, 5, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(grid.cell_at(c.x, c.y), c.cell) << c.x << "," << c.y;

  grid.scroll_to_row(10);
  EXPECT_EQ(grid.cell_at(60, 20), (GridCell{10, 1}));
  EXPECT_EQ(grid.cell_at(60, 16 * 17 + 5), (GridCell{26, 1}));
  EXPECT_EQ(grid.cell_at(60, 16 * 18 + 5), std::nullopt);  // below the last row

  GridGeometry narrow = drive_grid(300, 301);
  narrow.scroll_to_x(70);
  EXPECT_EQ(narrow.cell_at(50, 20), (GridCell{1, 2}));  // column 1 lies under column 0 now
  EXPECT_EQ(narrow.cell_at(20, 20), (GridCell{1, 0}));
}

TEST(GridGeometry, BringingACellIntoViewScrollsJustEnough) {
  GridGeometry grid = drive_grid(300, 301);
  grid.bring_into_view(20, 1);
  EXPECT_EQ(grid.top_row(), 4);  // row 20 is the last one in view
  grid.bring_into_view(10, 1);
  EXPECT_EQ(grid.top_row(), 4);  // already in view
  grid.bring_into_view(2, 1);
  EXPECT_EQ(grid.top_row(), 2);
  grid.bring_into_view(0, 0);  // fixed cells are always in view
  EXPECT_EQ(grid.top_row(), 2);

  grid.bring_into_view(2, 2);  // wider than the room: its left edge shows
  EXPECT_EQ(grid.scroll_x(), 67);
  grid.bring_into_view(2, 1);
  EXPECT_EQ(grid.scroll_x(), 0);
}

TEST(GridGeometry, ScrollRequestsMoveByLinesPagesOrToAPlaceWithinTheLimits) {
  // 300 x 301: 17 rows a page, rows 1 to 10 on top; 253 px of room for 403 px of columns.
  struct Case {
    ScrollAxis axis;
    int from;
    ScrollRequest request;
    int position;
    int to;
  };
  using enum ScrollRequest;
  constexpr ScrollAxis kRows = ScrollAxis::kRows;
  constexpr ScrollAxis kX = ScrollAxis::kX;
  const Case cases[] = {
      {kRows, 5, kLineBack, 0, 4}, {kRows, 5, kLineForward, 0, 6},
      {kRows, 1, kLineBack, 0, 1}, {kRows, 10, kLineForward, 0, 10},
      {kRows, 9, kPageBack, 0, 1}, {kRows, 2, kPageForward, 0, 10},
      {kRows, 5, kTo, 7, 7},       {kRows, 5, kTo, 40, 10},
      {kRows, 5, kStart, 0, 1},    {kRows, 5, kEnd, 0, 10},
      {kX, 40, kLineBack, 0, 24},  {kX, 40, kLineForward, 0, 56},
      {kX, 10, kLineBack, 0, 0},   {kX, 140, kLineForward, 0, 150},
      {kX, 100, kPageBack, 0, 0},  {kX, 0, kPageForward, 0, 150},
      {kX, 0, kTo, 70, 70},        {kX, 40, kStart, 0, 0},
      {kX, 40, kEnd, 0, 150},
  };
  for (const Case& c : cases) {
    GridGeometry grid = drive_grid(300, 301);
    if (c.axis == kRows) {
      grid.scroll_to_row(c.from);
    } else {
      grid.scroll_to_x(c.from);
    }
    grid.scroll(c.axis, c.request, c.position);
    const int at = c.axis == kRows ? grid.top_row() : grid.scroll_x();
    EXPECT_EQ(at, c.to) << (c.axis == kRows ? "rows" : "x") << " from " << c.from << " by "
                        << static_cast<int>(c.request);
  }
}

TEST(GridGeometry, WheelScrollsThreeRowsANotchAndAddsUpParts) {
  GridGeometry grid = drive_grid(300, 301);
  grid.scroll_to_row(10);
  grid.scroll_wheel(120);
  EXPECT_EQ(grid.top_row(), 7);
  grid.scroll_wheel(60);
  EXPECT_EQ(grid.top_row(), 7);  // half a notch
  grid.scroll_wheel(60);
  EXPECT_EQ(grid.top_row(), 4);
  grid.scroll_wheel(-240);
  EXPECT_EQ(grid.top_row(), 10);
  grid.scroll_wheel(-40);
  grid.scroll_wheel(100);  // the parts going back and forth make less than a notch
  EXPECT_EQ(grid.top_row(), 10);
}

TEST(GridGeometry, NewCellSizesKeepTheScrollPositionWithinTheNewLimits) {
  GridGeometry grid = drive_grid(300, 301);
  grid.scroll_to_row(8);
  grid.scroll_to_x(100);
  grid.set_cell_sizes({70, 100, 504}, 24);  // the same grid at 144 DPI
  grid.set_view(300, 301);
  EXPECT_EQ(grid.page_rows(), 11);
  EXPECT_EQ(grid.top_row(), 8);
  EXPECT_EQ(grid.scroll_x(), 100);
  grid.set_view(1000, 1000);
  EXPECT_EQ(grid.top_row(), 1);
  EXPECT_EQ(grid.scroll_x(), 0);
}

TEST(GridGeometry, UsedAreaEndsAtTheLastCell) {
  GridGeometry grid = drive_grid(456, 301);
  EXPECT_EQ(grid.used_width(), 450);
  EXPECT_EQ(grid.used_height(), 27 * 16);
  grid.scroll_to_row(10);
  EXPECT_EQ(grid.used_height(), 18 * 16);
}

}  // namespace
}  // namespace ndek
