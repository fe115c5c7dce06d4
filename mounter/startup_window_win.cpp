#include "mounter/startup_window_win.h"

#include <span>

#include "mounter/mounter_text.h"
#include "platform/os_version.h"
#include "platform/twips.h"
#include "platform/win32/dpi_win.h"
#include "platform/win32/strings_win.h"

namespace ndek {
namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 500;

constexpr const char* kFontFace = "ＭＳ Ｐゴシック";
constexpr int kTitlePoints = 18;
constexpr int kTextPoints = 9;

constexpr TwipsSize kClientTwips{3735, 855};
// The grey frame's far corner; its lines are two pixels wide at 96 DPI.
constexpr int kFrameRight = 3720;
constexpr int kFrameBottom = 840;
constexpr int kFrameLinePixels = 2;
constexpr COLORREF kFrameColour = RGB(128, 128, 128);

constexpr DWORD kLabel = WS_CHILD | WS_VISIBLE | SS_NOPREFIX;
// Label1 first: it alone has the title font. `ver` and Label3 lie below the visible client
// area; a long folder in Label2 is cut off rather than wrapped out of sight.
constexpr ChildControl kLabels[] = {
    {StartupWindowWin::kLabel1Id,
     L"STATIC",
     L"仮想ドライブ　設定",
     kLabel | SS_LEFT,
     0,
     {120, 120, 3495, 495}},
    {StartupWindowWin::kLabel2Id,
     L"STATIC",
     L"",
     kLabel | SS_LEFTNOWORDWRAP,
     0,
     {360, 560, 3255, 240}},
    {StartupWindowWin::kVerId, L"STATIC", L"", kLabel | SS_LEFT, 0, {0, 1080, 3495, 255}},
    {StartupWindowWin::kLabel3Id, L"STATIC", L"", kLabel | SS_LEFT, 0, {0, 1440, 3495, 255}},
};

}  // namespace

StartupWindowWin::StartupWindowWin(Win32Platform& platform, const SettingsIo& io, Watcher* watcher)
    : platform_(platform), io_(io), watcher_(watcher) {}

bool StartupWindowWin::create(HINSTANCE instance, int show_command) {
  if (!register_class(instance, kStartupWindowClass,
                      static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), 0) ||
      !WindowBase::create(WS_EX_TOOLWINDOW, kStartupWindowClass,
                          to_wide(mounter_text::kTitle).c_str(), WS_POPUP, nullptr, instance) ||
      !create_controls(kLabels)) {
    return false;
  }
  // The size depends on the DPI of the monitor the window is on, known only once it exists.
  centre(kClientTwips);
  lay_out(window_dpi(hwnd()));

  load();
  ShowWindow(hwnd(), show_command);
  UpdateWindow(hwnd());
  // Armed only now, so that the window is on screen for the whole interval before the run.
  SetTimer(hwnd(), kTimer1, kTimer1Interval, nullptr);
  return true;
}

void StartupWindowWin::lay_out(Dpi dpi) {
  dpi_ = dpi;
  const std::span<const ChildControl> labels(kLabels);
  place_controls(labels.first(1), dpi, create_font(kFontFace, kTitlePoints, dpi), 0);
  place_controls(labels.subspan(1), dpi, create_font(kFontFace, kTextPoints, dpi), 1);
}

void StartupWindowWin::load() {
  ver_data_ = version_from_word(platform_.OsVersionWord());
  SetWindowTextW(control(kVerId), to_wide(version_text(ver_data_)).c_str());
}

void StartupWindowWin::disable_timer() { KillTimer(hwnd(), kTimer1); }

void StartupWindowWin::set_progress(const std::string& text) {
  const HWND label2 = control(kLabel2Id);
  SetWindowTextW(label2, to_wide(text).c_str());
  UpdateWindow(label2);
}

void StartupWindowWin::hide() { ShowWindow(hwnd(), SW_HIDE); }

void StartupWindowWin::on_timer() {
  try {
    running_ = true;
    const LetterSet mapped =
        mount_run(platform_, io_, ver_data_, *this,
                  watcher_ != nullptr ? AfterRun::kStay : AfterRun::kEndProgram);
    running_ = false;
    if (watcher_ == nullptr) return;
    handed_over_ = true;
    DestroyWindow(hwnd());
    watcher_->logged_on(mapped);
  } catch (...) {
    // The program must not stay behind with nothing left to do.
    platform_.EndProgram();
  }
}

void StartupWindowWin::paint() {
  const PaintScope paint(hwnd());
  const int width = MulDiv(kFrameLinePixels, dpi_, kDefaultDpi);
  // Right and bottom edges lie just inside the frame's far corner, so all four lines show in
  // full.
  const int right = twips_to_pixels(kFrameRight, dpi_) + 1;
  const int bottom = twips_to_pixels(kFrameBottom, dpi_) + 1;
  const RECT lines[] = {
      {0, 0, right, width},                // Line1, top
      {0, 0, width, bottom},               // Line2, left
      {0, bottom - width, right, bottom},  // Line3, bottom
      {right - width, 0, right, bottom},   // Line4, right
  };
  const UniqueBrush grey(CreateSolidBrush(kFrameColour));
  for (const RECT& line : lines) FillRect(paint.dc(), &line, grey.get());
}

LRESULT StartupWindowWin::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      paint();
      return 0;
    case WM_CTLCOLORSTATIC:
      SetBkColor(reinterpret_cast<HDC>(wparam), RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    case WM_TIMER:
      if (wparam == kTimer1) on_timer();
      return 0;
    case WM_CLOSE:
      // While the run waits for its commands, they are left to finish and the program ends at
      // once.
      if (running_) ExitProcess(0);
      DestroyWindow(hwnd());
      return 0;
    case WM_DESTROY:
      // Closed from outside before the run: there is nothing left to do.
      if (!handed_over_) PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd(), message, wparam, lparam);
  }
}

}  // namespace ndek
