#include "host/Font.h"

#include <algorithm>
#include <cwchar>

#include "host/Numeric.h"

namespace fw {

struct FontSubscription::Registry {
  int nextId = 1;
  std::vector<std::pair<int, std::shared_ptr<std::function<void()>>>> listeners;
};

FontSubscription& FontSubscription::operator=(FontSubscription&& other) noexcept {
  if (this != &other) {
    reset();
    m_registry = std::move(other.m_registry);
    m_id = std::exchange(other.m_id, 0);
  }
  return *this;
}

FontSubscription::~FontSubscription() { reset(); }

void FontSubscription::reset() {
  if (auto registry = m_registry.lock()) {
    auto& l = registry->listeners;
    l.erase(std::remove_if(l.begin(), l.end(), [&](const auto& e) { return e.first == m_id; }),
            l.end());
  }
  m_registry.reset();
  m_id = 0;
}

std::shared_ptr<Font> Font::Create(const FontValue& value) { return std::make_shared<Font>(value); }

std::shared_ptr<Font> Font::Create(std::u16string face, double size, bool bold) {
  FontValue v;
  v.face = std::move(face);
  v.size = size;
  v.bold = bold;
  v.weight = bold ? 700 : 400;
  return Create(v);
}

FontValue Font::DefaultValue() {
  FontValue v;
  v.face = u"Tahoma";
  v.size = 8.25;  // the classic dialog size; 11 pixels high at 96 dpi
  return v;
}

Font::Font(const FontValue& value)
    : m_value(value), m_registry(std::make_shared<FontSubscription::Registry>()) {}

std::shared_ptr<Font> Font::Clone() const { return Create(m_value); }

void Font::SetValue(const FontValue& value) {
  if (value == m_value) return;
  m_value = value;
  Changed();
}

void Font::SetName(std::u16string_view face) {
  if (face == m_value.face) return;
  m_value.face = std::u16string(face);
  Changed();
}

void Font::SetSize(double points) {
  if (points == m_value.size || !(points > 0)) return;
  m_value.size = points;
  Changed();
}

void Font::SetBold(bool bold) {
  if (bold == m_value.bold) return;
  m_value.bold = bold;
  m_value.weight = bold ? std::max(m_value.weight, 700) : std::min(m_value.weight, 400);
  Changed();
}

void Font::SetItalic(bool italic) {
  if (italic == m_value.italic) return;
  m_value.italic = italic;
  Changed();
}

void Font::SetUnderline(bool underline) {
  if (underline == m_value.underline) return;
  m_value.underline = underline;
  Changed();
}

void Font::SetStrikethrough(bool strikethrough) {
  if (strikethrough == m_value.strikethrough) return;
  m_value.strikethrough = strikethrough;
  Changed();
}

void Font::SetCharset(int32_t charset) {
  if (charset == m_value.charset) return;
  m_value.charset = charset;
  Changed();
}

void Font::SetWeight(int32_t weight) {
  weight = std::clamp(weight, 0, 1000);
  if (weight == m_value.weight) return;
  m_value.weight = weight;
  m_value.bold = weight >= 550;
  Changed();
}

FontSubscription Font::Subscribe(std::function<void()> listener) {
  const int id = m_registry->nextId++;
  m_registry->listeners.emplace_back(id, std::make_shared<std::function<void()>>(std::move(listener)));
  return FontSubscription(m_registry, id);
}

void Font::Changed() {
  // A listener may unsubscribe itself or others while we call: walk a copy, and
  // skip one that left meanwhile, since its owner may be gone with it.
  const auto registry = m_registry;
  const auto listeners = registry->listeners;
  for (const auto& [id, fn] : listeners) {
    const auto& now = registry->listeners;
    const bool still = std::any_of(now.begin(), now.end(),
                                   [&, id = id](const auto& e) { return e.first == id; });
    if (still && *fn) (*fn)();
  }
}

LOGFONTW Font::ToLogFont(int dpi) const {
  LOGFONTW lf{};
  lf.lfHeight = -RoundHalfEven(m_value.size * dpi / 72.0);
  int weight = m_value.weight;
  // Bold and weight travel together in a saved font; bold wins when they disagree.
  if (m_value.bold && weight < 550) weight = FW_BOLD;
  if (!m_value.bold && weight >= 550) weight = FW_NORMAL;
  lf.lfWeight = weight;
  lf.lfItalic = m_value.italic;
  lf.lfUnderline = m_value.underline;
  lf.lfStrikeOut = m_value.strikethrough;
  lf.lfCharSet = static_cast<BYTE>(std::clamp(m_value.charset, 0, 255));
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const size_t n = std::min(m_value.face.size(), size_t{LF_FACESIZE - 1});
  std::copy_n(m_value.face.begin(), n, lf.lfFaceName);
  lf.lfFaceName[n] = 0;
  return lf;
}

unique_hfont Font::CreateHandle(int dpi) const {
  const LOGFONTW lf = ToLogFont(dpi);
  return unique_hfont(CreateFontIndirectW(&lf));
}

int ScreenDpi() {
  static const int dpi = [] {
    unique_hdc_window screen(nullptr);
    const int d = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return d > 0 ? d : 96;
  }();
  return dpi;
}

int WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (hwnd && getDpiForWindow) {
    const UINT dpi = getDpiForWindow(hwnd);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return ScreenDpi();
}

}  // namespace fw
