#include "tests/e2e/window_places.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/win32/unique_handle_win.h"

namespace ndek::e2e {
namespace {

std::string last_error_text(const char* what) {
  return std::string(what) + " failed: error " + std::to_string(GetLastError());
}

// Memory in another process, freed when it goes.
class RemoteMemory {
 public:
  RemoteMemory(HANDLE process, void* address, std::size_t size)
      : process_(process),
        address_(VirtualAllocEx(process, address, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)) {
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  ~RemoteMemory() {
    if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  void* address() const { return address_; }

 private:
  HANDLE process_;
  void* address_;
};

void free_memory(void* address) { VirtualFree(address, 0, MEM_RELEASE); }
using UniqueMemory = UniqueHandle<void*, free_memory>;

// A copy of `bytes` at one address in both this process and `process`. A pointer sent to
// another process's window then means the same bytes whether the system carries them across
// (as it does for the messages it knows) or hands the pointer on as it is (as Wine does here).
class SharedAddressCopy {
 public:
  SharedAddressCopy(HANDLE process, const void* bytes, std::size_t size) {
    // An address free there may be taken here; each try keeps its own, so the next differs.
    for (int attempt = 0; attempt < 16 && !local_; ++attempt) {
      remote_.push_back(std::make_unique<RemoteMemory>(process, nullptr, size));
      void* const address = remote_.back()->address();
      if (address == nullptr) throw HarnessError(last_error_text("VirtualAllocEx"));
      local_.reset(VirtualAlloc(address, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    }
    if (!local_) throw HarnessError(last_error_text("VirtualAlloc"));
    std::memcpy(local_.get(), bytes, size);
    if (!WriteProcessMemory(process, local_.get(), bytes, size, nullptr)) {
      throw HarnessError(last_error_text("WriteProcessMemory"));
    }
  }
  void* address() const { return local_.get(); }

 private:
  std::vector<std::unique_ptr<RemoteMemory>> remote_;
  UniqueMemory local_;
};

bool within_one(int a, int b) { return std::abs(a - b) <= 1; }

}  // namespace

RECT rect_in_parent(HWND control) {
  RECT rect = window_rect(control);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

RECT client_rect_on_screen(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return client;
}

RECT window_rect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

bool same_rect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

std::string describe_rect(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

std::vector<ControlPlace> control_places(HWND window) {
  std::vector<ControlPlace> places;
  for (HWND child : child_windows(window)) {
    if (GetParent(child) != window || window_class(child) == "ComboBox") continue;
    places.push_back({child, rect_in_parent(child)});
  }
  return places;
}

bool scaled_place(const RECT& before, const RECT& now, int from, int to) {
  const auto scale = [from, to](LONG pixels) { return MulDiv(pixels, to, from); };
  return within_one(now.left, scale(before.left)) && within_one(now.top, scale(before.top)) &&
         within_one(now.right - now.left, scale(before.right - before.left)) &&
         within_one(now.bottom - now.top, scale(before.bottom - before.top));
}

void send_dpi_change(const Process& process, HWND window, int dpi, const RECT& suggested) {
  const SharedAddressCopy rect(process.handle(), &suggested, sizeof suggested);
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                           reinterpret_cast<LPARAM>(rect.address()), SMTO_ABORTIFHUNG, 5000,
                           &result)) {
    throw HarnessError(last_error_text("WM_DPICHANGED"));
  }
}

void expect_dpi_change_followed(const Process& process, HWND window, POINT at) {
  const int from = static_cast<int>(GetDpiForWindow(window));
  const int to = from * 3 / 2;
  const std::vector<ControlPlace> before = control_places(window);
  ASSERT_FALSE(before.empty());
  const RECT outer = window_rect(window);
  const RECT suggested{at.x, at.y, at.x + MulDiv(outer.right - outer.left, to, from),
                       at.y + MulDiv(outer.bottom - outer.top, to, from)};
  send_dpi_change(process, window, to, suggested);

  EXPECT_TRUE(same_rect(window_rect(window), suggested))
      << window_text(window) << " stands at " << describe_rect(window_rect(window))
      << ", suggested " << describe_rect(suggested);
  for (const ControlPlace& control : before) {
    const RECT now = rect_in_parent(control.control);
    EXPECT_TRUE(scaled_place(control.at, now, from, to))
        << window_text(control.control) << " went from " << describe_rect(control.at) << " at "
        << from << " dpi to " << describe_rect(now) << " at " << to << " dpi";
  }
}

}  // namespace ndek::e2e
