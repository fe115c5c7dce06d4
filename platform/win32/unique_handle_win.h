#pragma once
// One move-only owner for every kind of handle: a kind is its handle type, the function that
// closes it and the value that means "no handle".
#include "platform/win32/win32.h"
#include <objbase.h>

#include <cstdint>
#include <utility>

namespace ndek {

template <class H, auto Close, std::intptr_t Invalid = 0>
class UniqueHandle {
 public:
  static H invalid() { return reinterpret_cast<H>(Invalid); }

  UniqueHandle() = default;
  explicit UniqueHandle(H handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  H get() const { return handle_; }
  explicit operator bool() const { return handle_ != invalid(); }
  H release() { return std::exchange(handle_, invalid()); }
  void reset(H handle = invalid()) {
    if (handle_ != invalid()) Close(handle_);
    handle_ = handle;
  }

 private:
  H handle_ = invalid();
};

inline void release_screen_dc(HDC dc) { ReleaseDC(nullptr, dc); }

// CreateFile and FindFirstFile say "none" with INVALID_HANDLE_VALUE, the others with null.
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseHandle>;
using UniqueFileHandle = UniqueHandle<HANDLE, CloseHandle, -1>;
using UniqueFindHandle = UniqueHandle<HANDLE, FindClose, -1>;
using UniqueFont = UniqueHandle<HFONT, DeleteObject>;
using UniqueBrush = UniqueHandle<HBRUSH, DeleteObject>;
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteObject>;
using UniqueMemoryDc = UniqueHandle<HDC, DeleteDC>;
using UniqueScreenDc = UniqueHandle<HDC, release_screen_dc>;
using UniqueWindow = UniqueHandle<HWND, DestroyWindow>;
using UniqueAccelerators = UniqueHandle<HACCEL, DestroyAcceleratorTable>;
using UniqueCoTaskMem = UniqueHandle<void*, CoTaskMemFree>;  // PIDLs from the shell
using UniqueModule = UniqueHandle<HMODULE, FreeLibrary>;

// BeginPaint and EndPaint, as a pair.
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

// SaveDC and RestoreDC, as a pair: whatever is selected or clipped in between is undone.
class SavedDcState {
 public:
  explicit SavedDcState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  SavedDcState(const SavedDcState&) = delete;
  SavedDcState& operator=(const SavedDcState&) = delete;
  ~SavedDcState() { RestoreDC(dc_, saved_); }

 private:
  HDC dc_;
  int saved_;
};

}  // namespace ndek
