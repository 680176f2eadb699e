// Owning types for every GDI object, DC, icon, cursor and COM pointer the host
// and the controls create. Each is released in the scope that acquired it.
//
// Wine answers 0 to GetGuiResources, so a leak cannot be seen from outside the
// process: every owning type here counts the handles it holds, by kind, and the
// tests read those counters (LiveHandles) before and after thousands of paints.
#pragma once

#include <windows.h>

#include <cstdint>

#include <unknwn.h>

#include <utility>

namespace fw {

enum class HandleKind {
  Bitmap,
  Brush,
  Pen,
  Font,
  Region,
  MemoryDc,   // CreateCompatibleDC, DeleteDC
  WindowDc,   // GetDC / GetWindowDC, ReleaseDC
  PaintDc,    // BeginPaint, EndPaint
  Icon,
  Cursor,
  Selection,  // an object selected into a DC, waiting to be deselected
  Com,        // a COM interface reference
  Window,     // a window created and destroyed by a host type
  Count
};

// Live handles of one kind, or of every GDI kind together (bitmap, brush, pen,
// font, region, memory DC, icon, cursor).
int LiveHandles(HandleKind kind);
int LiveGdiHandles();

namespace detail {
void CountHandle(HandleKind kind, int delta);
}

// A handle owned by exactly one object; Traits names its kind and its closer.
template <typename Traits>
class unique_handle {
 public:
  using handle_type = typename Traits::Handle;

  unique_handle() = default;
  explicit unique_handle(handle_type h) : m_h(h) {
    if (m_h) detail::CountHandle(Traits::kKind, +1);
  }
  unique_handle(const unique_handle&) = delete;
  unique_handle& operator=(const unique_handle&) = delete;
  unique_handle(unique_handle&& other) noexcept : m_h(std::exchange(other.m_h, handle_type{})) {}
  unique_handle& operator=(unique_handle&& other) noexcept {
    if (this != &other) {
      reset();
      m_h = std::exchange(other.m_h, handle_type{});
    }
    return *this;
  }
  ~unique_handle() { reset(); }

  handle_type get() const { return m_h; }
  explicit operator bool() const { return m_h != handle_type{}; }

  void reset(handle_type h = handle_type{}) {
    if (m_h) {
      Traits::Close(m_h);
      detail::CountHandle(Traits::kKind, -1);
    }
    m_h = h;
    if (m_h) detail::CountHandle(Traits::kKind, +1);
  }
  // Gives up ownership (a region handed to SetWindowRgn belongs to the window).
  handle_type release() {
    if (m_h) detail::CountHandle(Traits::kKind, -1);
    return std::exchange(m_h, handle_type{});
  }

 private:
  handle_type m_h{};
};

namespace detail {
template <typename H, HandleKind K>
struct GdiObjectTraits {
  using Handle = H;
  static constexpr HandleKind kKind = K;
  static void Close(H h) { DeleteObject(h); }
};
struct MemoryDcTraits {
  using Handle = HDC;
  static constexpr HandleKind kKind = HandleKind::MemoryDc;
  static void Close(HDC h) { DeleteDC(h); }
};
struct IconTraits {
  using Handle = HICON;
  static constexpr HandleKind kKind = HandleKind::Icon;
  static void Close(HICON h) { DestroyIcon(h); }
};
struct CursorTraits {
  using Handle = HCURSOR;
  static constexpr HandleKind kKind = HandleKind::Cursor;
  static void Close(HCURSOR h) { DestroyCursor(h); }
};
}  // namespace detail

using unique_hbitmap = unique_handle<detail::GdiObjectTraits<HBITMAP, HandleKind::Bitmap>>;
using unique_hbrush = unique_handle<detail::GdiObjectTraits<HBRUSH, HandleKind::Brush>>;
using unique_hpen = unique_handle<detail::GdiObjectTraits<HPEN, HandleKind::Pen>>;
using unique_hfont = unique_handle<detail::GdiObjectTraits<HFONT, HandleKind::Font>>;
using unique_hrgn = unique_handle<detail::GdiObjectTraits<HRGN, HandleKind::Region>>;
using unique_hdc = unique_handle<detail::MemoryDcTraits>;
using unique_hicon = unique_handle<detail::IconTraits>;
using unique_hcursor = unique_handle<detail::CursorTraits>;

// GetDC / ReleaseDC (window DC; hwnd may be null for the screen).
class unique_hdc_window {
 public:
  unique_hdc_window() = default;
  explicit unique_hdc_window(HWND hwnd) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {
    if (m_dc) detail::CountHandle(HandleKind::WindowDc, +1);
  }
  unique_hdc_window(const unique_hdc_window&) = delete;
  unique_hdc_window& operator=(const unique_hdc_window&) = delete;
  ~unique_hdc_window() {
    if (m_dc) {
      ReleaseDC(m_hwnd, m_dc);
      detail::CountHandle(HandleKind::WindowDc, -1);
    }
  }
  HDC get() const { return m_dc; }
  explicit operator bool() const { return m_dc != nullptr; }

 private:
  HWND m_hwnd = nullptr;
  HDC m_dc = nullptr;
};

// BeginPaint / EndPaint.
class unique_hdc_paint {
 public:
  explicit unique_hdc_paint(HWND hwnd) : m_hwnd(hwnd), m_dc(BeginPaint(hwnd, &m_ps)) {
    if (m_dc) detail::CountHandle(HandleKind::PaintDc, +1);
  }
  unique_hdc_paint(const unique_hdc_paint&) = delete;
  unique_hdc_paint& operator=(const unique_hdc_paint&) = delete;
  ~unique_hdc_paint() {
    if (m_dc) {
      EndPaint(m_hwnd, &m_ps);
      detail::CountHandle(HandleKind::PaintDc, -1);
    }
  }
  HDC get() const { return m_dc; }
  const RECT& PaintRect() const { return m_ps.rcPaint; }
  explicit operator bool() const { return m_dc != nullptr; }

 private:
  HWND m_hwnd;
  PAINTSTRUCT m_ps{};
  HDC m_dc;
};

// Selects an object into a DC and puts the previous one back on destruction.
class unique_select {
 public:
  unique_select() = default;
  unique_select(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(obj ? SelectObject(dc, obj) : nullptr) {
    if (m_old && m_old != HGDI_ERROR) detail::CountHandle(HandleKind::Selection, +1);
    else m_old = nullptr;
  }
  unique_select(const unique_select&) = delete;
  unique_select& operator=(const unique_select&) = delete;
  unique_select(unique_select&& other) noexcept
      : m_dc(std::exchange(other.m_dc, nullptr)), m_old(std::exchange(other.m_old, nullptr)) {}
  unique_select& operator=(unique_select&& other) noexcept {
    if (this != &other) {
      reset();
      m_dc = std::exchange(other.m_dc, nullptr);
      m_old = std::exchange(other.m_old, nullptr);
    }
    return *this;
  }
  ~unique_select() { reset(); }
  void reset() {
    if (m_old) {
      SelectObject(m_dc, m_old);
      detail::CountHandle(HandleKind::Selection, -1);
    }
    m_dc = nullptr;
    m_old = nullptr;
  }

 private:
  HDC m_dc = nullptr;
  HGDIOBJ m_old = nullptr;
};

// SaveDC / RestoreDC around a block that changes modes, origins or clipping.
class unique_dc_state {
 public:
  explicit unique_dc_state(HDC dc) : m_dc(dc), m_saved(SaveDC(dc)) {}
  unique_dc_state(const unique_dc_state&) = delete;
  unique_dc_state& operator=(const unique_dc_state&) = delete;
  ~unique_dc_state() {
    if (m_saved) RestoreDC(m_dc, m_saved);
  }

 private:
  HDC m_dc;
  int m_saved;
};

// A counted COM reference.
template <typename T>
class com_ptr {
 public:
  com_ptr() = default;
  com_ptr(const com_ptr&) = delete;
  com_ptr& operator=(const com_ptr&) = delete;
  com_ptr(com_ptr&& other) noexcept
      : m_p(std::exchange(other.m_p, nullptr)), m_counted(std::exchange(other.m_counted, false)) {}
  com_ptr& operator=(com_ptr&& other) noexcept {
    if (this != &other) {
      reset();
      m_p = std::exchange(other.m_p, nullptr);
      m_counted = std::exchange(other.m_counted, false);
    }
    return *this;
  }
  ~com_ptr() { reset(); }

  // Takes over a reference the caller already holds.
  static com_ptr attach(T* p) {
    com_ptr c;
    c.m_p = p;
    c.Count();
    return c;
  }
  // Adds a reference of its own.
  static com_ptr copy(T* p) {
    if (p) p->AddRef();
    return attach(p);
  }

  T* get() const {
    Count();
    return m_p;
  }
  T* operator->() const { return get(); }
  explicit operator bool() const { return get() != nullptr; }
  void reset() {
    if (m_p) {
      Count();
      m_p->Release();
      detail::CountHandle(HandleKind::Com, -1);
    }
    m_p = nullptr;
    m_counted = false;
  }

  // For out-parameters: `CoCreateInstance(..., iid, p.put())`. What the call
  // stores is counted the first time the pointer is used (a call may fill it in
  // the middle of a longer expression).
  struct out_param {
    T** p;
    operator T**() const { return p; }
    operator void**() const { return reinterpret_cast<void**>(p); }
  };
  out_param put() {
    reset();
    return out_param{&m_p};
  }

 private:
  void Count() const {
    if (m_p && !m_counted) {
      m_counted = true;
      detail::CountHandle(HandleKind::Com, +1);
    }
  }

  T* m_p = nullptr;
  mutable bool m_counted = false;
};

// Creates a brush and a pen in one colour (a COLORREF) for a short drawing step.
unique_hbrush MakeSolidBrush(COLORREF colour);
unique_hpen MakePen(int style, int width, COLORREF colour);

// Fills a rectangle with a solid colour through a counted brush.
void FillSolid(HDC dc, const RECT& rc, COLORREF colour);
// Draws a frame `width` pixels wide just inside `rc` and takes it off `rc`.
void FrameSolid(HDC dc, RECT& rc, COLORREF colour, int width);

// The header of a 32-bit top-down DIB (row 0 first in memory), the one pixel
// layout every surface, capture and picture here uses.
BITMAPINFO TopDownDibInfo(int width, int height);
// A 32-bit top-down DIB section; `bits` receives its pixels (nullptr on failure).
unique_hbitmap CreateTopDownDib(HDC dc, int width, int height, uint32_t** bits);

}  // namespace fw
