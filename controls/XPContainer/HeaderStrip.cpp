#include "controls/XPContainer/HeaderStrip.h"

#include "host/Control.h"
#include "host/WideText.h"

namespace fw::xpcontainer {

namespace {

constexpr wchar_t kStripClass[] = L"FuelwiseXPContainerHeader";
constexpr wchar_t kLabelClass[] = L"FuelwiseXPContainerCaption";

HINSTANCE ThisModule() { return GetModuleHandleW(nullptr); }

bool RegisterOnce(const wchar_t* name, WNDPROC proc) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(ThisModule(), name, &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = ThisModule();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) != 0;
}

// The object behind a window is kept in GWLP_USERDATA from WM_NCCREATE on.
template <typename T>
T* Attach(HWND hwnd, UINT msg, LPARAM l) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    return self;
  }
  return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace

// -- HeaderStrip

HeaderStrip::~HeaderStrip() { Destroy(); }

bool HeaderStrip::Create(HWND parent, const RECT& rc) {
  if (m_hwnd || !RegisterOnce(kStripClass, WndProc)) return false;
  if (!m_surface.Resize(rc.right - rc.left, rc.bottom - rc.top, RGB(0xFF, 0xFF, 0xFF)))
    return false;
  HWND hwnd = CreateWindowExW(0, kStripClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                              rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, parent,
                              nullptr, ThisModule(), this);
  if (!hwnd) return false;
  detail::CountHandle(HandleKind::Window, +1);
  return true;
}

void HeaderStrip::Destroy() {
  if (m_hwnd) DestroyWindow(m_hwnd);
}

void HeaderStrip::SetWidth(int width) {
  if (!m_hwnd) return;
  RECT rc;
  GetWindowRect(m_hwnd, &rc);
  SetWindowPos(m_hwnd, nullptr, 0, 0, width < 0 ? 0 : width, rc.bottom - rc.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void HeaderStrip::SetVisible(bool visible) {
  if (m_hwnd) ShowWindow(m_hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

bool HeaderStrip::Visible() const {
  return m_hwnd && (GetWindowLongPtrW(m_hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void HeaderStrip::Refresh() {
  if (m_hwnd) RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

LRESULT CALLBACK HeaderStrip::WndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  HeaderStrip* self = Attach<HeaderStrip>(hwnd, msg, l);
  if (!self) return DefWindowProcW(hwnd, msg, w, l);
  if (msg == WM_NCCREATE) self->m_hwnd = hwnd;
  try {
    return self->HandleMessage(msg, w, l);
  } catch (...) {
    // Nothing may leave a window procedure; a failed step just does not show.
    return DefWindowProcW(hwnd, msg, w, l);
  }
}

LRESULT HeaderStrip::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_SIZE: return OnSize(w, l);
    case WM_ERASEBKGND: return 1;  // the surface covers every pixel
    case WM_PAINT: return OnPaint(w, l);
    case WM_PRINTCLIENT: return OnPrintClient(w, l);
    case WM_NCDESTROY: return OnNcDestroy(w, l);
    default: return DefWindowProcW(m_hwnd, msg, w, l);
  }
}

LRESULT HeaderStrip::OnSize(WPARAM, LPARAM l) {
  // What was drawn stays; the container redraws after every resize step.
  m_surface.Resize(LOWORD(l), HIWORD(l), RGB(0xFF, 0xFF, 0xFF));
  return 0;
}

LRESULT HeaderStrip::OnPaint(WPARAM, LPARAM) {
  unique_hdc_paint dc(m_hwnd);
  if (dc) m_surface.CopyTo(dc.get(), dc.PaintRect());
  return 0;
}

LRESULT HeaderStrip::OnPrintClient(WPARAM w, LPARAM) {
  m_surface.CopyAllTo(reinterpret_cast<HDC>(w), 0, 0);
  return 0;
}

LRESULT HeaderStrip::OnNcDestroy(WPARAM w, LPARAM l) {
  SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
  HWND hwnd = m_hwnd;
  m_hwnd = nullptr;
  detail::CountHandle(HandleKind::Window, -1);
  return DefWindowProcW(hwnd, WM_NCDESTROY, w, l);
}

// -- CaptionLabel

CaptionLabel::~CaptionLabel() { Destroy(); }

bool CaptionLabel::Create(HWND parent, int left, int top, std::shared_ptr<Font> font) {
  if (m_hwnd || !font || !RegisterOnce(kLabelClass, WndProc)) return false;
  m_font = std::move(font);
  m_hfont = m_font->CreateHandle(ScreenDpi());
  m_height = MeasureText(u"").cy;
  HWND hwnd = CreateWindowExW(0, kLabelClass, L"", WS_CHILD | WS_VISIBLE, left, top, 0, m_height,
                              parent, nullptr, ThisModule(), this);
  if (!hwnd) return false;
  detail::CountHandle(HandleKind::Window, +1);
  return true;
}

void CaptionLabel::Destroy() {
  if (m_hwnd) DestroyWindow(m_hwnd);
}

std::u16string CaptionLabel::Text() const {
  if (!m_hwnd) return {};
  const int n = GetWindowTextLengthW(m_hwnd);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(m_hwnd, text.data(), n + 1)));
  return FromWide(text);
}

void CaptionLabel::SetText(std::u16string_view text) {
  if (!m_hwnd) return;
  SetWindowTextW(m_hwnd, ToWide(text).c_str());
  const SIZE size = MeasureText(text);
  SetWindowPos(m_hwnd, nullptr, 0, 0, size.cx, m_height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(m_hwnd, nullptr, FALSE);
}

void CaptionLabel::SetTextColour(COLORREF colour) {
  m_textColour = colour;
  if (m_hwnd) InvalidateRect(m_hwnd, nullptr, FALSE);
}

void CaptionLabel::SetTop(int top) {
  if (!m_hwnd) return;
  const RECT rc = Bounds();
  SetWindowPos(m_hwnd, nullptr, rc.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT CaptionLabel::Bounds() const {
  RECT rc{};
  if (!m_hwnd) return rc;
  GetWindowRect(m_hwnd, &rc);
  MapWindowPoints(nullptr, GetParent(m_hwnd), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

SIZE CaptionLabel::MeasureText(std::u16string_view text) const {
  SIZE size{0, 0};
  unique_hdc dc(CreateCompatibleDC(nullptr));
  if (!dc) return size;
  unique_select font(dc.get(), m_hfont.get());
  TEXTMETRICW tm{};
  GetTextMetricsW(dc.get(), &tm);
  if (!text.empty()) {
    GetTextExtentPoint32W(dc.get(), WPtr(text), static_cast<int>(text.size()), &size);
  }
  size.cy = tm.tmHeight;
  return size;
}

void CaptionLabel::Draw(HDC dc) {
  // The label has no background of its own: the strip's gradient shows through.
  PaintParentBackground(m_hwnd, dc);
  const std::u16string text = Text();
  if (text.empty()) return;
  unique_select font(dc, m_hfont.get());
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = SetTextColor(dc, m_textColour);
  RECT rc;
  GetClientRect(m_hwnd, &rc);
  DrawTextW(dc, WStr(text), static_cast<int>(text.size()), &rc, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
}

LRESULT CALLBACK CaptionLabel::WndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  CaptionLabel* self = Attach<CaptionLabel>(hwnd, msg, l);
  if (!self) return DefWindowProcW(hwnd, msg, w, l);
  if (msg == WM_NCCREATE) self->m_hwnd = hwnd;
  try {
    return self->HandleMessage(msg, w, l);
  } catch (...) {
    return DefWindowProcW(hwnd, msg, w, l);
  }
}

LRESULT CaptionLabel::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return OnPaint(w, l);
    case WM_PRINTCLIENT: return OnPrintClient(w, l);
    case WM_NCHITTEST: return OnNcHitTest(w, l);
    case WM_NCDESTROY: return OnNcDestroy(w, l);
    default: return DefWindowProcW(m_hwnd, msg, w, l);
  }
}

LRESULT CaptionLabel::OnPaint(WPARAM, LPARAM) {
  unique_hdc_paint dc(m_hwnd);
  if (dc) Draw(dc.get());
  return 0;
}

LRESULT CaptionLabel::OnPrintClient(WPARAM w, LPARAM) {
  Draw(reinterpret_cast<HDC>(w));
  return 0;
}

LRESULT CaptionLabel::OnNcHitTest(WPARAM, LPARAM) {
  // Clicks on the caption belong to the container under it.
  return HTTRANSPARENT;
}

LRESULT CaptionLabel::OnNcDestroy(WPARAM w, LPARAM l) {
  SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
  HWND hwnd = m_hwnd;
  m_hwnd = nullptr;
  detail::CountHandle(HandleKind::Window, -1);
  return DefWindowProcW(hwnd, WM_NCDESTROY, w, l);
}

}  // namespace fw::xpcontainer
