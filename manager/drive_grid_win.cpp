#include "manager/drive_grid_win.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "manager/grid_keys.h"
#include "manager/ui_font_win.h"
#include "platform/twips.h"
#include "platform/win32/strings_win.h"

namespace ndek {

namespace {

constexpr wchar_t kClassName[] = L"NDekDriveGrid";
constexpr int kRowHeightTwips = 240;
constexpr int kTextIndent = 2;  // pixels at 96 DPI, between a cell's edge and its text
constexpr COLORREF kGridLineColour = RGB(192, 192, 192);

RECT to_rect(const PixelRect& r) { return {r.left, r.top, r.right, r.bottom}; }

std::optional<GridMove> grid_move(WPARAM key, bool ctrl) {
  switch (key) {
    case VK_UP:
      return GridMove::kUp;
    case VK_DOWN:
      return GridMove::kDown;
    case VK_LEFT:
      return GridMove::kLeft;
    case VK_RIGHT:
      return GridMove::kRight;
    case VK_PRIOR:
      return GridMove::kPageUp;
    case VK_NEXT:
      return GridMove::kPageDown;
    case VK_HOME:
      return ctrl ? GridMove::kFirstCell : GridMove::kRowStart;
    case VK_END:
      return ctrl ? GridMove::kLastCell : GridMove::kRowEnd;
    default:
      return std::nullopt;
  }
}

bool key_down(int key) { return GetKeyState(key) < 0; }

// The scroll bar codes are the same for both bars (SB_LINEUP is SB_LINELEFT, ...).
std::optional<ScrollRequest> scroll_request(WORD code) {
  switch (code) {
    case SB_LINEUP:
      return ScrollRequest::kLineBack;
    case SB_LINEDOWN:
      return ScrollRequest::kLineForward;
    case SB_PAGEUP:
      return ScrollRequest::kPageBack;
    case SB_PAGEDOWN:
      return ScrollRequest::kPageForward;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      return ScrollRequest::kTo;
    case SB_TOP:
      return ScrollRequest::kStart;
    case SB_BOTTOM:
      return ScrollRequest::kEnd;
    default:
      return std::nullopt;
  }
}

}  // namespace

DriveGridWin::DriveGridWin(DriveTable& table, std::function<void()> on_double_click)
    : table_(table),
      on_double_click_(std::move(on_double_click)),
      geometry_(DriveTable::kRows, std::vector<int>(DriveTable::kCols, 1), 1) {}

bool DriveGridWin::create(HWND parent, int control_id, HINSTANCE instance) {
  return register_class(instance, kClassName, nullptr, CS_DBLCLKS, ClassIcon::kNone) &&
         WindowBase::create(WS_EX_CLIENTEDGE, kClassName, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL, parent,
                            instance, control_id);
}

void DriveGridWin::place(const RECT& bounds, Dpi dpi) {
  dpi_ = dpi;
  font_ = create_ui_font(dpi);
  update_geometry();
  MoveWindow(hwnd(), bounds.left, bounds.top, bounds.right - bounds.left,
             bounds.bottom - bounds.top, TRUE);
  update_scroll_bars();
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void DriveGridWin::refresh() {
  update_geometry();
  after_scroll();
  publish_current_row();
}

void DriveGridWin::update_geometry() {
  std::vector<int> widths;
  for (int col = 0; col < DriveTable::kCols; ++col) {
    widths.push_back(std::max(twips_to_pixels(table_.col_width(col), dpi_), 1));
  }
  geometry_.set_cell_sizes(std::move(widths), twips_to_pixels(kRowHeightTwips, dpi_));
  RECT client{};
  GetClientRect(hwnd(), &client);
  geometry_.set_view(client.right, client.bottom);
}

void DriveGridWin::update_scroll_bars() {
  // Showing one bar takes room from the other direction, so settle in two passes.
  for (int pass = 0; pass < 2; ++pass) {
    RECT client{};
    GetClientRect(hwnd(), &client);
    geometry_.set_view(client.right, client.bottom);

    SCROLLINFO vertical{};
    vertical.cbSize = sizeof vertical;
    vertical.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    vertical.nMin = 1;
    vertical.nMax = geometry_.rows() - 1;
    vertical.nPage = static_cast<UINT>(geometry_.page_rows());
    vertical.nPos = geometry_.top_row();
    SetScrollInfo(hwnd(), SB_VERT, &vertical, TRUE);

    SCROLLINFO horizontal{};
    horizontal.cbSize = sizeof horizontal;
    horizontal.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    horizontal.nMin = 0;
    horizontal.nMax = geometry_.scrolling_width() - 1;
    horizontal.nPage = static_cast<UINT>(geometry_.view_scrolling_width());
    horizontal.nPos = geometry_.scroll_x();
    SetScrollInfo(hwnd(), SB_HORZ, &horizontal, TRUE);
  }
}

void DriveGridWin::after_scroll() {
  update_scroll_bars();
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void DriveGridWin::after_move() {
  geometry_.bring_into_view(table_.row(), table_.col());
  after_scroll();
  publish_current_row();
}

void DriveGridWin::publish_current_row() {
  // Screen readers (and anything else outside) read the grid as its current row's text.
  const std::wstring text = to_wide(row_text(table_, table_.row()));
  SetWindowTextW(hwnd(), text.c_str());
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd(), OBJID_CLIENT, CHILDID_SELF);
  if (GetFocus() == hwnd()) NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd(), OBJID_CLIENT, CHILDID_SELF);
}

bool DriveGridWin::selected(int row, int col) const {
  if (row == table_.row() && col == table_.col()) return false;  // it carries the focus mark
  const int top = std::min(table_.row(), table_.anchor_row());
  const int bottom = std::max(table_.row(), table_.anchor_row());
  const int left = std::min(table_.col(), table_.anchor_col());
  const int right = std::max(table_.col(), table_.anchor_col());
  return row >= top && row <= bottom && col >= left && col <= right;
}

void DriveGridWin::paint_cell(HDC dc, int row, int col) {
  RECT cell = to_rect(geometry_.cell_rect(row, col));
  const bool fixed = row == 0 || col == 0;
  const bool highlighted = !fixed && selected(row, col);
  FillRect(dc, &cell,
           GetSysColorBrush(fixed         ? COLOR_BTNFACE
                            : highlighted ? COLOR_HIGHLIGHT
                                          : COLOR_WINDOW));
  SetTextColor(dc, GetSysColor(fixed         ? COLOR_BTNTEXT
                               : highlighted ? COLOR_HIGHLIGHTTEXT
                                             : COLOR_WINDOWTEXT));
  RECT text_box = cell;
  text_box.left += MulDiv(kTextIndent, dpi_, kDefaultDpi);
  text_box.right -= 1;
  const std::wstring text = to_wide(table_.cell(row, col));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &text_box,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
  if (fixed) {
    DrawEdge(dc, &cell, BDR_RAISEDINNER, BF_RECT);
  } else {
    // Light lines on the right and bottom edges separate the movable cells.
    const RECT right_line{cell.right - 1, cell.top, cell.right, cell.bottom};
    const RECT bottom_line{cell.left, cell.bottom - 1, cell.right, cell.bottom};
    SetBkColor(dc, kGridLineColour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &right_line, nullptr, 0, nullptr);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &bottom_line, nullptr, 0, nullptr);
  }
}

void DriveGridWin::paint() {
  const PaintScope paint(hwnd());
  RECT client{};
  GetClientRect(hwnd(), &client);
  // Drawn off screen first, so that scrolling and moving do not flicker.
  const UniqueMemoryDc memory(CreateCompatibleDC(paint.dc()));
  const UniqueBitmap bitmap(CreateCompatibleBitmap(paint.dc(), std::max<LONG>(client.right, 1),
                                                   std::max<LONG>(client.bottom, 1)));
  if (!memory || !bitmap) {
    paint_cells(paint.dc(), client);
    return;
  }
  const HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
  paint_cells(memory.get(), client);
  BitBlt(paint.dc(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
  SelectObject(memory.get(), old);
}

void DriveGridWin::paint_cells(HDC dc, const RECT& client) {
  FillRect(dc, &client, GetSysColorBrush(COLOR_APPWORKSPACE));
  const HGDIOBJ old_font = SelectObject(dc, font_.get());
  SetBkMode(dc, TRANSPARENT);

  const int fixed_width = geometry_.cell_rect(0, 0).right;
  const int fixed_height = geometry_.row_height();
  const int first_row = geometry_.top_row();
  const int last_row = std::min(geometry_.rows() - 1, first_row + geometry_.page_rows() + 1);

  // The movable cells, then the fixed row and column over whatever scrolled under them.
  {
    const SavedDcState clip(dc);
    IntersectClipRect(dc, fixed_width, fixed_height, client.right, client.bottom);
    for (int row = first_row; row <= last_row; ++row) {
      for (int col = 1; col < geometry_.cols(); ++col) paint_cell(dc, row, col);
    }
    if (table_.row() >= 1 && table_.col() >= 1) {
      RECT focus = to_rect(geometry_.cell_rect(table_.row(), table_.col()));
      InflateRect(&focus, -1, -1);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(COLOR_WINDOW));
      DrawFocusRect(dc, &focus);
    }
  }
  {
    const SavedDcState clip(dc);
    IntersectClipRect(dc, 0, fixed_height, client.right, client.bottom);
    for (int row = first_row; row <= last_row; ++row) paint_cell(dc, row, 0);
  }
  {
    const SavedDcState clip(dc);
    IntersectClipRect(dc, fixed_width, 0, client.right, client.bottom);
    for (int col = 1; col < geometry_.cols(); ++col) paint_cell(dc, 0, col);
  }
  paint_cell(dc, 0, 0);

  SelectObject(dc, old_font);
}

void DriveGridWin::on_scroll(ScrollAxis axis, WORD code) {
  const std::optional<ScrollRequest> request = scroll_request(code);
  if (!request) return;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_TRACKPOS;
  GetScrollInfo(hwnd(), axis == ScrollAxis::kRows ? SB_VERT : SB_HORZ, &info);
  geometry_.scroll(axis, *request, info.nTrackPos);
  after_scroll();
}

void DriveGridWin::on_key(WPARAM key) {
  const std::optional<GridMove> move = grid_move(key, key_down(VK_CONTROL));
  if (!move) return;
  move_current_cell(table_, *move, geometry_.page_rows(), key_down(VK_SHIFT));
  after_move();
}

void DriveGridWin::on_mouse(LPARAM lparam, bool extend) {
  int x = GET_X_LPARAM(lparam);
  int y = GET_Y_LPARAM(lparam);
  if (dragging_) {
    // Dragging past the edge extends the selection to the last cell drawn there.
    x = std::clamp(x, 0, std::max(geometry_.used_width() - 1, 0));
    y = std::clamp(y, 0, std::max(geometry_.used_height() - 1, 0));
  }
  const std::optional<GridCell> cell = geometry_.cell_at(x, y);
  if (!cell) return;
  if (extend && cell->row == table_.row() && cell->col == table_.col()) return;
  table_.select(cell->row, cell->col, extend);
  after_move();
}

void DriveGridWin::on_button_down(WPARAM wparam, LPARAM lparam) {
  SetFocus(hwnd());
  on_mouse(lparam, (wparam & MK_SHIFT) != 0);
  SetCapture(hwnd());
  dragging_ = true;
}

void DriveGridWin::on_focus_change(bool gained) {
  InvalidateRect(hwnd(), nullptr, FALSE);
  if (gained) NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd(), OBJID_CLIENT, CHILDID_SELF);
}

LRESULT DriveGridWin::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      after_scroll();
      return 0;
    case WM_VSCROLL:
      on_scroll(ScrollAxis::kRows, LOWORD(wparam));
      return 0;
    case WM_HSCROLL:
      on_scroll(ScrollAxis::kX, LOWORD(wparam));
      return 0;
    case WM_MOUSEWHEEL:
      geometry_.scroll_wheel(GET_WHEEL_DELTA_WPARAM(wparam));
      after_scroll();
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_KEYDOWN:
      on_key(wparam);
      return 0;
    case WM_LBUTTONDOWN:
      on_button_down(wparam, lparam);
      return 0;
    case WM_MOUSEMOVE:
      if (dragging_ && (wparam & MK_LBUTTON) != 0) on_mouse(lparam, true);
      return 0;
    case WM_LBUTTONUP:
      if (dragging_) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      dragging_ = false;
      return 0;
    case WM_LBUTTONDBLCLK:
      if (on_double_click_) on_double_click_();
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      on_focus_change(message == WM_SETFOCUS);
      return 0;
    default:
      return DefWindowProcW(hwnd(), message, wparam, lparam);
  }
}

}  // namespace ndek
