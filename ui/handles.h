#pragma once
// One move-only owner per kind of system handle, and scopes for the calls that come in pairs.
#include <windows.h>

#include <utility>

namespace vevidav::ui {

// Owns a handle of type H that `Close` releases; `Empty` is the value that owns nothing.
template <class H, auto Close, H Empty = H{}>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(H handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Empty)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, Empty));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  H get() const { return handle_; }
  explicit operator bool() const { return handle_ != Empty; }
  H release() { return std::exchange(handle_, Empty); }
  void reset(H handle = Empty) {
    H old = std::exchange(handle_, handle);
    if (old != Empty) Close(old);
  }

 private:
  H handle_ = Empty;
};

inline void CloseWindowHandle(HWND h) { DestroyWindow(h); }
inline void CloseGdiObject(HGDIOBJ h) { DeleteObject(h); }
inline void CloseIconHandle(HICON h) { DestroyIcon(h); }
inline void CloseDcHandle(HDC h) { DeleteDC(h); }

using UniqueWindow = UniqueHandle<HWND, CloseWindowHandle>;
using UniqueBrush = UniqueHandle<HBRUSH, CloseGdiObject>;
using UniqueBitmap = UniqueHandle<HBITMAP, CloseGdiObject>;
using UniqueIcon = UniqueHandle<HICON, CloseIconHandle>;
using UniqueDc = UniqueHandle<HDC, CloseDcHandle>;

// BeginPaint ... EndPaint.
class PaintScope {
 public:
  explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  ~PaintScope() { EndPaint(hwnd_, &paint_); }
  HDC dc() const { return dc_; }
  const RECT& area() const { return paint_.rcPaint; }

 private:
  HWND hwnd_;
  HDC dc_;
  PAINTSTRUCT paint_{};
};

// SelectObject, and the old object put back at the end of the scope.
class SelectScope {
 public:
  SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  SelectScope(const SelectScope&) = delete;
  SelectScope& operator=(const SelectScope&) = delete;
  ~SelectScope() { SelectObject(dc_, old_); }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace vevidav::ui
