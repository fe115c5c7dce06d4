#include "mounter/startup_window_win.h"

#include "mounter/mounter_text.h"
#include "platform/os_version.h"
#include "platform/twips.h"
#include "platform/win32/strings_win.h"

namespace ndek {
namespace {

constexpr wchar_t kClassName[] = L"NDekStartupWindow";
constexpr int kIconId = 1;
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 500;

constexpr const char* kFontFace = "ＭＳ Ｐゴシック";
constexpr const char* kTitleText = "仮想ドライブ　設定";
constexpr int kTitlePoints = 18;
constexpr int kTextPoints = 9;

constexpr int kClientWidth = 3735;
constexpr int kClientHeight = 855;
// The grey frame's far corner; its lines are two pixels wide at 96 DPI.
constexpr int kFrameRight = 3720;
constexpr int kFrameBottom = 840;
constexpr int kFrameLinePixels = 2;
constexpr COLORREF kFrameColour = RGB(128, 128, 128);

struct ControlLayout {
  int id;
  TwipsRect rect;
};
// `ver` and Label3 lie below the visible client area.
constexpr ControlLayout kLayout[] = {
    {StartupWindow::kLabel1Id, {120, 120, 3495, 495}},
    {StartupWindow::kLabel2Id, {360, 560, 3255, 240}},
    {StartupWindow::kVerId, {0, 1080, 3495, 255}},
    {StartupWindow::kLabel3Id, {0, 1440, 3495, 255}},
};

class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  ~PaintScope() { EndPaint(window_, &paint_); }
  HDC dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

HWND create_label(HWND parent, HINSTANCE instance, int id, const std::string& text, DWORD style) {
  return CreateWindowExW(0, L"STATIC", to_wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0,
                         0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                         nullptr);
}

// A shared icon belongs to the module and is never destroyed.
void set_icon(HWND window, HINSTANCE instance, WPARAM kind, int size) {
  const HANDLE icon =
      LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, size, size, LR_SHARED);
  SendMessageW(window, WM_SETICON, kind, reinterpret_cast<LPARAM>(icon));
}

}  // namespace

StartupWindow::StartupWindow(Win32Platform& platform, const SettingsIo& io)
    : platform_(platform), io_(io) {}

bool StartupWindow::create(HINSTANCE instance, int show_command) {
  const HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
  if (!register_class(instance, kClassName, icon, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)),
                      0)) {
    return false;
  }
  window_.reset(WindowBase::create(WS_EX_TOOLWINDOW, kClassName,
                                   to_wide(mounter_text::kTitle).c_str(), WS_POPUP, 0, 0, 0, 0,
                                   nullptr, instance));
  if (!window_) return false;

  set_icon(hwnd(), instance, ICON_BIG, GetSystemMetrics(SM_CXICON));
  set_icon(hwnd(), instance, ICON_SMALL, GetSystemMetrics(SM_CXSMICON));

  // The size depends on the DPI of the monitor the window is on, known only once it exists.
  create_controls(instance);
  const UINT dpi = window_dpi(hwnd());
  const SIZE client{twips_to_pixels(kClientWidth, static_cast<int>(dpi)),
                    twips_to_pixels(kClientHeight, static_cast<int>(dpi))};
  centre_in_work_area(hwnd(), window_size_for_client(hwnd(), client, dpi));
  apply_dpi(dpi);

  load();
  ShowWindow(hwnd(), show_command);
  UpdateWindow(hwnd());
  // Armed only now, so that the window is on screen for the whole interval before the run.
  SetTimer(hwnd(), kTimer1, kTimer1Interval, nullptr);
  return true;
}

void StartupWindow::create_controls(HINSTANCE instance) {
  create_label(hwnd(), instance, kLabel1Id, kTitleText, SS_LEFT | SS_NOPREFIX);
  // A long folder is cut off rather than wrapped out of sight.
  create_label(hwnd(), instance, kLabel2Id, "", SS_LEFTNOWORDWRAP | SS_NOPREFIX);
  create_label(hwnd(), instance, kVerId, "", SS_LEFT | SS_NOPREFIX);
  create_label(hwnd(), instance, kLabel3Id, "", SS_LEFT | SS_NOPREFIX);
}

void StartupWindow::apply_dpi(UINT dpi) {
  dpi_ = dpi;
  for (const ControlLayout& layout : kLayout) place_in_twips(control(layout.id), layout.rect, dpi);

  UniqueFont title_font = create_font(kFontFace, kTitlePoints, dpi);
  UniqueFont text_font = create_font(kFontFace, kTextPoints, dpi);
  for (const ControlLayout& layout : kLayout) {
    const HFONT font = layout.id == kLabel1Id ? title_font.get() : text_font.get();
    SendMessageW(control(layout.id), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  // The controls no longer use the old fonts, which go now.
  title_font_ = std::move(title_font);
  text_font_ = std::move(text_font);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void StartupWindow::load() {
  ver_data_ = version_from_word(platform_.OsVersionWord());
  SetWindowTextW(control(kVerId), to_wide(version_text(ver_data_)).c_str());
}

void StartupWindow::disable_timer() { KillTimer(hwnd(), kTimer1); }

void StartupWindow::set_progress(const std::string& text) {
  const HWND label2 = control(kLabel2Id);
  SetWindowTextW(label2, to_wide(text).c_str());
  UpdateWindow(label2);
}

void StartupWindow::on_timer() {
  try {
    mount_run(platform_, io_, ver_data_, *this);
  } catch (...) {
    // The program must not stay behind with nothing left to do.
    platform_.EndProgram();
  }
}

void StartupWindow::paint() {
  const PaintScope paint(hwnd());
  const int dpi = static_cast<int>(dpi_);
  const int width = MulDiv(kFrameLinePixels, dpi, kDefaultDpi);
  // Right and bottom edges lie just inside the frame's far corner, so all four lines show in
  // full.
  const int right = twips_to_pixels(kFrameRight, dpi) + 1;
  const int bottom = twips_to_pixels(kFrameBottom, dpi) + 1;
  const RECT lines[] = {
      {0, 0, right, width},                // Line1, top
      {0, 0, width, bottom},               // Line2, left
      {0, bottom - width, right, bottom},  // Line3, bottom
      {right - width, 0, right, bottom},   // Line4, right
  };
  const UniqueBrush grey(CreateSolidBrush(kFrameColour));
  for (const RECT& line : lines) FillRect(paint.dc(), &line, grey.get());
}

LRESULT StartupWindow::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      paint();
      return 0;
    case WM_CTLCOLORSTATIC: {
      const HDC dc = reinterpret_cast<HDC>(wparam);
      SetBkColor(dc, RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    case WM_TIMER:
      if (wparam == kTimer1) on_timer();
      return 0;
    case WM_DPICHANGED: {
      const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      apply_dpi(HIWORD(wparam));
      return 0;
    }
    case WM_DESTROY:
      // Closed from outside before the run: there is nothing left to do.
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      window_.release();
      break;
  }
  return DefWindowProcW(hwnd(), message, wparam, lparam);
}

}  // namespace ndek
